#pragma once

#include "gfx/Geometry.h"
#include "gfx/Path.h"

#include <cstdint>
#include <vector>

namespace gfx {

// An area of the plane held as exact polygons (not pixels), so collision tests get
// sub-pixel answers. Filling follows each path's fill mode; figures count as closed.
class Region {
public:
    Region() = default; // empty
    explicit Region(const Path& path, float tolerance = 0.1f);

    void setEmpty();
    void unite(const Path& path, float tolerance = 0.1f);
    void unite(const Region& other);
    void intersect(RectF rect);
    void intersect(const Region& other);

    bool isEmpty() const;
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
    std::vector<Contour> contours_; // non-overlapping result of the last operation (non-zero fill)
};

} // namespace gfx
