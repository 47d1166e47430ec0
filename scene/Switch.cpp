#include "scene/Switch.h"

namespace game {

void Switch::update(double dt) {
    if (on_)
        tick(dt);
}

void Switch::rebuildPath() {
    path_.reset();
    clearShapeDirty();
    if (on_)
        addContent();
}

void Switch::setOn(bool value) {
    if (on_ == value)
        return;
    on_ = value;
    invalidate();
}

void Switch::setPosition(float newX, float newY) {
    if (x_ == newX && y_ == newY)
        return;
    x_ = newX;
    y_ = newY;
    invalidate();
}

} // namespace game
