#pragma once

#include "gfx/Brush.h"
#include "scene/BehaviourList.h"
#include "scene/Object.h"
#include "scene/State.h"

namespace game {

class Agent;
class Platform;

// The body's root state "state": it carries the velocity and puts the six body behaviours
// in front of the agent's list.
class BodyState : public StateMachine {
public:
    BodyState() : StateMachine("state") {}
    void bind(BehaviourList& list) override;
    std::string describe() const override;

    gfx::PointF velocity;       // units per second
    gfx::PointF speedAllowance; // speed above 200 that each axis may keep (after a launch)
    // The states that guard the body behaviours; set by the agent that builds the tree.
    const State* detached = nullptr;
    const State* horizontal = nullptr;
};

// Falling freely; every entry starts a fresh fall.
class DetachedState : public State {
public:
    DetachedState() : State("detached") {}
    void enter() override {
        State::enter();
        fallSpeed = 0;
    }

    double fallSpeed = 0;
};

// Standing on a floor ("horizontal") or hanging on a ladder ("vertical").
class AttachedState : public StateMachine {
public:
    AttachedState() : StateMachine("attached") {}
    std::string describe() const override;
    void exit() override {
        StateMachine::exit();
        platform = nullptr;
    }

    Platform* platform = nullptr;
};

// A scene object with a point-mass body, a tree of states and a list of guarded per-step
// behaviours. Everything it does each frame is one run of that list.
class Agent : public Object {
public:
    Agent();

    // Into the drawList and agentList; starts the body falling with its behaviours bound.
    void registerInGame(World& world) override;
    std::string typeName() const override { return "Agent"; }
    void translate(float dx, float dy) override { moveBy(dx, dy); }
    void update(double dt) override;

    virtual void moveBy(float dx, float dy);
    virtual void moveTo(float newX, float newY);
    virtual gfx::PointF position() const { return {x_, y_}; }
    virtual int applyFreeFallGravity(double dt);
    virtual int applyPlatformGravity(double dt);
    virtual int applyInertia(double dt);
    virtual int reduceInertiaOnPlatform(double dt);
    virtual int reduceInertiaDetached(double dt);
    virtual int findPlatform(double dt);
    // Factor on dt for every behaviour of this agent.
    virtual double timeScale() const { return 1.0; }

    // Puts a body that left the world (by more than margin) back on the opposite edge.
    bool wrapIntoWorld(int margin);
    void attachTo(Platform& target);

    bool isAttached() const { return attached_.isActive(); }
    bool isDetached() const { return detached_.isActive(); }
    // The platform the body is attached to, or nullptr.
    Platform* platform() const { return attached_.platform; }
    gfx::PointF& velocity() { return body_.velocity; }
    const gfx::PointF& velocity() const { return body_.velocity; }
    const BodyState& rootState() const { return body_; }
    BehaviourList& behaviourList() { return behaviours_; }
    const gfx::SolidBrush& fillBrush() const { return fillBrush_; }

    static constexpr float kWorldWidth = 800;
    static constexpr float kWorldHeight = 584;
    // The slow downward speed a platform pulls a body it holds with (its contact cancels it).
    static constexpr float kPlatformPull = 10;

protected:
    // The world's speed level (1, 2 or 3); the slowest while the body stands in no world.
    int speedLevel() const;
    void reduceInertia(double rate, double dt);
    // Sets a body sunk into a floor on top of it, if the floor holds it there.
    bool liftOnto(Platform& p);
    // The same for a body sunk depth deep.
    bool liftBy(Platform& p, float depth);
    // Whether a falling body that touches this floor lands on it.
    bool landsOn(Platform& p);

    float x_ = 200;
    float y_ = 300;
    BodyState body_;
    DetachedState detached_;
    AttachedState attached_;
    State horizontal_{"horizontal"};
    State vertical_{"vertical"};
    BehaviourList behaviours_;
    gfx::SolidBrush fillBrush_{0xff6464ff};
};

} // namespace game
