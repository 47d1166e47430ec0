#include "scene/Wall.h"

#include "gfx/Graphics.h"

namespace game {

Wall::Wall(gfx::RectF bounds, gfx::Argb penColor, float penWidth, gfx::Argb fillColor)
    : Object(penColor, penWidth), fill(fillColor), rect(bounds) {}

void Wall::translate(float stepX, float stepY) {
    dx += stepX;
    dy += stepY;
    invalidate();
}

void Wall::draw(gfx::Graphics& g) {
    g.fillPath(fill, path);
    g.drawPath(pen, path);
}

void Wall::rebuildPath() {
    path.reset();
    const float left = rect.x + dx;
    const float top = rect.y + dy;
    const float right = left + rect.width;
    const float bottom = top + rect.height;
    const gfx::PointF corners[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
    recordPathStatus(path.addLines(corners));
    clearShapeDirty();
}

} // namespace game
