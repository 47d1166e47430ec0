#include "scene/Switch.h"

namespace game {

void Switch::update(double dt) {
    if (on)
        tick(dt);
}

void Switch::rebuildPath() {
    path_.reset();
    clearShapeDirty();
    if (on)
        addContent();
}

void Switch::setOn(bool value) {
    if (on == value)
        return;
    on = value;
    invalidate();
}

void Switch::setPosition(float newX, float newY) {
    if (x == newX && y == newY)
        return;
    x = newX;
    y = newY;
    invalidate();
}

} // namespace game
