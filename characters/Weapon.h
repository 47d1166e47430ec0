#pragma once

#include "gfx/Brush.h"
#include "scene/Switch.h"

namespace game {

// Something a person can hold: a switch of the scene, shown only while on, placed at the hand
// by the person carrying it. Its colour serves both outline and fill; angle turns it about its
// handle (degrees). What it looks like is up to each kind of weapon.
class Weapon : public Switch {
public:
    explicit Weapon(gfx::Argb color) : Switch(color, 2.0f), fillBrush_(color) {}

    std::string typeName() const override { return "Weapon"; }
    void tick(double) override {}

    double angle() const { return angle_; }
    // Turns the weapon about its handle; redraws only when the angle really changes.
    void setAngle(double degrees);
    const gfx::SolidBrush& fillBrush() const { return fillBrush_; }

protected:
    gfx::SolidBrush fillBrush_;
    double angle_ = 0;
};

} // namespace game
