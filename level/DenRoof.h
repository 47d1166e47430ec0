#pragma once

#include "gfx/Brush.h"
#include "scene/MovablePlatform.h"

namespace game {

// The lean-to roof of the den on the left of the house; it carries the main roof.
class DenRoof : public MovablePlatform {
public:
    DenRoof();

    void registerInGame(World& world) override;
    std::string typeName() const override { return "DenRoof"; }
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;
    bool supports(const gfx::RectF& r) const override;

    // The design outline, absolute, before any displacement.
    static std::span<const gfx::PointF> designOutline();

    gfx::SolidBrush fill{0xFF202020};
};

} // namespace game
