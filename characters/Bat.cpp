#include "characters/Bat.h"

#include "gfx/Graphics.h"

#include <array>

namespace game {

namespace {

// In the bat's own coordinates: the handle at the origin, the head upwards. The outline
// leaves the handle and comes back to it.
constexpr std::array<gfx::PointF, 8> kOutline{{
    {0, 0},
    {-2, 0},
    {-1, -4},
    {-4, -25},
    {4, -25},
    {1, -4},
    {2, 0},
    {0, 0},
}};

} // namespace

void Bat::addContent() {
    path_.addCurve(kOutline);
    // Turned about the handle first, then moved to the position.
    gfx::Matrix m;
    m.translate(x_, y_);
    m.rotate(static_cast<float>(angle_));
    path_.transform(m);
}

void Bat::draw(gfx::Graphics& g) {
    g.fillPath(fillBrush_, path_);
    g.drawPath(pen_, path_);
}

} // namespace game
