#include "scene/MovablePlatform.h"

#include "gfx/Graphics.h"

namespace game {

MovablePlatform::MovablePlatform() : Platform(0xFF000000, 1.0f) {
    recordPenStatus(pen.setWidth(3.0f));
    // Outlines are stroked inside the shape, so a storey's pen never spills onto its neighbours.
    pen.setAlignment(gfx::PenAlignment::Inset);
}

void MovablePlatform::translate(float dx, float dy) {
    // An idle queue first gets a zero move, so a displacement always lands at least one
    // frame after the carrier moved: a stack of platforms follows its base with a lag.
    if (pendingMoves.empty())
        pendingMoves.emplace_back(0.0f, 0.0f);
    pendingMoves.emplace_back(dx, dy);
}

void MovablePlatform::update(double) {
    if (pendingMoves.empty())
        return;
    const auto [dx, dy] = pendingMoves.front();
    pendingMoves.pop_front();
    if (dx == 0.0f && dy == 0.0f)
        return;
    offsetX += dx;
    offsetY += dy;
    invalidate();
    carryRiders(dx, dy);
}

void MovablePlatform::rebuildPolyline(std::span<const gfx::PointF> outline) {
    path.reset();
    recordPathStatus(path.addLines(outline));
    gfx::Matrix m;
    m.translate(offsetX, offsetY);
    path.transform(m);
    clearShapeDirty();
}

void MovablePlatform::fillAndStroke(gfx::Graphics& g, const gfx::SolidBrush& fill) {
    g.fillPath(fill, path);
    g.drawPath(pen, path);
}

} // namespace game
