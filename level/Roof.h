#pragma once

#include "gfx/Brush.h"
#include "scene/MovablePlatform.h"

namespace game {

// The gabled roof of the house, ridge at the top; the den roof carries it.
class Roof : public MovablePlatform {
public:
    Roof();

    void registerInGame(World& world) override;
    std::string typeName() const override { return "Roof"; }
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;
    bool supports(const gfx::RectF& r) const override;

    // The design outline, absolute, before any displacement.
    static std::span<const gfx::PointF> designOutline();

    gfx::SolidBrush fill{0xFF202020};
};

} // namespace game
