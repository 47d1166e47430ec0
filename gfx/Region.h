#pragma once

#include "gfx/Geometry.h"
#include "gfx/Path.h"

#include <cstdint>
#include <vector>

namespace gfx {

// An area of the plane held as exact polygons (not pixels), so collision tests get
// sub-pixel answers. Filling follows each path's fill mode; figures count as closed.
// Coordinates are kept in fixed point (kScale per world unit) and clamped to a million
// world units; figures with non-finite points are left out.
class Region {
public:
    Region() = default; // empty
    explicit Region(const Path& path, float tolerance = 0.1f);

    void setEmpty();
    // The area of one path, in the storage this region already holds: a figure's outline
    // rebuilt every step allocates nothing once it has grown. unite() on an empty region.
    void reset(const Path& path, float tolerance = 0.1f);
    void unite(const Path& path, float tolerance = 0.1f);
    void unite(const Region& other);
    void intersect(RectF rect);
    void intersect(const Region& other);

    bool isEmpty() const;
    // Whether intersect(rect) would leave anything, and the bounds() it would leave, read off
    // the edges without building the intersection: collision tests ask these every step. The
    // rare cases where the clipper's rounding could tip the answer (a shape grazing the
    // rectangle) still go through the clipper.
    bool meets(RectF rect) const;
    RectF boundsWithin(RectF rect) const;
    // What intersect(other) and then bounds() give, without copying this region first.
    RectF boundsWithin(const Region& other) const;
    // Bounds of the area; all zero when empty.
    RectF bounds() const;
    // Area in square world units (for tests and diagnostics).
    double area() const;
    // Outer and hole contours in world units.
    std::vector<std::vector<PointF>> contours() const;

    // Fixed-point scale of the polygon coordinates: world units times this.
    static constexpr double kScale = 1000.0;

    struct IntPoint {
        std::int64_t x, y;
    };
    using Contour = std::vector<IntPoint>;

private:
    struct Box {
        std::int64_t left = 0, top = 0, right = 0, bottom = 0;
    };
    // Const so that the lazily resolving readers can store their result (members are mutable).
    void assign(std::vector<Contour> contours, bool evenOdd) const;
    void measureBox() const;
    // Resolves figures taken straight from a path into non-overlapping contours.
    void normalize() const;
    // boundsWithin(other) worked out from the corners of the common area, for a resolved region
    // and a raw even-odd one whose edges meet plainly there (a floor and a figure's feet);
    // false when the clipper's rounding could tip the answer and the clipper has to give it.
    bool plainBoundsWithin(const Region& other, RectF& bounds) const;
    // The edge scan behind meets() and boundsWithin(); false when it cannot be sure.
    bool scanWithin(const Box& r, bool wantBounds, bool& met, Box& extent) const;
    static RectF worldRect(const Box& b);
    // The clipper's intersection of the two regions' areas, as resolved contours. nearOther:
    // long contours of this region go in cut down to what lies near the other's box, which
    // leaves the area the same; used where only the bounds are read.
    std::vector<Contour> intersection(const Region& other, bool nearOther = false) const;

    // A region made from one path keeps that path's polygons as they are, with the path's
    // fill rule, until an answer needs them resolved: the next intersection resolves and
    // clips in one pass, and a miss is decided by the boxes alone.
    mutable std::vector<Contour> contours_;
    mutable bool evenOdd_ = false; // fill rule of contours_; resolved contours use non-zero
    mutable bool raw_ = false;     // contours_ may overlap (not yet resolved)
    mutable Box box_;              // fixed-point bounds of contours_, for quick rejection
};

} // namespace gfx
