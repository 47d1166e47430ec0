#pragma once

#include "gfx/Brush.h"
#include "scene/Switch.h"

#include <string>

namespace game {

// The game clock along the bottom: minutes and seconds since the round started.
class Timer : public Switch {
public:
    Timer(gfx::Argb fillColor, gfx::Argb penColor) : Switch(penColor, 2.0f), fillBrush_(fillColor) {}

    std::string typeName() const override { return "Timer"; }
    void draw(gfx::Graphics& g) override;
    void addContent() override;
    // Counts unless frozen; redraws once per whole second.
    void tick(double dt) override;

    // Starts again from zero, running.
    void restart();
    void setFrozen(bool value) { frozen_ = value; }
    bool isFrozen() const { return frozen_; }
    double elapsedSeconds() const { return elapsed_; }
    // "mm:ss" as shown.
    std::string text() const;

private:
    double elapsed_ = 0;
    int shownSeconds_ = -1;
    bool frozen_ = false;
    gfx::SolidBrush fillBrush_;
};

} // namespace game
