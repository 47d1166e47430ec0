#pragma once

#include "scene/Object.h"

namespace game {

// Something that can be switched on (shown and active) or off, drawn at a position: the base
// of the on-screen widgets and of the weapons the figures carry. While off it neither ticks
// nor draws.
class Switch : public Object {
public:
    Switch(gfx::Argb penColor = 0xff000000, float penWidth = 1.0f) : Object(penColor, penWidth) {}

    std::string typeName() const override { return "Switch"; }
    void update(double dt) override;
    // A switched-off widget has an empty outline.
    void rebuildPath() override;

    // The widget's content figures, added to the reset path while it is on.
    virtual void addContent() = 0;
    // Per-frame work while on.
    virtual void tick(double dt) = 0;

    bool isOn() const { return on_; }
    // Switches on or off; redraws only when the state really changes.
    void setOn(bool value);
    gfx::PointF position() const { return {x_, y_}; }
    // Moves the content's top-left corner; redraws only when it really moves.
    void setPosition(float newX, float newY);

protected:
    bool on_ = false;
    float x_ = 100;
    float y_ = 100;
};

} // namespace game
