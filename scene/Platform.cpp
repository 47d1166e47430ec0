#include "scene/Platform.h"

#include "scene/Agent.h"
#include "scene/World.h"

#include <algorithm>

namespace game {

void Platform::registerInGame(World& world) {
    joinWorld(world);
    world.objects().add(ObjectRegistry::List::Draw, this);
    world.objects().add(ObjectRegistry::List::Platform, this);
}

bool Platform::touches(const gfx::RectF& r) {
    refreshShape();
    if (!gfx::overlaps(r, bounds(true)))
        return false;
    return region().meets(r);
}

bool Platform::checkObstacle(Object& agent, Object& obstacle, ContactFeedback& record) {
    const gfx::RectF o = obstacle.bounds(false);
    const gfx::RectF a = agent.bounds(false);
    if (!gfx::overlaps(o, a))
        return false;
    if (!isHorizontal())
        return true;
    if (a.x + a.width * 0.5f > o.x + o.width * 0.5f)
        record.obstacleLeft = true;
    else
        record.obstacleRight = true;
    return true;
}

void Platform::carryRiders(float dx, float dy) {
    for (Object* o : carried)
        o->translate(dx, dy);
    for (Object* o : obstacles)
        o->translate(dx, dy);
    // Only a platform in a world has anyone standing on it.
    if (world() == nullptr)
        return;
    for (Object* o : world()->objects().agentList()) {
        auto* agent = static_cast<Agent*>(o);
        if (agent->isAttached() && agent->platform() == this)
            agent->translate(dx, dy);
    }
}

gfx::RectF Platform::sunkArea(Agent& agent) {
    // Nothing of the outline within the figure's box (a hair wider, for the curves' flattening):
    // not sunk, and the figure's polygons need not be built.
    constexpr float kHair = 0.05f;
    const gfx::RectF a = agent.bounds(false);
    if (!region().meets({a.x - kHair, a.y - kHair, a.width + 2 * kHair, a.height + 2 * kHair}))
        return {};
    return region().boundsWithin(agent.region());
}

namespace {

// The bottom of the figure's middle third, and as far below as it reaches.
gfx::RectF solesOf(const gfx::RectF& a, float reach) {
    constexpr float kSole = 2;
    return {a.x + a.width / 3, a.y + a.height - kSole, a.width / 3, kSole + reach};
}

} // namespace

float Platform::depthUnderFeet(Agent& agent, const gfx::RectF& a) {
    if (const float depth = sunkArea(agent).height; depth != 0)
        return depth;
    // Nothing of the figure in the floor, yet the floor may pass under the feet: a branch's
    // tip thinner than the gap between the legs of a body standing on it. The soles rest on
    // it, or the floor's pull would draw the body down through it until the floor let go.
    return region().boundsWithin(solesOf(a, 0)).height;
}

bool Platform::liesBeneathFeet(const gfx::RectF& a) {
    // As far below as a standing figure's feet hover over its floor before they settle (the
    // standing pose is shorter than the walking one, and on the ramp an arm rests on the
    // slope above the feet). A floor that meets the figure's box counts as well: let go,
    // the body would be caught by it again at once.
    constexpr float kMostHover = 30;
    return touches(a) || region().meets(solesOf(a, kMostHover));
}

bool Platform::holdsBeyondItsEnd(const gfx::RectF& a) const {
    // A platform keeps a body it holds a little beyond the end of the zone where it catches
    // one, or the body would be let go and caught again frame after frame: sideways off a
    // floor (the places at a branch's root and tip and at the roof's eaves lie on that end,
    // and the figure's bounds shift about it with every stride and breath), and down off the
    // foot of a climb (a climbing figure is shorter than the falling one a catch sees).
    constexpr float kHoldMargin = 10;
    if (isVertical())
        return supports({a.x, a.y - kHoldMargin, a.width, a.height});
    return supports({a.x - kHoldMargin, a.y, a.width, a.height}) ||
           supports({a.x + kHoldMargin, a.y, a.width, a.height});
}

ContactFeedback Platform::contactFeedback(Agent& agent, double dt) {
    ContactFeedback record;
    record.orientation = orientation();
    if (isVertical()) {
        // A climber cannot walk off sideways.
        record.obstacleLeft = true;
        record.obstacleRight = true;
    }
    const gfx::RectF a = agent.bounds(false);
    if (!supports(a) && !holdsBeyondItsEnd(a)) {
        record.leave = true;
        return record;
    }
    if (isHorizontal()) {
        if (gfx::overlaps(a, bounds(false))) {
            const float depth = depthUnderFeet(agent, a);
            if (depth != 0) {
                record.pushedUp = true;
                float& vy = agent.velocity().y;
                if (vy > depth)
                    vy -= depth;
                agent.moveBy(0, -depth);
            }
        }
    } else {
        // Drawn to the centre line at no more than 100 units a second; also a climber held
        // beside the rails (caught by the pole on coming round the world's edge), which would
        // otherwise hang there with no walkway within its reach.
        const gfx::RectF i = region().boundsWithin(gfx::RectF{0, a.y, 800, a.height});
        if (i.width > 0) {
            const float pull = static_cast<float>(100 * dt);
            const float e = std::clamp(i.x + i.width * 0.5f - agent.position().x, -pull, pull);
            if (e != 0)
                agent.moveBy(e, 0);
        }
    }
    for (Object* obstacle : obstacles)
        if (checkObstacle(agent, *obstacle, record))
            break;
    return record;
}

} // namespace game
