#pragma once

#include "gfx/Brush.h"
#include "scene/Climbable.h"
#include "scene/MovablePlatform.h"
#include "scene/Wall.h"

namespace game {

// The first floor: a slab with a ramp down to the garden on the right and a step on the
// left, the ladder up to the second floor and two see-through walls.
class FloorFirst : public MovablePlatform {
public:
    FloorFirst();

    void registerInGame(World& world) override;
    std::string typeName() const override { return "FloorFirst"; }
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;
    bool supports(const gfx::RectF& r) const override;

    // The design outline, absolute, before any displacement.
    static std::span<const gfx::PointF> designOutline();

    // Parts, in the order they are built and drawn.
    Climbable ladder;
    gfx::SolidBrush fill{0xFF103020};
    Wall leftWall;
    Wall rightWall;
};

} // namespace game
