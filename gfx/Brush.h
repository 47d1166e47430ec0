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
// boundary of the path it was made from, over that path's area. Surround colour i belongs
// to boundary point i; when fewer colours than points are given, the last colour repeats.
class PathGradientBrush {
public:
    explicit PathGradientBrush(const Path& boundary);

    Argb centerColor() const { return centerColor_; }
    void setCenterColor(Argb color) { centerColor_ = color; }
    PointF centerPoint() const { return centerPoint_; }
    void setCenterPoint(PointF p) { centerPoint_ = p; }
    // Number of points of the boundary after flattening of curves.
    int pointCount() const { return static_cast<int>(boundary_.size()); }
    // InvalidParameter when more colours than boundary points (nothing changes then).
    Status setSurroundColors(const std::vector<Argb>& colors);
    const std::vector<Argb>& surroundColors() const { return surround_; }
    const std::vector<PointF>& boundary() const { return boundary_; }

private:
    std::vector<PointF> boundary_;
    Argb centerColor_ = 0xffffffff;
    PointF centerPoint_;
    std::vector<Argb> surround_{0xffffffff};
};

} // namespace gfx
