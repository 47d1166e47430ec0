#pragma once

#include "gfx/Brush.h"
#include "scene/Switch.h"

#include <string>

namespace game {

// The game clock along the bottom: minutes and seconds since the round started.
class Timer : public Switch {
public:
    Timer(gfx::Argb fillColor, gfx::Argb penColor) : Switch(penColor, 2.0f), fillBrush(fillColor) {}

    std::string typeName() const override { return "Timer"; }
    void draw(gfx::Graphics& g) override;
    void addContent() override;
    // Counts unless frozen; redraws once per whole second.
    void tick(double dt) override;

    // Starts again from zero, running.
    void restart();
    void setFrozen(bool value) { frozen = value; }
    bool isFrozen() const { return frozen; }
    double elapsedSeconds() const { return elapsed; }
    // "mm:ss" as shown.
    std::string text() const;

private:
    double elapsed = 0;
    int shownSeconds = -1;
    bool frozen = false;
    gfx::SolidBrush fillBrush;
};

} // namespace game
