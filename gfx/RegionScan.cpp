#include "gfx/Region.h"

#include "gfx/RegionEdges.h"

#include <algorithm>
#include <cmath>

// The edge scan behind meets() and boundsWithin(rect): collision tests ask these every step,
// and most of them are answered from the resolved edges without the clipper.

namespace gfx {

using namespace regionEdges;

namespace {

// Whether the segment a-b passes through the inside of the box (its border does not count):
// neither an axis nor the segment's own line separates them.
bool crossesInside(Region::IntPoint a, Region::IntPoint b, const FixedBox& r) {
    if (std::max(a.x, b.x) <= r.left || std::min(a.x, b.x) >= r.right || std::max(a.y, b.y) <= r.top ||
        std::min(a.y, b.y) >= r.bottom)
        return false;
    bool above = false, below = false;
    for (const Region::IntPoint c :
         {Region::IntPoint{r.left, r.top}, Region::IntPoint{r.right, r.top},
          Region::IntPoint{r.right, r.bottom}, Region::IntPoint{r.left, r.bottom}}) {
        const std::int64_t s = side(a, b, c);
        above = above || s > 0;
        below = below || s < 0;
    }
    return above && below;
}

// Roughly how long the part of the segment a-b inside the box is, in fixed-point units.
double lengthInside(Region::IntPoint a, Region::IntPoint b, const FixedBox& r) {
    const double dx = static_cast<double>(b.x - a.x), dy = static_cast<double>(b.y - a.y);
    double t0 = 0, t1 = 1;
    const auto cut = [&](double d, double lo, double hi, double from) {
        if (d == 0)
            return;
        double ta = (lo - from) / d, tb = (hi - from) / d;
        if (ta > tb)
            std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
    };
    cut(dx, static_cast<double>(r.left), static_cast<double>(r.right), static_cast<double>(a.x));
    cut(dy, static_cast<double>(r.top), static_cast<double>(r.bottom), static_cast<double>(a.y));
    return std::max(0.0, t1 - t0) * (std::abs(dx) + std::abs(dy));
}

} // namespace

bool Region::scanWithin(const Box& box, bool wantBounds, bool& met, Box& extent) const {
    const FixedBox r{box.left, box.top, box.right, box.bottom};
    const auto grazes = [](std::int64_t v, std::int64_t line) {
        const std::int64_t d = v > line ? v - line : line - v;
        return d != 0 && d <= kGraze;
    };
    met = false;
    for (const Contour& c : contours_) {
        for (std::size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) {
            const IntPoint a = c[j], b = c[i];
            if (b.x > r.left - kGraze && b.x < r.right + kGraze && b.y > r.top - kGraze &&
                b.y < r.bottom + kGraze &&
                (grazes(b.x, r.left) || grazes(b.x, r.right) || grazes(b.y, r.top) || grazes(b.y, r.bottom)))
                return false;
            if (!crossesInside(a, b, r))
                continue;
            if (lengthInside(a, b, r) < static_cast<double>(kGraze))
                return false;
            // Resolved contours are the outline itself: an edge inside has area beside it.
            met = true;
            if (!wantBounds)
                return true;
            // The caller made sure the shape keeps clear of the left and right sides, so an
            // edge is only ever cut by the top and bottom lines.
            const auto end = [&](IntPoint p, IntPoint q) {
                if (p.y < r.top)
                    return IntPoint{xOnScanline(p, q, r.top), r.top};
                if (p.y > r.bottom)
                    return IntPoint{xOnScanline(p, q, r.bottom), r.bottom};
                return p;
            };
            for (const IntPoint p : {end(a, b), end(b, a)}) {
                extent.left = std::min(extent.left, p.x);
                extent.top = std::min(extent.top, p.y);
                extent.right = std::max(extent.right, p.x);
                extent.bottom = std::max(extent.bottom, p.y);
            }
        }
    }
    return true;
}

bool Region::meets(RectF rect) const {
    if (contours_.empty() || !usableRect(rect))
        return false;
    const Box r{toFixed(rect.x), toFixed(rect.y), toFixed(rect.right()), toFixed(rect.bottom())};
    if (r.right <= box_.left || r.left >= box_.right || r.bottom <= box_.top || r.top >= box_.bottom)
        return false;
    if (r.left <= box_.left && r.top <= box_.top && r.right >= box_.right && r.bottom >= box_.bottom)
        return !isEmpty();
    normalize();
    if (contours_.empty() || r.right <= box_.left || r.left >= box_.right || r.bottom <= box_.top ||
        r.top >= box_.bottom)
        return false;
    if (r.right - r.left > 2 * kGraze && r.bottom - r.top > 2 * kGraze) {
        bool met = false;
        Box unused;
        if (scanWithin(r, false, met, unused)) {
            if (met)
                return true;
            // No edge passes through: the rectangle lies wholly inside the area or wholly outside.
            return windingAt(contours_, {r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2}) !=
                   0;
        }
    }
    Region clipped = *this;
    clipped.intersect(rect);
    return !clipped.isEmpty();
}

RectF Region::boundsWithin(RectF rect) const {
    if (contours_.empty() || !usableRect(rect))
        return {};
    const Box r{toFixed(rect.x), toFixed(rect.y), toFixed(rect.right()), toFixed(rect.bottom())};
    if (r.right <= box_.left || r.left >= box_.right || r.bottom <= box_.top || r.top >= box_.bottom)
        return {};
    if (r.left <= box_.left && r.top <= box_.top && r.right >= box_.right && r.bottom >= box_.bottom)
        return bounds();
    normalize();
    if (contours_.empty() || r.right <= box_.left || r.left >= box_.right || r.bottom <= box_.top ||
        r.top >= box_.bottom)
        return {};
    // The scan answers a horizontal band through a shape that ends short of its sides (a
    // climber's slice of a ladder or trunk); anything else goes through the clipper.
    if (box_.left > r.left && box_.right < r.right && r.bottom - r.top > 2 * kGraze) {
        bool met = false;
        Box extent{box_.right, box_.bottom, box_.left, box_.top};
        if (scanWithin(r, true, met, extent))
            return met ? worldRect(extent) : RectF{};
    }
    Region clipped = *this;
    clipped.intersect(rect);
    return clipped.bounds();
}

} // namespace gfx
