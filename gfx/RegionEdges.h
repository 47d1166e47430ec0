#pragma once

// The fixed-point helpers the region's files share: how a world coordinate becomes a unit,
// which side of an edge a point lies on, where an edge crosses a scan line as the clipper
// rounds it, and the winding round a point. Internal to gfx/; only the region's sources
// include it.

#include "gfx/Region.h"

#include <clipper.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace gfx::regionEdges {

namespace cl = ClipperLib;

// Coordinates beyond this many world units are clamped: far outside any scene, and it keeps
// the fixed-point values in Clipper's fast range.
constexpr double kWorldLimit = 1.0e6;

inline cl::cInt toFixed(float v) {
    const double scaled = std::clamp(static_cast<double>(v), -kWorldLimit, kWorldLimit) * Region::kScale;
    // Halves away from zero, as llround does, without the library call every point of every
    // figure used to pay: below 2^52 the fraction is exact.
    auto whole = static_cast<cl::cInt>(scaled);
    const double fraction = scaled - static_cast<double>(whole);
    if (fraction >= 0.5)
        ++whole;
    else if (fraction <= -0.5)
        --whole;
    return whole;
}

inline cl::Path toClipper(const Region::Contour& contour) {
    cl::Path p;
    p.reserve(contour.size());
    for (const Region::IntPoint& ip : contour)
        p.push_back({ip.x, ip.y});
    return p;
}

// Whether the contour's own box meets the box [left, right) x [top, bottom).
inline bool meetsBox(const Region::Contour& c, std::int64_t left, std::int64_t top, std::int64_t right,
                     std::int64_t bottom) {
    std::int64_t l = c.front().x, t = c.front().y, r = l, b = t;
    for (const Region::IntPoint& ip : c) {
        l = std::min(l, ip.x);
        t = std::min(t, ip.y);
        r = std::max(r, ip.x);
        b = std::max(b, ip.y);
    }
    return r > left && l < right && b > top && t < bottom;
}

// The clipper's rounding (halves away from zero) and its x of an edge on a scan line, so that
// a cut point found here lands on the very fixed-point unit the clipper's does.
inline std::int64_t roundHalfAway(double v) {
    return v < 0 ? static_cast<std::int64_t>(v - 0.5) : static_cast<std::int64_t>(v + 0.5);
}

inline std::int64_t xOnScanline(Region::IntPoint a, Region::IntPoint b, std::int64_t y) {
    const Region::IntPoint bottom = a.y >= b.y ? a : b;
    const Region::IntPoint top = a.y >= b.y ? b : a;
    if (y == top.y)
        return top.x;
    const double dx = static_cast<double>(top.x - bottom.x) / static_cast<double>(top.y - bottom.y);
    return bottom.x + roundHalfAway(dx * static_cast<double>(y - bottom.y));
}

// Which side of the line through a and b the point c lies on. Coordinates are clamped to a
// million world units (1e9 fixed-point units), so each product stays below 4e18 and the
// difference below 2^63.
inline std::int64_t side(Region::IntPoint a, Region::IntPoint b, Region::IntPoint c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

struct FixedBox {
    std::int64_t left, top, right, bottom;
};

// Non-zero winding of resolved contours around a point that lies on none of their edges.
inline int windingAt(const std::vector<Region::Contour>& contours, Region::IntPoint p) {
    int winding = 0;
    for (const Region::Contour& c : contours) {
        for (std::size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) {
            const Region::IntPoint a = c[j], b = c[i];
            if (a.y <= p.y) {
                if (b.y > p.y && side(a, b, p) > 0)
                    ++winding;
            } else if (b.y <= p.y && side(a, b, p) < 0) {
                --winding;
            }
        }
    }
    return winding;
}

// Within this many fixed-point units of the rectangle's border, the clipper's rounding could
// make a sliver vanish; the scan leaves such cases to the clipper.
constexpr std::int64_t kGraze = 4;

inline bool usableRect(RectF rect) {
    return !rect.isEmpty() && std::isfinite(rect.x) && std::isfinite(rect.y) && std::isfinite(rect.width) &&
           std::isfinite(rect.height);
}

} // namespace gfx::regionEdges
