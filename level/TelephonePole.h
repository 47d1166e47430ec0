#pragma once

#include "level/Branch.h"
#include "level/FilledClimbable.h"
#include "level/TelephoneCable.h"

namespace game {

// The telephone pole at the left edge of the garden: climbed from the ground, with a branch
// towards the den roof and the cable running from its top across the world.
class TelephonePole : public FilledClimbable {
public:
    static constexpr float kX = 20;
    static constexpr float kBottom = 440;
    static constexpr float kWidth = 25;
    static constexpr float kHeight = 380;
    static constexpr gfx::Argb kColor = 0xFF201008;

    TelephonePole();

    void registerInGame(World& world) override;
    // Moves at once and takes its branch along; the cable follows the ground by itself.

    TelephoneCable& cable() { return cable_; }
    Branch& branch() { return branch_; }

private:
    TelephoneCable cable_;
    Branch branch_;
};

} // namespace game
