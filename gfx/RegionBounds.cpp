#include "gfx/Region.h"

#include "gfx/RegionEdges.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>

// boundsWithin(other) without the clipper: a figure's feet in a floor, where the bounds of the
// common area follow from its corners, found exactly where the clipper would put them. Each
// step gives up (and the clipper answers) where the clipper's rounding could tip the answer.

namespace gfx {

using namespace regionEdges;

namespace {

// An edge as the clipper holds it: from its lower end (larger y) up, with its run per unit of
// rise worked out as the clipper works it out, so that a crossing lands on its very unit.
struct SlopedEdge {
    Region::IntPoint bot, top;
    double dx = 0;
    bool horizontal = false;

    SlopedEdge(Region::IntPoint a, Region::IntPoint b) {
        bot = a.y >= b.y ? a : b;
        top = a.y >= b.y ? b : a;
        horizontal = a.y == b.y;
        if (!horizontal)
            dx = static_cast<double>(top.x - bot.x) / static_cast<double>(top.y - bot.y);
    }
};

// Where two edges that cross properly cross, as the clipper rounds it; false where its
// rounding takes a path this does not follow (parallel or mirrored slopes).
bool clipperCrossing(const SlopedEdge& e, const SlopedEdge& f, Region::IntPoint& at,
                     std::optional<double>& roundedRow) {
    if (e.horizontal || f.horizontal) {
        const SlopedEdge& h = e.horizontal ? e : f;
        const SlopedEdge& o = e.horizontal ? f : e;
        if (o.horizontal)
            return false;
        at = {xOnScanline(o.bot, o.top, h.bot.y), h.bot.y};
        roundedRow.reset(); // on the horizontal's own row: nothing rounded
        return true;
    }
    if (e.dx == f.dx || std::abs(e.dx) == std::abs(f.dx))
        return false;
    if (e.dx == 0 || f.dx == 0) {
        const SlopedEdge& v = e.dx == 0 ? e : f;
        const SlopedEdge& o = e.dx == 0 ? f : e;
        const double b = static_cast<double>(o.bot.y) - static_cast<double>(o.bot.x) / o.dx;
        roundedRow = static_cast<double>(v.bot.x) / o.dx + b;
        at = {v.bot.x, roundHalfAway(*roundedRow)};
        return true;
    }
    const double b1 = static_cast<double>(e.bot.x) - static_cast<double>(e.bot.y) * e.dx;
    const double b2 = static_cast<double>(f.bot.x) - static_cast<double>(f.bot.y) * f.dx;
    const double q = (b2 - b1) / (e.dx - f.dx);
    roundedRow = q;
    const std::int64_t y = roundHalfAway(q);
    const std::int64_t x =
        std::abs(e.dx) < std::abs(f.dx) ? roundHalfAway(e.dx * q + b1) : roundHalfAway(f.dx * q + b2);
    at = {x, y};
    return true;
}

int signOf(std::int64_t v) {
    return (v > 0) - (v < 0);
}

bool onSegment(Region::IntPoint p, Region::IntPoint q, Region::IntPoint r) {
    return std::min(p.x, q.x) <= r.x && r.x <= std::max(p.x, q.x) && std::min(p.y, q.y) <= r.y &&
           r.y <= std::max(p.y, q.y);
}

// 2 for a proper crossing, 1 for any other shared point, 0 for none.
int meeting(Region::IntPoint a, Region::IntPoint b, Region::IntPoint c, Region::IntPoint d) {
    if (std::max(a.x, b.x) < std::min(c.x, d.x) || std::max(c.x, d.x) < std::min(a.x, b.x) ||
        std::max(a.y, b.y) < std::min(c.y, d.y) || std::max(c.y, d.y) < std::min(a.y, b.y))
        return 0;
    const int d1 = signOf(side(c, d, a)), d2 = signOf(side(c, d, b));
    const int d3 = signOf(side(a, b, c)), d4 = signOf(side(a, b, d));
    if (d1 * d2 < 0 && d3 * d4 < 0)
        return 2;
    if ((d1 == 0 && onSegment(c, d, a)) || (d2 == 0 && onSegment(c, d, b)) ||
        (d3 == 0 && onSegment(a, b, c)) || (d4 == 0 && onSegment(a, b, d)))
        return 1;
    return 0;
}

// Whether p lies farther than kGraze from the segment a-b.
bool clearOf(Region::IntPoint p, Region::IntPoint a, Region::IntPoint b) {
    const double px = static_cast<double>(p.x), py = static_cast<double>(p.y);
    const double ax = static_cast<double>(a.x), ay = static_cast<double>(a.y);
    const double dx = static_cast<double>(b.x) - ax, dy = static_cast<double>(b.y) - ay;
    const double length = dx * dx + dy * dy;
    double t = length > 0 ? ((px - ax) * dx + (py - ay) * dy) / length : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = ax + t * dx - px, ey = ay + t * dy - py;
    const double reach = static_cast<double>(kGraze) + 1;
    return ex * ex + ey * ey > reach * reach;
}

// The contour as the clipper takes it in: repeated corners, and corners on one line with their
// neighbours (a straight run, a spike there and back), dropped one at a time in the clipper's
// order. False when nothing with an area is left: the clipper then leaves it out.
bool cleanAsClipper(const Region::Contour& c, Region::Contour& out) {
    const auto same = [&](std::size_t a, std::size_t b) { return c[a].x == c[b].x && c[a].y == c[b].y; };
    std::size_t high = c.size() - 1;
    while (high > 0 && same(high, 0))
        --high;
    while (high > 0 && same(high, high - 1))
        --high;
    if (high < 2)
        return false;
    const std::size_t n = high + 1;
    thread_local std::vector<std::size_t> next, prev;
    next.resize(n);
    prev.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        next[i] = i + 1 < n ? i + 1 : 0;
        prev[i] = i > 0 ? i - 1 : n - 1;
    }
    const auto remove = [&](std::size_t k) {
        next[prev[k]] = next[k];
        prev[next[k]] = prev[k];
        return next[k];
    };
    std::size_t e = 0, start = 0, stop = 0;
    for (;;) {
        if (same(e, next[e])) {
            if (e == next[e])
                break;
            if (e == start)
                start = next[e];
            e = remove(e);
            stop = e;
            continue;
        }
        if (prev[e] == next[e])
            break;
        if (side(c[prev[e]], c[e], c[next[e]]) == 0) {
            if (e == start)
                start = next[e];
            e = prev[remove(e)];
            stop = e;
            continue;
        }
        e = next[e];
        if (e == stop)
            break;
    }
    if (prev[e] == next[e])
        return false;
    out.clear();
    std::size_t k = start;
    do {
        out.push_back(c[k]);
        k = next[k];
    } while (k != start);
    return true;
}

// Even-odd parity of contours round a point on none of their edges.
bool insideEvenOdd(std::span<const Region::Contour> contours, Region::IntPoint p) {
    bool inside = false;
    for (const Region::Contour& c : contours) {
        for (std::size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) {
            const Region::IntPoint a = c[j], b = c[i];
            if ((a.y <= p.y) != (b.y <= p.y)) {
                const std::int64_t s = side(a, b, p);
                if ((b.y > a.y) == (s > 0))
                    inside = !inside;
            }
        }
    }
    return inside;
}

using IntPoint = Region::IntPoint;
using Contour = Region::Contour;

struct Edge {
    IntPoint a, b;
};

// An edge of the figure, with where it sits in its (cleaned) contour, so that neighbours
// meeting at their shared corner are told from edges that cross.
struct FigureEdge {
    IntPoint a, b;
    std::size_t contour, index, size;
};

// What the steps below work on, kept per thread so that no step allocates once grown.
struct CommonArea {
    std::vector<Edge> floorEdges;       // this region's edges near the figure
    std::vector<IntPoint> floorCorners; // their corners inside the widened box
    std::vector<FigureEdge> figure;     // the figure's edges down where the floor may be
    std::vector<Contour> plain;         // the figure's contours as the clipper cleans them
    std::size_t plainCount = 0;
    std::vector<IntPoint> corners;    // the common area's corners
    std::vector<double> crossingRows; // rows the clipper rounded a crossing from
};

// This region's edges that may come within the widened box near, and their corners inside it;
// returns the highest row they reach (below near's bottom when there are none).
std::int64_t gatherFloor(const std::vector<Contour>& contours, const FixedBox& near, CommonArea& work) {
    work.floorEdges.clear();
    work.floorCorners.clear();
    std::int64_t highest = near.bottom + 1;
    for (const Contour& c : contours) {
        for (std::size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) {
            const IntPoint a = c[j], b = c[i];
            if (std::max(a.x, b.x) < near.left || std::min(a.x, b.x) > near.right ||
                std::max(a.y, b.y) < near.top || std::min(a.y, b.y) > near.bottom)
                continue;
            work.floorEdges.push_back({a, b});
            highest = std::min({highest, a.y, b.y});
            if (b.x >= near.left && b.x <= near.right && b.y >= near.top && b.y <= near.bottom)
                work.floorCorners.push_back(b);
        }
    }
    return highest;
}

// The figure's edges that come down to row reach, from its contours cleaned as the clipper
// cleans them: plain outline, as resolved contours are (no two meet but neighbours at their
// corner, no straight or folded corner). False where a straight corner is left.
bool gatherFigure(const std::vector<Contour>& raws, std::int64_t reach, CommonArea& work) {
    work.figure.clear();
    work.plainCount = 0;
    for (const Contour& raw : raws) {
        if (std::none_of(raw.begin(), raw.end(), [&](IntPoint p) { return p.y >= reach; }))
            continue; // a head or an arm, well above
        if (work.plainCount == work.plain.size())
            work.plain.emplace_back();
        if (!cleanAsClipper(raw, work.plain[work.plainCount]))
            continue; // a straight limb or a stroke there and back: no area
        const std::size_t n = work.plainCount++;
        const Contour& c = work.plain[n];
        for (std::size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) {
            const IntPoint a = c[j], b = c[i];
            const IntPoint next = c[i + 1 < c.size() ? i + 1 : 0];
            if (std::max({a.y, b.y, next.y}) < reach)
                continue;
            if (side(a, b, next) == 0)
                return false;
            if (std::max(a.y, b.y) >= reach)
                work.figure.push_back({a, b, n, i, c.size()});
        }
    }
    return true;
}

// Whether no two of the figure's edges meet but neighbours at their shared corner.
bool figureIsPlain(const std::vector<FigureEdge>& figure) {
    for (std::size_t e = 0; e < figure.size(); ++e) {
        for (std::size_t f = e + 1; f < figure.size(); ++f) {
            const FigureEdge& p = figure[e];
            const FigureEdge& q = figure[f];
            if (p.contour == q.contour &&
                ((p.index + 1) % p.size == q.index || (q.index + 1) % q.size == p.index))
                continue;
            if (meeting(p.a, p.b, q.a, q.b) != 0)
                return false;
        }
    }
    return true;
}

// The winding round a point of the figure's box: nothing of this region lies above its edges
// near the figure, so only those edges cross the way up from the point. (Far up, where the
// way leaves the widened box, the winding is nought, as at its top centre.) Where the floor's
// edges reach the top of the widened box, the whole region's winding is asked instead.
int upwardWinding(IntPoint p, bool floorReachesTop, const std::vector<Contour>& contours,
                  const std::vector<Edge>& floorEdges) {
    if (floorReachesTop)
        return windingAt(contours, p);
    int winding = 0;
    for (const Edge& e : floorEdges) {
        if ((e.a.x <= p.x) == (e.b.x <= p.x))
            continue;
        const std::int64_t s = side(e.a, e.b, p);
        if (e.b.x > e.a.x ? s > 0 : s < 0)
            winding += e.b.x > e.a.x ? 1 : -1;
    }
    return winding;
}

// The common area's corners where the figure's edges cross the floor's, as the clipper rounds
// them; false where edges meet other than by crossing, or the rounding cannot be followed.
bool addCrossings(CommonArea& work) {
    for (const FigureEdge& p : work.figure) {
        for (const Edge& q : work.floorEdges) {
            const int how = meeting(p.a, p.b, q.a, q.b);
            if (how == 0)
                continue;
            if (how == 1)
                return false;
            IntPoint at{};
            std::optional<double> roundedRow;
            if (!clipperCrossing(SlopedEdge(p.a, p.b), SlopedEdge(q.a, q.b), at, roundedRow))
                return false;
            work.corners.push_back(at);
            if (roundedRow)
                work.crossingRows.push_back(*roundedRow);
        }
    }
    return true;
}

// The figure's corners inside this region, each clear of the floor's edges.
bool addFigureCorners(std::int64_t reach, bool floorReachesTop, const std::vector<Contour>& contours,
                      CommonArea& work) {
    for (const FigureEdge& p : work.figure) {
        const IntPoint v = p.b;
        if (v.y < reach)
            continue;
        for (const Edge& q : work.floorEdges)
            if (!clearOf(v, q.a, q.b))
                return false;
        if (upwardWinding(v, floorReachesTop, contours, work.floorEdges) != 0)
            work.corners.push_back(v);
    }
    return true;
}

// This region's corners inside the figure (strictly within its box), each clear of the
// figure's edges.
bool addFloorCorners(const FixedBox& figureBox, CommonArea& work) {
    for (const IntPoint w : work.floorCorners) {
        for (const FigureEdge& p : work.figure)
            if (!clearOf(w, p.a, p.b))
                return false;
        if (w.x > figureBox.left && w.x < figureBox.right && w.y > figureBox.top && w.y < figureBox.bottom &&
            insideEvenOdd(std::span<const Contour>(work.plain.data(), work.plainCount), w))
            work.corners.push_back(w);
    }
    return true;
}

// Whether the clipper's rounding leaves the corners where they were found: a crossing near a
// scan line of the clipper's (every corner's row) could be moved onto it; corners a unit apart
// could merge.
bool cornersHold(const CommonArea& work, const std::vector<Contour>& contours,
                 const std::vector<Contour>& figureContours, const FixedBox& figureBox) {
    if (!work.crossingRows.empty()) {
        const auto nearRow = [&](std::int64_t level) {
            return std::any_of(work.crossingRows.begin(), work.crossingRows.end(),
                               [&](double row) { return std::abs(row - static_cast<double>(level)) < 2; });
        };
        for (const std::vector<Contour>* set : {&contours, &figureContours})
            for (const Contour& c : *set)
                for (const IntPoint p : c)
                    if (p.y >= figureBox.top - 2 && p.y <= figureBox.bottom + 2 && nearRow(p.y))
                        return false;
    }
    const std::vector<IntPoint>& corners = work.corners;
    for (std::size_t i = 0; i < corners.size(); ++i)
        for (std::size_t j = i + 1; j < corners.size(); ++j)
            if (std::abs(corners[i].x - corners[j].x) <= 1 && std::abs(corners[i].y - corners[j].y) <= 1)
                return false;
    return true;
}

} // namespace

bool Region::plainBoundsWithin(const Region& other, RectF& bounds) const {
    if (raw_ || !other.raw_ || !other.evenOdd_ || other.contours_.empty())
        return false;
    const FixedBox figureBox{other.box_.left, other.box_.top, other.box_.right, other.box_.bottom};
    constexpr std::int64_t kNear = 2 * kGraze + 2;
    const FixedBox near{figureBox.left - kNear, figureBox.top - kNear, figureBox.right + kNear,
                        figureBox.bottom + kNear};
    thread_local CommonArea work;
    const std::int64_t highest = gatherFloor(contours_, near, work);
    const IntPoint topCentre{figureBox.left / 2 + figureBox.right / 2, near.top};
    if (work.floorEdges.empty()) {
        // The figure's surroundings lie wholly inside this region or wholly outside it.
        return false;
    }
    // Above its highest edge near the figure, this region has nothing there (checked at the
    // top of the widened box): what the figure does up there cannot touch the answer.
    if (highest > near.top && windingAt(contours_, topCentre) != 0)
        return false;
    const std::int64_t reach = highest > near.top ? highest - kNear : near.top - 1;
    if (!gatherFigure(other.contours_, reach, work) || !figureIsPlain(work.figure))
        return false;

    // The corners of the common area: where edges cross, and each region's corners inside the
    // other, each clear of the other's edges so that no rounding can fold the area away.
    work.corners.clear();
    work.crossingRows.clear();
    const bool floorReachesTop = highest <= near.top;
    if (!addCrossings(work) || !addFigureCorners(reach, floorReachesTop, contours_, work) ||
        !addFloorCorners(figureBox, work) || !cornersHold(work, contours_, other.contours_, figureBox))
        return false;
    const std::vector<IntPoint>& corners = work.corners;
    if (corners.empty()) {
        bounds = {};
        return true;
    }
    Box extent{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const IntPoint p : corners) {
        extent.left = std::min(extent.left, p.x);
        extent.top = std::min(extent.top, p.y);
        extent.right = std::max(extent.right, p.x);
        extent.bottom = std::max(extent.bottom, p.y);
    }
    bounds = worldRect(extent);
    return true;
}

} // namespace gfx
