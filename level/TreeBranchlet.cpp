#include "level/TreeBranchlet.h"

#include "gfx/Graphics.h"
#include "gfx/Matrix.h"

namespace game {

namespace {

constexpr std::array<gfx::PointF, 4> kUnitTwig{{{8, 4}, {15, 0}, {16, 2}, {12, 4}}};

// The twig is scaled with single-precision factors but multiplied out in double, and the
// products are cut to whole pixels; this is what puts the pole's twig at x 61, not 62.
constexpr double kLengthFactor = 0.04f;
constexpr double kThicknessFactor = 0.1f;

} // namespace

TreeBranchlet::TreeBranchlet(const gfx::RectF& r, gfx::Argb penColor, float penWidth, gfx::Argb fillColor)
    : Object(penColor, penWidth), fill(fillColor), rect(r) {
    const double sx = static_cast<double>(rect.width) * kLengthFactor;
    const double sy = static_cast<double>(rect.height) * kThicknessFactor;
    const int ox = static_cast<int>(rect.x);
    const int oy = static_cast<int>(rect.y);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const int px = static_cast<int>(kUnitTwig[i].x * sx) + ox;
        const int py = static_cast<int>(kUnitTwig[i].y * sy) + oy;
        points[i] = {static_cast<float>(px), static_cast<float>(py)};
    }
}

void TreeBranchlet::translate(float stepX, float stepY) {
    dx += 1.1f * stepX;
    dy += 1.1f * stepY;
    invalidate();
}

void TreeBranchlet::draw(gfx::Graphics& g) {
    g.fillPath(fill, path_);
}

void TreeBranchlet::rebuildPath() {
    gfx::Matrix m;
    m.translate(dx, dy);
    rebuildOutline(points, Joined::Curve, m);
}

} // namespace game
