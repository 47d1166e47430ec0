#pragma once

#include "gfx/Brush.h"
#include "scene/MovablePlatform.h"
#include "scene/Wall.h"

namespace game {

// The second floor with its two see-through walls; it carries the den roof.
class FloorSecond : public MovablePlatform {
public:
    FloorSecond();

    void registerInGame(World& world) override;
    std::string typeName() const override { return "FloorSecond"; }
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;
    bool supports(const gfx::RectF& r) const override;

    // The design outline, absolute, before any displacement.
    static std::span<const gfx::PointF> designOutline();

    // Parts, in the order they are built and drawn.
    gfx::SolidBrush fill{0xFF102030};
    Wall leftWall;
    Wall rightWall;
};

} // namespace game
