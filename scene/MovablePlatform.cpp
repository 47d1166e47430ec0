#include "scene/MovablePlatform.h"

#include "gfx/Graphics.h"

namespace game {

MovablePlatform::MovablePlatform() : Platform(0xFF000000, 1.0f) {
    pen_.setWidth(3.0f);
    // Outlines are stroked inside the shape, so a storey's pen never spills onto its neighbours.
    pen_.setAlignment(gfx::PenAlignment::Inset);
}

void MovablePlatform::translate(float dx, float dy) {
    // An idle queue first gets a zero move, so a displacement always lands at least one
    // frame after the carrier moved: a stack of platforms follows its base with a lag.
    if (pendingMoves_.empty())
        pendingMoves_.emplace_back(0.0f, 0.0f);
    pendingMoves_.emplace_back(dx, dy);
}

void MovablePlatform::update(double) {
    if (pendingMoves_.empty())
        return;
    const auto [dx, dy] = pendingMoves_.front();
    pendingMoves_.pop_front();
    if (dx == 0.0f && dy == 0.0f)
        return;
    offsetX_ += dx;
    offsetY_ += dy;
    invalidate();
    carryRiders(dx, dy);
}

void MovablePlatform::rebuildAtOffset(std::span<const gfx::PointF> outline, Joined joined) {
    gfx::Matrix m;
    m.translate(offsetX_, offsetY_);
    rebuildOutline(outline, joined, m);
}

void MovablePlatform::fillAndStroke(gfx::Graphics& g, const gfx::SolidBrush& fill) {
    g.fillPath(fill, path_);
    g.drawPath(pen_, path_);
}

} // namespace game
