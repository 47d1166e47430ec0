#include "agents/Animal.h"

#include "agents/NavGraph.h"
#include "core/Random.h"
#include "gfx/Graphics.h"
#include "scene/Platform.h"
#include "scene/World.h"

#include <algorithm>
#include <cmath>

namespace game {

namespace {

// Unit vector from a to b. A zero-length direction (already there, or an edge whose ends
// coincide) steers nowhere instead of spreading NaN into the position.
gfx::PointF unitVector(gfx::PointF a, gfx::PointF b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0) || !std::isfinite(length))
        return {0, 0};
    return {static_cast<float>(dx / length), static_cast<float>(dy / length)};
}

double distance(gfx::PointF a, gfx::PointF b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

bool isInWorld(gfx::PointF p) {
    return p.x >= 0 && p.x <= Agent::kWorldWidth && p.y >= 0 && p.y <= Agent::kWorldHeight;
}

Platform* platformOf(const NavEdge* e) {
    return static_cast<Platform*>(e->platform);
}

float sign(float v) {
    return v < 0 ? -1.0f : 1.0f;
}

} // namespace

void MotionState::bind(BehaviourList& list) {
    StateMachine::bind(list);
    animal_.bindWalking(list);
}

std::string WalkState::describe() const {
    if (route.empty())
        return {};
    const NavEdge* first = route.front();
    std::string text = " [0] " + first->from->name + "->" + first->to->name;
    if (route.size() > 1) {
        const NavEdge* last = route.back();
        text += "... [" + std::to_string(route.size() - 1) + "] " + last->from->name + "->" + last->to->name;
    }
    return text;
}

void ToEndNodeState::enter() {
    StateMachine::enter();
    exclusiveChildren().front()->activate(); // every leg starts on the ground
    airTime = 0;
}

std::string OffPathState::describe() const {
    if (goalEdge != nullptr)
        return std::string(" edge ") + "edge: " +
               (goalEdge->platform != nullptr ? goalEdge->platform->typeName() : std::string("<null>"));
    if (goalNode != nullptr)
        return " node " + goalNode->name;
    return {};
}

Animal::Animal() {
    body_.addParallel(motion_);
    motion_.addChild(idle_);
    motion_.addChild(walk_);
    walk_.addChild(toEndNode_);
    toEndNode_.addChild(onGround_);
    toEndNode_.addChild(onAir_);
    walk_.addChild(toNextStartNode_);
    walk_.addChild(offPath_);
    walk_.addParallel(startLoc_);
}

void Animal::bindWalking(BehaviourList& list) {
    using C = Behaviour::Callback;
    // Pushed to the front in turn, so the list runs them in the reverse order: recovering from
    // a fall first, the extra fall of a walker in the air last.
    list.addFront("free_fall_gravity_during_walk", {&onAir_}, &Agent::applyFreeFallGravity);
    list.addFront("random_goal", {&idle_, &attached_}, static_cast<C>(&Animal::randomGoal));
    list.addFront("wrap_off_screen", {&walk_, &attached_}, static_cast<C>(&Animal::wrapOffScreen));
    list.addFront("walk_to_end_node", {&toEndNode_, &attached_}, static_cast<C>(&Animal::walkToEndNode));
    list.addFront("walk_to_next_start_node_horizontal", {&toNextStartNode_, &horizontal_},
                  static_cast<C>(&Animal::walkToNextStartNodeHorizontal));
    list.addFront("walk_to_next_start_node_vertical", {&toNextStartNode_, &vertical_},
                  static_cast<C>(&Animal::walkToNextStartNodeVertical));
    list.addFront("recover_from_off_path", {&offPath_, &attached_},
                  static_cast<C>(&Animal::recoverFromOffPath));
    list.addBack("platform_feedback_attached", {&idle_, &attached_},
                 static_cast<C>(&Animal::platformFeedbackAttached));
}

void Animal::registerInGame(World& world) {
    Agent::registerInGame(world);
    world.objects().add(ObjectRegistry::List::Animal, this);
}

void Animal::draw(gfx::Graphics& g) {
    g.drawPath(pen_, path_);
}

void Animal::rebuildPath() {
    // A small cross standing on the position, until a subclass draws a figure.
    path_.reset();
    path_.addLine({x_, y_}, {x_, y_ - 20});
    path_.startFigure();
    path_.addLine({x_ - 10, y_ - 10}, {x_ + 10, y_ - 10});
    path_.closeFigure();
    clearShapeDirty();
}

NavEdge* Animal::edgeUnderFeet() {
    NavGraph& graph = world()->navGraph();
    const gfx::RectF b = bounds(false);
    const gfx::RectF r{std::trunc(b.x), std::trunc(b.y), std::trunc(b.width), std::trunc(b.height)};
    if (NavEdge* start = graph.edgeOnPlatform(platform(), r))
        return start;
    // Where a walkway slopes away beneath a body that is still held (the cable's end beyond the
    // pole) the feet stand a little above it: it starts from the walkway they nearly reach,
    // instead of hopping about in search of one.
    return graph.edgeOnPlatform(platform(), {r.x, r.y, r.width, r.height + kFeetReach});
}

bool Animal::walkTo(int goal, NavEdge* finalEdge) {
    NavGraph& graph = world()->navGraph();
    NavEdge* start = edgeUnderFeet();
    if (start == nullptr)
        return false;
    std::deque<NavEdge*> planned = graph.planPath(start, goal);
    // A leading edge and its own reverse: the agent would walk to the end and straight back.
    if (planned.size() > 1 && planned[0]->from == planned[1]->to && planned[0]->to == planned[1]->from) {
        // The two wrap-around jumps at the world's edges are each other's reverse without
        // lying on one stretch: the body stands where the pair starts and ends, so both go.
        // Walking the second from here would lead across the whole world and round again.
        const bool oneStretch = distance(planned[0]->start(), planned[1]->end()) < 1 &&
                                distance(planned[0]->end(), planned[1]->start()) < 1;
        planned.pop_front();
        if (!oneStretch)
            planned.pop_front(); // nothing left: it stands where it was going
    }
    if (planned.empty())
        return false;
    if (finalEdge != nullptr && finalEdge != planned.back()) {
        const NavEdge* last = planned.back();
        if (finalEdge->from == last->to) {
            if (finalEdge->to != last->from)
                planned.push_back(finalEdge);
        } else if (finalEdge->to == last->to) {
            if (NavEdge* reverse = graph.reverseEdge(*finalEdge))
                planned.push_back(reverse);
        }
    }
    walk_.route = std::move(planned);
    walk_.goalNode = &graph.node(goal);
    walk_.finalEdge = finalEdge;
    walk_.activate();
    toEndNode_.activate();
    startLoc_.activate();
    if (startLoc_.startEdge == start) {
        ++startLoc_.startCount;
    } else {
        startLoc_.startEdge = start;
        startLoc_.startCount = 1;
    }
    return true;
}

void Animal::steer(double dt, gfx::PointF u, double a, gfx::PointF& v) {
    auto axis = [&](float k, float& w) {
        w = static_cast<float>(w + k * dt * a);
        // Moving the wanted way, never slower than 40 times the component.
        const bool sameWay = (w < 0) == (k < 0);
        if (k != 0 && sameWay && std::abs(kMinSteerFactor * k) > std::abs(w))
            w = sign(w) * std::abs(kMinSteerFactor * k);
        if (std::abs(w) > kMaxSteerSpeed)
            w = sign(w) * kMaxSteerSpeed;
    };
    axis(u.x, v.x);
    axis(u.y, v.y);
}

int Animal::standStill() {
    idle_.activate();
    body_.velocity = {0, 0};
    return 0;
}

void Animal::leavePath(NavEdge* edge) {
    // Off the route, the walk keeps the goal it was planned for. The route's last edge alone
    // would turn a place into a walkway, walked on past the place and back, and each further
    // fall would turn it round again.
    NavNode* node = nullptr;
    if (walk_.goalNode != nullptr) {
        node = walk_.finalEdge != nullptr ? nullptr : walk_.goalNode;
        edge = walk_.finalEdge;
    }
    offPath_.activate();
    offPath_.goalNode = node;
    offPath_.goalEdge = edge;
    detached_.activate();
}

void Animal::leaveRoute() {
    if (!walk_.route.empty()) {
        leavePath(walk_.route.back());
        return;
    }
    // Sent off with a goal but no route yet: fall, land, and head for the same goal.
    if (offPath_.isActive() && (offPath_.goalNode != nullptr || offPath_.goalEdge != nullptr)) {
        detached_.activate();
        return;
    }
    halt();
}

bool Animal::meetsBox(const NavNode& node, gfx::PointF centre) {
    const gfx::RectF b = bounds(false);
    const gfx::RectF box{centre.x - static_cast<float>(node.boxWidth / 2),
                         centre.y - static_cast<float>(node.boxHeight / 2), static_cast<float>(node.boxWidth),
                         static_cast<float>(node.boxHeight)};
    return gfx::overlaps(box, b);
}

bool Animal::hasPassed(const NavEdge& e) const {
    // Beyond the end along the walkway: the box round the end can lie out of the body's
    // reach (the cable's last stretch runs below the feet), and a walker that has gone past
    // it must not walk on to the world's edge. Along a floor only x counts, on a ladder only
    // y: the body stands above the walkway, not on it.
    const gfx::PointF a = e.start();
    const gfx::PointF b = e.end();
    if (platformOf(&e)->isVertical())
        return (double{b.y} - a.y) * (double{y_} - b.y) > 0;
    return (double{b.x} - a.x) * (double{x_} - b.x) > 0;
}

int Animal::walkToEndNode(double dt) {
    if (walk_.route.empty())
        return standStill();
    Platform* p = platform();
    NavEdge* e = walk_.route.front();
    const gfx::PointF end = e->end();
    // A walkway that leads off the world's edge ends where the body leaves the world, to come
    // back on the other side. A wide figure meets the box out there while it still stands
    // inside, and would then take the next walkway, which starts across the world, as passed.
    const bool offWorld = !isInWorld(end);
    const bool inBox = offWorld ? !isInWorld(position()) : meetsBox(*e->to, end);
    if (inBox || (!offWorld && hasPassed(*e))) {
        // Just past the end (by a step's movement) counts as at the end: a walkway can end
        // right where its platform stops holding a body, as a branch does at its tip.
        if (!inBox) {
            const bool climbing = p->isVertical();
            const float target = climbing ? end.y : end.x;
            if (std::abs((climbing ? y_ : x_) - target) <= kMostOvershoot)
                moveBy(climbing ? 0 : target - x_, climbing ? target - y_ : 0);
        }
        walk_.route.pop_front();
        if (walk_.route.empty()) {
            // A walk that ends beyond the world's edge (along a wrap-around walkway) goes on
            // from the other side instead of stopping out of sight.
            if (!isInWorld(end) && wrapIntoWorld(0)) {
                leavePath(e);
                return 0;
            }
            // Got where it was going: the walks started here no longer count as stuck ones, or
            // a player clicking again and again where he stands would see him hop off the spot.
            startLoc_.startCount = 0;
            return standStill();
        }
        if (platformOf(walk_.route.front()) != p) {
            toNextStartNode_.activate();
            return 0;
        }
        if (wrapIntoWorld(0)) {
            leavePath(walk_.route.back());
            return 0;
        }
        e = walk_.route.front();
    }

    // Slow down for the last stretch and before stepping from a floor onto a ladder.
    double rate = 100;
    const bool lastEdge = walk_.route.size() == 1;
    const bool ontoLadder = !lastEdge && p->isHorizontal() && platformOf(walk_.route[1])->isVertical();
    if (distance(position(), e->end()) < 70 && (lastEdge || ontoLadder))
        rate = 15;

    gfx::PointF u = unitVector(e->start(), e->end());
    if (p->isVertical() && u.y < 0)
        u.y *= 0.2f; // climbing up gets a fifth of the pull
    steer(dt, u, rate, body_.velocity);

    const ContactFeedback fb = p->contactFeedback(*this, dt);
    if (fb.leave) {
        if (p->isVertical())
            aimFallAt(e->end());
        leavePath(walk_.route.back());
        return 0;
    }
    // Walked into a wall: bounce back and stop walking. Only a step towards the wall counts:
    // a walker still touching a wall it bounced off must be free to walk away from it. On
    // the last stretch the wall is where the walk ends (the basement's ends lie in its
    // walls): it stands there, instead of bouncing back onto the trampoline beside it.
    const float vx = body_.velocity.x;
    if (p->isHorizontal() && ((fb.obstacleLeft && vx < 0) || (fb.obstacleRight && vx > 0))) {
        if (walk_.route.size() == 1)
            return standStill();
        body_.velocity.x = -vx;
        idle_.activate();
        return 0;
    }
    if (p->isHorizontal()) {
        if (fb.pushedUp) {
            toEndNode_.airTime = 0;
            onGround_.activate();
        } else {
            toEndNode_.airTime += dt;
            if (toEndNode_.airTime > kAirTimeBeforeFalling)
                onAir_.activate();
        }
    }
    return 0;
}

void Animal::aimFallAt(gfx::PointF landing) {
    // Let go on the way down a drop (the foot of a dangling loop): the body keeps heading for
    // where the drop lands, along the line from here at its downward speed. Dropping straight
    // down, a narrow figure would pass beside the eave it is meant to land on.
    float& vx = body_.velocity.x;
    const float vy = body_.velocity.y;
    const float below = landing.y - y_;
    if (!(vy > 0) || !(below > 0))
        return;
    vx = std::clamp(vy * (landing.x - x_) / below, -kMaxSteerSpeed, kMaxSteerSpeed);
}

int Animal::walkToNextStartNodeHorizontal(double dt) {
    if (walk_.route.empty())
        return standStill();
    Platform* p = platform();
    NavEdge* e = walk_.route.front();
    Platform* q = platformOf(e);
    const gfx::PointF s = e->start();
    const gfx::RectF b = bounds(false);
    // On the next floor once its start is within the body, or once that floor holds the body:
    // a narrow figure coming down a slope can pass just above the start and, steered back to
    // it only gently, would drift on into the ground below.
    // Its feet reach a little below the figure, as when a walk starts: the ground's walkway
    // starts on the tip of the first floor's step, just below a figure standing there.
    const bool startInReach =
        s.x >= b.x && s.x < b.x + b.width && s.y >= b.y && s.y < b.y + b.height + kFeetReach;
    if (q->isHorizontal() && (startInReach || (q->touches(b) && q->supports(b)))) {
        // A wide figure reaches a branch's tip while its middle is still short of where the
        // branch holds a body: it steps across onto the tip, as a climber does.
        if (!q->supports(b))
            moveBy(s.x - x_, 0);
        liftOnto(*q);
        attachTo(*q);
        toEndNode_.activate();
        return 0;
    }
    if (q->isVertical() && std::abs(x_ - s.x) < static_cast<float>(e->from->boxWidth) && q->supports(b)) {
        attachTo(*q);
        toEndNode_.activate();
        body_.velocity = {0, 0};
        return 0;
    }
    // Straight above the next floor's start while this floor still holds the body (the first
    // floor's step ends where the ground's walkway starts, under a wide figure's middle), it
    // would press down on the spot for ever: it walks on the way the next walkway leads, off
    // this floor's edge, and drops onto the next one.
    const bool heldAbove = q->isHorizontal() && s.y >= b.y + b.height && s.x >= b.x && s.x < b.x + b.width;
    steer(dt, heldAbove ? unitVector(s, e->end()) : unitVector(position(), s), 30, body_.velocity);
    p->contactFeedback(*this, dt);
    if (distance(position(), s) > 70)
        leavePath(walk_.route.back());
    return 0;
}

int Animal::walkToNextStartNodeVertical(double dt) {
    if (walk_.route.empty())
        return standStill();
    Platform* p = platform();
    const gfx::RectF b = bounds(false);
    const float foot = b.y + b.height + 5;
    NavEdge* e = walk_.route.front();
    Platform* q = platformOf(e);
    const gfx::PointF s = e->start();
    if (q->isHorizontal() && static_cast<int>(std::abs(foot - s.y)) < e->from->boxHeight)
        return stepOff(*q, s);
    steer(dt, unitVector({x_, foot}, s), 30, body_.velocity);
    const ContactFeedback fb = p->contactFeedback(*this, dt);
    const gfx::RectF pb = p->bounds(false);
    if (!fb.leave && pb.y + pb.height >= b.y + b.height) {
        if (distance(position(), s) > 70)
            leavePath(walk_.route.back());
        return 0;
    }
    // The ladder no longer holds the body, or it climbed below the ladder's foot.
    return stepOff(*q, s);
}

int Animal::stepOff(Platform& q, gfx::PointF s) {
    // A walkway can start just outside the zone where its platform holds a body coming off a
    // climb (a branch's zone ends at its root, half a trunk away from the trunk's middle):
    // the climber steps across to the walkway's start instead of being let go at once and
    // caught by the trunk again, for ever.
    if (q.isHorizontal() && !q.supports(bounds(false)))
        moveBy(s.x - x_, 0);
    attachTo(q);
    toEndNode_.activate();
    body_.velocity = {0, 0};
    return 0;
}

int Animal::randomGoal(double) {
    const int goal = static_cast<int>(world()->random().next() / 32768.0 * world()->navGraph().nodeCount());
    // The hop is for a spot where no walk starts; a goal no walkway leads to (a place of the
    // pole that stands outside the level) is only given up, or a body standing on a branch's
    // tip would hop off it now and then.
    if (!walkTo(goal, nullptr) && edgeUnderFeet() == nullptr)
        randomNudge();
    return 0;
}

void Animal::randomNudge() {
    ++hops_;
    core::Random& random = world()->random();
    const int a = random.next();
    const int b = random.next();
    moveBy(static_cast<float>((a / 32768.0 * 2 - 1) * 10), static_cast<float>((b / 32768.0 * 2 - 1) * 10));
}

int Animal::wrapOffScreen(double) {
    if (wrapIntoWorld(20))
        leaveRoute();
    return 0;
}

int Animal::recoverFromOffPath(double dt) {
    if (startLoc_.startCount >= 6) {
        // Six walks in a row started on the same edge without getting anywhere.
        randomNudge();
        startLoc_.activate();
        startLoc_.startEdge = nullptr;
        startLoc_.startCount = 0;
        return 0;
    }
    NavNode* target = offPath_.goalEdge != nullptr ? offPath_.goalEdge->to : offPath_.goalNode;
    if (target != nullptr && walkTo(target->index, offPath_.goalEdge))
        return 0;
    if (target == nullptr || edgeUnderFeet() != nullptr) {
        // No way from here to the goal (or nowhere to head for): give it up and stand where it
        // stands. Let go to be caught again at once, it would fall and land in one breath at
        // every such click.
        return standStill();
    }
    // No walkway under the body to start from: a quake has lifted its floor off the walkways,
    // or it landed between two. That passes: it keeps the goal and stands on what holds it,
    // planning again each step, with a small hop after each second of it.
    const ContactFeedback fb = platform()->contactFeedback(*this, dt);
    body_.velocity.x = 0;
    // A climber holds on where it was caught (the pole after a wrap-around jump), drawn to the
    // middle of the pole, instead of sliding down and off it with the speed of its jump.
    if (platform()->isVertical())
        body_.velocity.y = 0;
    if (fb.leave) {
        detached_.activate();
        return 0;
    }
    offPath_.unplannedTime += dt;
    if (offPath_.unplannedTime >= kSecondsBeforeHop) {
        offPath_.unplannedTime = 0;
        randomNudge();
    }
    return 0;
}

int Animal::platformFeedbackAttached(double dt) {
    Platform* p = platform();
    const ContactFeedback fb = p->contactFeedback(*this, dt);
    if (p->isHorizontal()) {
        // An idle animal pressed against a wall is pushed away from it.
        const float d = static_cast<float>(100 * dt);
        float& vx = body_.velocity.x;
        if (fb.obstacleLeft && vx <= 0)
            vx = d - vx;
        if (fb.obstacleRight && vx >= 0)
            vx = -vx - d;
    }
    // Nudged or carried past the world's wrap margin while standing (a platform that holds
    // it out there, such as the cable's end or the ground under a launch): it comes back on
    // the opposite edge, as a walker or a faller would, and falls from there.
    if (fb.leave || wrapIntoWorld(20))
        detached_.activate();
    // Sliding off the end of a floor that still counts it as held (landed on the ramp on the
    // move, carried past its foot, beyond which the ground lies far below), it drops once
    // nothing is under its feet: the floor's slow pull would lower it through the air for
    // seconds. A body standing still stays where its floor holds it (the places at the ends
    // of the jumps between floors and branches lie out over the gap).
    else if (body_.velocity.x != 0 && p->isHorizontal() && !p->liesBeneathFeet(bounds(false)))
        detached_.activate();
    return 0;
}

void Animal::headForNode(NavNode* node) {
    headFor(node, nullptr);
}

void Animal::headForEdge(NavEdge* edge) {
    headFor(nullptr, edge);
}

void Animal::headFor(NavNode* node, NavEdge* edge) {
    forgetRoute();
    offPath_.activate();
    offPath_.unplannedTime = 0;
    offPath_.goalNode = node;
    offPath_.goalEdge = edge;
    letGoUnlessHeld();
}

void Animal::letGoUnlessHeld() {
    // A body its platform holds plans the new walk from where it stands. Let go, it would be
    // caught by whatever it overlaps first: the ramp through the legs of a walker on the ground
    // beneath it lifts him onto the ramp, and a standing figure, whose feet hover above the
    // floor until they settle, falls off a branch's tip.
    const gfx::RectF b = bounds(false);
    if (isAttached() && (platform()->supports(b) || platform()->holdsBeyondItsEnd(b)))
        return;
    detached_.activate();
}

void Animal::forgetRoute() {
    // A new goal replaces the old walk: nothing of it may come back if the body is carried
    // off before it plans the new one.
    walk_.route.clear();
    walk_.goalNode = nullptr;
    walk_.finalEdge = nullptr;
}

void Animal::halt() {
    idle_.activate();
    detached_.activate();
}

void Animal::launch(double speed) {
    // A throw ends the walk: the body flies, lands, and stands where it lands.
    idle_.activate();
    detached_.activate();
    body_.velocity.y = static_cast<float>(-speed);
    body_.speedAllowance.y = static_cast<float>(speed);
}

NavNode* Animal::walkGoal() const {
    if (!walk_.isActive())
        return nullptr;
    if (offPath_.isActive())
        return offPath_.goalEdge != nullptr ? offPath_.goalEdge->to : offPath_.goalNode;
    return walk_.route.empty() ? nullptr : walk_.route.back()->to;
}

} // namespace game
