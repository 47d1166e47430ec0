#pragma once

#include "gfx/Brush.h"
#include "gfx/Geometry.h"
#include "scene/Object.h"

#include <array>

namespace game {

// The twig at a branch tip. It moves 1.1 times as far as its branch, so a shaken branch
// visibly whips.
class TreeBranchlet : public Object {
public:
    // rect is the owning branch's (x, y, length, thickness).
    TreeBranchlet(const gfx::RectF& rect, gfx::Argb penColor, float penWidth, gfx::Argb fillColor);

    std::string typeName() const override { return "TreeBranchlet"; }
    void translate(float dx, float dy) override;
    void update(double) override {}
    void draw(gfx::Graphics& g) override;
    void rebuildPath() override;

    // Design points (whole pixels), before any displacement.
    const std::array<gfx::PointF, 4>& outlinePoints() const { return points_; }
    gfx::PointF displacement() const { return {dx_, dy_}; }

private:
    gfx::SolidBrush fill_;
    gfx::RectF rect_;
    float dx_ = 0;
    float dy_ = 0;
    std::array<gfx::PointF, 4> points_;
};

} // namespace game
