#pragma once

#include "gfx/Brush.h"
#include "scene/Climbable.h"
#include "scene/MovablePlatform.h"
#include "scene/Wall.h"
#include "widgets/Trampoline.h"

namespace game {

// The basement floor at the bottom of the house, with the ladder up to the first floor and
// the two walls that stop walkers and two trampolines. The ground carries it; it carries the
// first floor.
class FloorBasement : public MovablePlatform {
public:
    FloorBasement();

    void registerInGame(World& world) override;
    std::string typeName() const override { return "FloorBasement"; }
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;
    bool supports(const gfx::RectF& r) const override;

    // The design outline, absolute, before any displacement.
    static std::span<const gfx::PointF> designOutline();

    // Parts, in the order they are built and drawn.
    Climbable ladder;
    gfx::SolidBrush fill{0xFF201020};
    Wall leftWall;
    Wall rightWall;
    Trampoline leftTrampoline{{290, 569, 40, 10}, 0xFFFF4040, 5.0, 400.0};
    Trampoline rightTrampoline{{480, 569, 40, 10}, 0xFFFF4040, 5.0, 400.0};
};

} // namespace game
