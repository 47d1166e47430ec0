#pragma once

#include "scene/State.h"

namespace game {

class Weapon;

// "carry_weapon": something is in the person's hand. Leaving the state lets go of it.
class CarryWeaponState : public State {
public:
    CarryWeaponState() : State("carry_weapon") {}
    std::string describe() const override;
    void exit() override {
        State::exit();
        weapon = nullptr;
    }

    Weapon* weapon = nullptr; // not owned
};

// "carry_state": empty-handed ("carry_none") or carrying ("carry_weapon"). While carrying,
// its behaviour moves the weapon to the hand after the figure has taken its pose.
class CarryMachine : public StateMachine {
public:
    CarryMachine() : StateMachine("carry_state") {}
    void bind(BehaviourList& list) override;

    const State* carrying = nullptr; // guard of the behaviour, set by the owner
};

} // namespace game
