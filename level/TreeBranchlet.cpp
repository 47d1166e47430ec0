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
    : Object(penColor, penWidth), fill_(fillColor), rect_(r) {
    const double sx = static_cast<double>(rect_.width) * kLengthFactor;
    const double sy = static_cast<double>(rect_.height) * kThicknessFactor;
    const int ox = static_cast<int>(rect_.x);
    const int oy = static_cast<int>(rect_.y);
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const int px = static_cast<int>(kUnitTwig[i].x * sx) + ox;
        const int py = static_cast<int>(kUnitTwig[i].y * sy) + oy;
        points_[i] = {static_cast<float>(px), static_cast<float>(py)};
    }
}

void TreeBranchlet::translate(float stepX, float stepY) {
    dx_ += 1.1f * stepX;
    dy_ += 1.1f * stepY;
    invalidate();
}

void TreeBranchlet::draw(gfx::Graphics& g) {
    g.fillPath(fill_, path_);
}

void TreeBranchlet::rebuildPath() {
    gfx::Matrix m;
    m.translate(dx_, dy_);
    rebuildOutline(points_, Joined::Curve, m);
}

} // namespace game
