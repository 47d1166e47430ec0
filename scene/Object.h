#pragma once

#include "gfx/Geometry.h"
#include "gfx/Path.h"
#include "gfx/Pen.h"
#include "gfx/Region.h"

#include <span>
#include <string>

namespace gfx {
class Graphics;
class Matrix;
} // namespace gfx

namespace game {

class World;

// Root of everything that is drawn, updated or hit-tested. It keeps the outline path, the
// hit region derived from it, the stroke pen, and three dirty flags so that the renderer
// and the physics only redo work after something changed.
class Object {
public:
    Object(gfx::Argb penColor, float penWidth);
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    // Puts the object into the world's drawList and objectList and keeps the world.
    virtual void registerInGame(World& world);
    virtual bool isShapeDirty() const { return shapeDirty_; }
    // Rebuilds the outline only when it is stale.
    virtual void refreshShape();
    virtual gfx::RectF bounds(bool withPen);
    // The hit area; rebuilt from the outline only after an invalidate().
    virtual const gfx::Region& region();
    virtual void translate(float dx, float dy);
    virtual std::string typeName() const { return "Object"; }
    virtual void clearShapeDirty() { shapeDirty_ = false; }
    // Marks outline, region and picture stale. Whatever changes the outline calls this.
    virtual bool invalidate();
    virtual void update(double dt) = 0;
    virtual void draw(gfx::Graphics& g) = 0;
    // Bounds of the current path as it stands (no refresh), optionally widened by the pen.
    virtual gfx::RectF pathBounds(bool withPen) const;
    virtual void rebuildPath() = 0;
    // Whether a quake may paint the object once into a picture of its own and move that
    // picture about: so for anything whose drawing changes only with its place.
    virtual bool keepsSprite() const { return true; }

    // Renderer bookkeeping.
    bool isRedrawNeeded() const { return redrawNeeded_; }
    void clearRedrawNeeded() { redrawNeeded_ = false; }
    const gfx::RectF& lastBounds() const { return lastBounds_; }
    void setLastBounds(const gfx::RectF& r) { lastBounds_ = r; }

    const gfx::Path& path() const { return path_; }
    const gfx::Pen& pen() const { return pen_; }
    // The world it registered in; null before registration.
    World* world() const { return world_; }

protected:
    // Kept by every registration, also by those that fill the lists themselves.
    void joinWorld(World& world) { world_ = &world; }

    // How the points of a design outline are joined.
    enum class Joined { Lines, Curve, ClosedCurve };
    // The outline made afresh from design points joined so, then placed by the transform.
    void rebuildOutline(std::span<const gfx::PointF> points, Joined joined, const gfx::Matrix& place);

    gfx::Path path_;
    gfx::Region region_;
    gfx::Pen pen_;
    bool shapeDirty_ = true;
    bool regionDirty_ = true;
    bool redrawNeeded_ = true;
    gfx::RectF lastBounds_;

private:
    World* world_ = nullptr;
};

} // namespace game
