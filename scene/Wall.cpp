#include "scene/Wall.h"

#include "gfx/Graphics.h"

namespace game {

Wall::Wall(gfx::RectF bounds, gfx::Argb penColor, float penWidth, gfx::Argb fillColor)
    : Object(penColor, penWidth), fill_(fillColor), rect_(bounds) {}

void Wall::translate(float stepX, float stepY) {
    dx_ += stepX;
    dy_ += stepY;
    invalidate();
}

void Wall::draw(gfx::Graphics& g) {
    g.fillPath(fill_, path_);
    g.drawPath(pen_, path_);
}

void Wall::rebuildPath() {
    path_.reset();
    const float left = rect_.x + dx_;
    const float top = rect_.y + dy_;
    const float right = left + rect_.width;
    const float bottom = top + rect_.height;
    const gfx::PointF corners[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
    path_.addLines(corners);
    clearShapeDirty();
}

} // namespace game
