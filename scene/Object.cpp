#include "scene/Object.h"

#include "scene/World.h"

namespace game {

Object::Object(gfx::Argb penColor, float penWidth) : pen(penColor, penWidth) {
    pen.setLineJoin(gfx::LineJoin::Round);
}

void Object::registerInGame(World& world) {
    joinWorld(world);
    world.drawList.push_back(this);
    world.objectList.push_back(this);
}

void Object::refreshShape() {
    if (isShapeDirty())
        rebuildPath();
}

gfx::RectF Object::getBounds(bool withPen) {
    refreshShape();
    return getPathBounds(withPen);
}

const gfx::Region& Object::getRegion() {
    if (regionDirty) {
        refreshShape();
        region.setEmpty();
        region.unite(path);
        regionDirty = false;
    }
    return region;
}

void Object::translate(float, float) {}

bool Object::invalidate() {
    shapeDirty = true;
    regionDirty = true;
    redrawNeeded = true;
    return true;
}

gfx::RectF Object::getPathBounds(bool withPen) const {
    return withPen ? path.bounds(pen) : path.bounds();
}

} // namespace game
