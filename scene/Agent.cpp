#include "scene/Agent.h"

#include "scene/Platform.h"
#include "scene/World.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace game {

namespace {

float signOf(float v) {
    return v < 0 ? -1.0f : 1.0f;
}

} // namespace

void BodyState::bind(BehaviourList& list) {
    // Pushed to the front one after the other, so they run in the reverse order: find the
    // platform first, move the body last.
    list.addFront("apply inertia", {}, &Agent::applyInertia);
    list.addFront("horizontal inertia reduction", {horizontal}, &Agent::reduceInertiaOnPlatform);
    list.addFront("detached inertia reduction", {detached}, &Agent::reduceInertiaDetached);
    list.addFront("platform_gravity", {horizontal}, &Agent::applyPlatformGravity);
    list.addFront("free_fall_gravity", {detached}, &Agent::applyFreeFallGravity);
    list.addFront("find_platform", {detached}, &Agent::findPlatform);
    StateMachine::bind(list);
}

std::string BodyState::describe() const {
    std::ostringstream out;
    out << " (inertia " << velocity.x << ", " << velocity.y << ")";
    return out.str();
}

std::string AttachedState::describe() const {
    return platform != nullptr ? " (" + platform->typeName() + ")" : std::string{};
}

Agent::Agent() : Object(0xffb4b4ff, 2.0f) {
    body_.addChild(detached_);
    body_.addChild(attached_);
    attached_.addChild(horizontal_);
    attached_.addChild(vertical_);
    body_.detached = &detached_;
    body_.horizontal = &horizontal_;
}

void Agent::registerInGame(World& world) {
    joinWorld(world);
    world.objects().add(ObjectRegistry::List::Draw, this);
    world.objects().add(ObjectRegistry::List::Agent, this);
    behaviours_.setOwner(this);
    body_.reset();
    body_.activate();
    body_.bind(behaviours_);
}

void Agent::update(double dt) {
    behaviours_.runBehaviours(dt * timeScale());
}

void Agent::moveBy(float dx, float dy) {
    x_ += dx;
    y_ += dy;
    invalidate();
}

void Agent::moveTo(float newX, float newY) {
    x_ = newX;
    y_ = newY;
    invalidate();
}

int Agent::applyFreeFallGravity(double dt) {
    detached_.fallSpeed += 100 * dt;
    const float g = static_cast<float>(std::max(detached_.fallSpeed, 30.0));
    float& vy = body_.velocity.y;
    // Moving up, the pull comes once per step, not per second: a rising body slows quickly.
    vy = vy > 0 ? std::max(vy, g) : vy + g;
    return 0;
}

int Agent::applyPlatformGravity(double) {
    // A small constant downward speed that the platform's contact correction cancels.
    float& vy = body_.velocity.y;
    vy = vy > 0 ? std::max(vy, kPlatformPull) : vy + kPlatformPull;
    return 0;
}

void Agent::reduceInertia(double rate, double dt) {
    const float d = static_cast<float>(rate * dt);
    gfx::PointF& v = body_.velocity;
    v.x = signOf(v.x) * std::max(std::abs(v.x) - d, 0.0f);
    v.y = signOf(v.y) * std::max(std::abs(v.y) - d, 0.0f);
}

int Agent::reduceInertiaOnPlatform(double dt) {
    reduceInertia(30, dt);
    return 0;
}

int Agent::reduceInertiaDetached(double dt) {
    reduceInertia(10, dt);
    return 0;
}

int Agent::applyInertia(double dt) {
    gfx::PointF& v = body_.velocity;
    // A body at rest costs nothing: no move, no redraw.
    if (v.x == 0 && v.y == 0)
        return 0;
    gfx::PointF& allowance = body_.speedAllowance;
    const float capX = std::max(allowance.x, 200.0f);
    const float capY = std::max(allowance.y, 200.0f);
    if (std::abs(v.x) > capX)
        v.x = signOf(v.x) * capX;
    if (std::abs(v.y) > capY)
        v.y = signOf(v.y) * capY;
    // The allowance only follows the speed down: a launch's extra speed, once lost, is gone.
    allowance.x = std::min(allowance.x, std::abs(v.x));
    allowance.y = std::min(allowance.y, std::abs(v.y));
    x_ += static_cast<float>(v.x * dt);
    y_ += static_cast<float>(v.y * dt);
    invalidate();
    return 0;
}

int Agent::findPlatform(double) {
    // Thrown up (through the house, past its ladders), the body flies free until it comes down.
    if (body_.velocity.y < 0) {
        wrapIntoWorld(20);
        return 0;
    }
    const gfx::RectF r = bounds(false);
    Platform* candidate = nullptr;
    for (Object* object : world()->objects().platformList()) {
        auto* p = static_cast<Platform*>(object);
        if (!p->touches(r))
            continue;
        if (p->isVertical()) {
            // A climbable that would not hold the body (below the foot of a dangling cable)
            // is no catch: caught there, it would be let go in the next step and caught
            // again, for ever, instead of dropping to what is below.
            if (p->supports(r))
                candidate = p;
            continue;
        }
        if (!landsOn(*p))
            continue;
        // The landing ends the fall: kept, the fall's speed would carry the body on through a
        // thin, steep floor (the ramp), whose contact lifts it only by what of it lies within
        // the figure, and it would sink through and bob up and down before it stood.
        body_.velocity.y = std::min(body_.velocity.y, kPlatformPull);
        attachTo(*p);
        return 0;
    }
    // A body that has been falling for a while no longer catches ladders and poles.
    if (candidate != nullptr && detached_.fallSpeed < 30) {
        attachTo(*candidate);
        return 0;
    }
    wrapIntoWorld(20);
    return 0;
}

bool Agent::landsOn(Platform& p) {
    // A floor catches a body that comes down onto it feet first. Standing under a floor with
    // its head in it (the ground beneath the first floor), the body would be caught from below
    // and lifted through the floor onto its top.
    const gfx::RectF r = bounds(false);
    const gfx::RectF common = p.sunkArea(*this);
    if (common.y < r.y + r.height * 0.5f)
        return false;
    if (p.supports(r))
        return true;
    // Come into the floor from the side, deeper than the floor holds a body: set on top of it,
    // or it would be let go at once and caught again, for ever.
    return liftBy(p, common.height);
}

bool Agent::liftOnto(Platform& p) {
    return liftBy(p, p.sunkArea(*this).height);
}

bool Agent::liftBy(Platform& p, float depth) {
    constexpr float kMostLift = 30; // a landing, not a climb through a thick floor
    const gfx::RectF r = bounds(false);
    if (!(depth > 0) || depth > kMostLift || !p.supports({r.x, r.y - depth, r.width, r.height}))
        return false;
    moveBy(0, -depth);
    return true;
}

void Agent::attachTo(Platform& target) {
    attached_.platform = &target;
    if (target.isHorizontal())
        horizontal_.activate();
    else
        vertical_.activate();
    attached_.activate();
}

bool Agent::wrapIntoWorld(int margin) {
    const float m = static_cast<float>(margin);
    if (x_ >= -m && x_ <= kWorldWidth + m && y_ >= -m && y_ <= kWorldHeight + m)
        return false;
    const float w = margin < 0 ? static_cast<float>(std::abs(margin)) : 0.0f;
    if (x_ < -m)
        x_ = kWorldWidth - w;
    if (x_ > kWorldWidth + m)
        x_ = w;
    const bool roundTopOrBottom = y_ < -m || y_ > kWorldHeight + m;
    if (y_ < -m)
        y_ = kWorldHeight - w;
    if (y_ > kWorldHeight + m)
        y_ = w;
    // Fallen past everything just beyond a side of the world (shaken off a branch's tip), a
    // body comes round within the sides: out there nothing would ever catch it.
    if (roundTopOrBottom)
        x_ = std::clamp(x_, 0.0f, kWorldWidth);
    invalidate();
    return true;
}

int Agent::speedLevel() const {
    return world() != nullptr ? world()->settings().speedLevel : 1;
}

} // namespace game
