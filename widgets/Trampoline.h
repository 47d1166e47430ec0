#pragma once

#include "scene/Wall.h"

namespace game {

class Animal;

// A spring on the basement floor. It fades through a cycle and, in the last quarter, throws
// the first animal standing on it into the air; a launch starts the cycle again.
class Trampoline : public Wall {
public:
    Trampoline(gfx::RectF rect, gfx::Argb colour, double cyclePeriod, double baseLaunchSpeed);

    std::string typeName() const override { return "Trampoline"; }
    // It changes colour as it arms: drawn as usual, also while the ground shakes.
    bool keepsSprite() const override { return false; }
    void update(double dt) override;
    void draw(gfx::Graphics& g) override;
    // Launches the first animal on it; false when none stands there.
    virtual bool tryLaunch();

    int phase() const { return phase_; }
    // In the last quarter of its cycle: whoever steps on now is thrown.
    bool isArmed() const { return phase_ > 14; }
    double cycleTime() const { return cycleTime_; }

private:
    // Whether the animal stands on the trampoline, whose bounds are t.
    static bool standsOn(Animal& animal, const gfx::RectF& t);

    double cyclePeriod_;
    double cycleTime_ = 0;
    int phase_ = 0;
    double baseLaunchSpeed_;
    gfx::Argb trampolineColour_;
};

} // namespace game
