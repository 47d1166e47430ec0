#include "gfx/Brush.h"

#include <cmath>

namespace gfx {

namespace {

// Area centroid of a polygon; the mean of its points when it has no area.
PointF centroidOf(const std::vector<PointF>& pts) {
    if (pts.empty())
        return {};
    double twiceArea = 0;
    double cx = 0;
    double cy = 0;
    for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        const double cross =
            static_cast<double>(pts[j].x) * pts[i].y - static_cast<double>(pts[i].x) * pts[j].y;
        twiceArea += cross;
        cx += (static_cast<double>(pts[j].x) + pts[i].x) * cross;
        cy += (static_cast<double>(pts[j].y) + pts[i].y) * cross;
    }
    if (std::abs(twiceArea) > 1e-9)
        return {static_cast<float>(cx / (3 * twiceArea)), static_cast<float>(cy / (3 * twiceArea))};
    double sx = 0;
    double sy = 0;
    for (PointF p : pts) {
        sx += p.x;
        sy += p.y;
    }
    const auto n = static_cast<double>(pts.size());
    return {static_cast<float>(sx / n), static_cast<float>(sy / n)};
}

} // namespace

PathGradientBrush::PathGradientBrush(const Path& boundary) {
    for (const Path::Polygon& poly : boundary.flatten(kFlattenTolerance)) {
        // A closed figure repeats its start point at the end; the boundary needs it once.
        std::size_t n = poly.points.size();
        if (n > 1 && poly.points.front() == poly.points.back())
            --n;
        boundary_.insert(boundary_.end(), poly.points.begin(),
                         poly.points.begin() + static_cast<std::ptrdiff_t>(n));
    }
    centerPoint_ = centroidOf(boundary_);
}

Status PathGradientBrush::setSurroundColors(const std::vector<Argb>& colors) {
    if (colors.empty() || colors.size() > boundary_.size())
        return Status::InvalidParameter;
    surround_ = colors;
    return Status::Ok;
}

Argb PathGradientBrush::surroundColor(std::size_t i) const {
    return i < surround_.size() ? surround_[i] : surround_.back();
}

} // namespace gfx
