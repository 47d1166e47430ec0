#pragma once

#include "scene/State.h"

namespace game {

// One pose of the figure ("anim_idle", "anim_walk", ...). Its clocks drive the limb cycles
// and start again each time the pose is taken up; blendDuration is how long the figure takes
// to move into this pose from the one before.
class AnimationState : public State {
public:
    AnimationState(std::string stateName, double blend) : State(std::move(stateName)), blendDuration(blend) {}
    void enter() override {
        State::enter();
        timeClock = 0;
        strideClock = 0;
        climbClock = 0;
    }

    double timeClock = 0;   // seconds
    double strideClock = 0; // strides (70 units walked each)
    double climbClock = 0;  // climbing cycles (32 units climbed each)
    const double blendDuration;
};

// "anim_state": which pose the figure shows. Its behaviour chooses the pose after the body
// and the walk have moved, so it runs at the back of the list.
class AnimationMachine : public StateMachine {
public:
    AnimationMachine() : StateMachine("anim_state") {}
    void bind(BehaviourList& list) override;
};

} // namespace game
