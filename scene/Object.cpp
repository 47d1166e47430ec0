#include "scene/Object.h"

#include "gfx/Matrix.h"
#include "scene/World.h"

namespace game {

Object::Object(gfx::Argb penColor, float penWidth) : pen_(penColor, penWidth) {
    pen_.setLineJoin(gfx::LineJoin::Round);
}

void Object::registerInGame(World& world) {
    joinWorld(world);
    world.objects().add(ObjectRegistry::List::Draw, this);
    world.objects().add(ObjectRegistry::List::Object, this);
}

void Object::refreshShape() {
    if (isShapeDirty())
        rebuildPath();
}

gfx::RectF Object::bounds(bool withPen) {
    refreshShape();
    return pathBounds(withPen);
}

const gfx::Region& Object::region() {
    if (regionDirty_) {
        refreshShape();
        region_.reset(path_);
        regionDirty_ = false;
    }
    return region_;
}

void Object::translate(float, float) {}

bool Object::invalidate() {
    shapeDirty_ = true;
    regionDirty_ = true;
    redrawNeeded_ = true;
    return true;
}

gfx::RectF Object::pathBounds(bool withPen) const {
    return withPen ? path_.bounds(pen_) : path_.bounds();
}

void Object::rebuildOutline(std::span<const gfx::PointF> points, Joined joined, const gfx::Matrix& place) {
    path_.reset();
    switch (joined) {
    case Joined::Lines:
        path_.addLines(points);
        break;
    case Joined::Curve:
        path_.addCurve(points);
        break;
    case Joined::ClosedCurve:
        path_.addClosedCurve(points);
        break;
    }
    path_.transform(place);
    clearShapeDirty();
}

} // namespace game
