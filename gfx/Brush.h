#pragma once

#include "gfx/Geometry.h"
#include "gfx/Path.h"

#include <vector>

namespace gfx {

class SolidBrush {
public:
    explicit SolidBrush(Argb color = 0xff000000) : color_(color) {}
    Argb color() const { return color_; }
    void setColor(Argb color) { color_ = color; }

private:
    Argb color_;
};

// Blends from a centre colour at the centre point to the surround colours on the
// boundary of the path it was made from, over that path's area (outside it the brush paints
// nothing). Surround colour i belongs to boundary point i; when fewer colours than points
// are given, the last colour repeats. The centre point starts at the boundary's centroid.
class PathGradientBrush {
public:
    explicit PathGradientBrush(const Path& boundary);

    Argb centerColor() const { return centerColor_; }
    void setCenterColor(Argb color) { centerColor_ = color; }
    PointF centerPoint() const { return centerPoint_; }
    void setCenterPoint(PointF p) { centerPoint_ = p; }
    // Number of points of the boundary after flattening of curves.
    int pointCount() const { return static_cast<int>(boundary_.size()); }
    // InvalidParameter when more colours than boundary points or none (nothing changes then).
    Status setSurroundColors(const std::vector<Argb>& colors);
    const std::vector<Argb>& surroundColors() const { return surround_; }
    const std::vector<PointF>& boundary() const { return boundary_; }
    // Colour of boundary point i, with the last given colour repeating.
    Argb surroundColor(std::size_t i) const;

    // World units by which the flattened boundary may stray from the path's curves.
    static constexpr float kFlattenTolerance = 0.1f;

private:
    std::vector<PointF> boundary_;
    Argb centerColor_ = 0xffffffff;
    PointF centerPoint_;
    std::vector<Argb> surround_{0xffffffff};
};

} // namespace gfx
