#pragma once

#include "scene/Agent.h"

#include <deque>

namespace game {

class Animal;
class NavEdge;
class NavNode;
class Platform;
struct ContactFeedback;

// "motion_state": standing still or walking. Its bind puts the walking behaviours in place.
class MotionState : public StateMachine {
public:
    explicit MotionState(Animal& owner) : StateMachine("motion_state"), animal_(owner) {}
    void bind(BehaviourList& list) override;

private:
    Animal& animal_;
};

// "walk": the route is the queue of edges still to walk, front first.
class WalkState : public StateMachine {
public:
    WalkState() : StateMachine("walk") {}
    std::string describe() const override;
    void exit() override {
        StateMachine::exit();
        route.clear();
        goalNode = nullptr;
        finalEdge = nullptr;
    }

    std::deque<NavEdge*> route;
    // What the route was planned for: the place and the walkway to end along (or none).
    NavNode* goalNode = nullptr;
    NavEdge* finalEdge = nullptr;
};

// "to_end_node": steering to the end of the front edge, on the ground or (too long without
// ground contact) in the air.
class ToEndNodeState : public StateMachine {
public:
    ToEndNodeState() : StateMachine("to_end_node") {}
    void enter() override;

    double airTime = 0;
};

// "off_path": carried away from the route (or sent somewhere new); the goal to walk to once
// the body stands somewhere again.
class OffPathState : public State {
public:
    OffPathState() : State("off_path") {}
    std::string describe() const override;
    void exit() override {
        State::exit();
        goalNode = nullptr;
        goalEdge = nullptr;
        unplannedTime = 0;
    }

    NavNode* goalNode = nullptr;
    NavEdge* goalEdge = nullptr;
    // Seconds in a row with no walkway under the body to start the walk from.
    double unplannedTime = 0;
};

// "start_loc": counts walks started in a row from the same edge, to notice being stuck.
class StartLocState : public State {
public:
    StartLocState() : State("start_loc") {}
    std::string describe() const override { return " num_times=" + std::to_string(startCount); }

    NavEdge* startEdge = nullptr;
    int startCount = 0;
};

// An agent that walks the navigation graph. Left alone it wanders: whenever it stands idle on
// a platform it picks a random place and walks there.
class Animal : public Agent {
public:
    Animal();

    void registerInGame(World& world) override;
    std::string typeName() const override { return "Animal"; }
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;

    // Plans a route from the edge under the body to the goal node, optionally ending along
    // finalEdge; false (and nothing changes) when there is no route.
    virtual bool walkTo(int goal, NavEdge* finalEdge);
    virtual int randomGoal(double dt);
    virtual int walkToEndNode(double dt);
    virtual int walkToNextStartNodeHorizontal(double dt);
    virtual int walkToNextStartNodeVertical(double dt);
    virtual int wrapOffScreen(double dt);
    virtual int recoverFromOffPath(double dt);
    virtual int platformFeedbackAttached(double dt);

    // Commands from the game and the rules. They take effect through the next steps: the body
    // plans the walk to the new goal from where it stands, or, when nothing holds it there,
    // drops into "detached", lands, and plans then.
    void headForNode(NavNode* node);
    void headForEdge(NavEdge* edge);
    void halt();
    // Thrown upwards (by a trampoline): the walk ends.
    void launch(double speed);

    bool isWalking() const { return walk_.isActive(); }
    bool isIdle() const { return idle_.isActive(); }
    bool isOffPath() const { return offPath_.isActive(); }
    const std::deque<NavEdge*>& route() const { return walk_.route; }
    // Where the current walk ends: the goal while off the path, else the end of the route;
    // nullptr when not walking.
    NavNode* walkGoal() const;
    const StartLocState& startLocation() const { return startLoc_; }
    // Hops it has made to get off a spot where no walk starts.
    long long hops() const { return hops_; }

    // Puts the walking behaviours into the list (called by "motion_state").
    void bindWalking(BehaviourList& list);

    // The rules' speed cap per axis while steering, and the pull an agent never falls under.
    static constexpr float kMaxSteerSpeed = 70;
    static constexpr float kMinSteerFactor = 40;

protected:
    // Accelerates v along the unit direction u at rate a, per axis.
    static void steer(double dt, gfx::PointF u, double a, gfx::PointF& v);
    // The walkway of the body's platform under its feet, where a walk starts; nullptr if none.
    NavEdge* edgeUnderFeet();
    // Leaves the route for the given edge: the body falls and then walks back to it.
    void leavePath(NavEdge* edge);
    // Leaves the current route towards its last edge; with no route, keeps the goal it was
    // heading for (or, with none, stands idle).
    void leaveRoute();
    // Sets the horizontal speed of a body let go mid-climb so that its fall heads for the
    // point where the walkway it was on lands.
    void aimFallAt(gfx::PointF landing);
    // From a climb onto the platform of the next walkway, which starts at s.
    int stepOff(Platform& q, gfx::PointF s);
    // Whether the body's bounds meet the node's box (its size) centred on the point: where
    // a walk along an edge arrives, or the node itself.
    bool meetsBox(const NavNode& node, gfx::PointF centre);
    // Whether the body has gone past the end of the walkway, along its direction.
    bool hasPassed(const NavEdge& e) const;
    // Drops the current route and what it was planned for.
    void forgetRoute();
    // A new goal, a place or a walkway (the other null), planned from where the body stands.
    void headFor(NavNode* node, NavEdge* edge);
    // Into "detached" for a new goal, unless the platform holds the body where it stands.
    void letGoUnlessHeld();
    // The walk is over: idle, at rest.
    int standStill();
    // A jump of up to 10 units on each axis, to get off a spot where no route starts.
    void randomNudge();

    MotionState motion_{*this};
    State idle_{"idle"};
    WalkState walk_;
    ToEndNodeState toEndNode_;
    State onGround_{"on_ground"};
    State onAir_{"on_air"};
    State toNextStartNode_{"to_next_start_node"};
    OffPathState offPath_;
    StartLocState startLoc_;
    // How far past a walkway's end a body is set back onto the end when it arrives.
    static constexpr float kMostOvershoot = 2;
    // How far below its feet a body finds the walkway to start a walk from.
    static constexpr float kFeetReach = 10;
    // Time without ground contact after which a body on a floor is taken to be in the air.
    static constexpr double kAirTimeBeforeFalling = 0.6;
    long long hops_ = 0;
    // How long a body off its path waits on a spot with no walkway before it hops.
    static constexpr double kSecondsBeforeHop = 1;
};

} // namespace game
