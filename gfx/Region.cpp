#include "gfx/Region.h"

#include <clipper.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <span>

namespace gfx {

namespace {

namespace cl = ClipperLib;

// Coordinates beyond this many world units are clamped: far outside any scene, and it keeps
// the fixed-point values in Clipper's fast range.
constexpr double kWorldLimit = 1.0e6;

cl::cInt toFixed(float v) {
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

// The polygons of a path's figures into contours, reusing the contours (and their storage)
// already there.
void polygonsInto(const Path& path, float tolerance, std::vector<Region::Contour>& contours) {
    thread_local std::vector<Path::Polygon> scratch;
    std::size_t count = 0;
    for (const Path::Polygon& poly : path.flatten(tolerance, scratch)) {
        if (count == contours.size())
            contours.emplace_back();
        Region::Contour& contour = contours[count];
        contour.clear();
        bool finite = true;
        for (PointF p : poly.points) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
                finite = false;
                break;
            }
            contour.push_back({toFixed(p.x), toFixed(p.y)});
        }
        // A figure with a broken coordinate has no meaningful area; leave it out.
        if (finite && contour.size() >= 3)
            ++count;
    }
    contours.resize(count);
}

std::vector<Region::Contour> polygonsOf(const Path& path, float tolerance) {
    std::vector<Region::Contour> result;
    polygonsInto(path, tolerance, result);
    return result;
}

cl::PolyFillType fillType(bool evenOdd) {
    return evenOdd ? cl::pftEvenOdd : cl::pftNonZero;
}

cl::Path toClipper(const Region::Contour& contour) {
    cl::Path p;
    p.reserve(contour.size());
    for (const Region::IntPoint& ip : contour)
        p.push_back({ip.x, ip.y});
    return p;
}

// Whether the contour's own box meets the box [left, right) x [top, bottom).
bool meetsBox(const Region::Contour& c, std::int64_t left, std::int64_t top, std::int64_t right,
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

// The contours that may reach into the box [left, right) x [top, bottom). A contour whose own
// box misses it adds nothing to the winding (or crossing parity) of any point in there, so
// an intersection with an area inside that box comes out the same without it: a figure's
// head and arms need not go through the clipper to find how deep its feet sink into a floor.
cl::Paths toClipper(const std::vector<Region::Contour>& contours, std::int64_t left, std::int64_t top,
                    std::int64_t right, std::int64_t bottom) {
    cl::Paths result;
    result.reserve(contours.size());
    for (const Region::Contour& c : contours)
        if (meetsBox(c, left, top, right, bottom))
            result.push_back(toClipper(c));
    return result;
}

cl::Paths toClipper(const std::vector<Region::Contour>& contours) {
    cl::Paths result;
    result.reserve(contours.size());
    for (const Region::Contour& c : contours)
        result.push_back(toClipper(c));
    return result;
}

std::vector<Region::Contour> fromClipper(const cl::Paths& paths) {
    std::vector<Region::Contour> result;
    result.reserve(paths.size());
    for (const cl::Path& p : paths) {
        if (p.size() < 3)
            continue;
        Region::Contour c;
        c.reserve(p.size());
        for (const cl::IntPoint& ip : p)
            c.push_back({ip.X, ip.Y});
        result.push_back(std::move(c));
    }
    return result;
}

// The clipper's rounding (halves away from zero) and its x of an edge on a scan line, so that
// a cut point found here lands on the very fixed-point unit the clipper's does.
std::int64_t roundHalfAway(double v) {
    return v < 0 ? static_cast<std::int64_t>(v - 0.5) : static_cast<std::int64_t>(v + 0.5);
}

std::int64_t xOnScanline(Region::IntPoint a, Region::IntPoint b, std::int64_t y) {
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
std::int64_t side(Region::IntPoint a, Region::IntPoint b, Region::IntPoint c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

struct FixedBox {
    std::int64_t left, top, right, bottom;
};

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

// Non-zero winding of resolved contours around a point that lies on none of their edges.
int windingAt(const std::vector<Region::Contour>& contours, Region::IntPoint p) {
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

// The part of a long contour that matters within a box (a floor's outline beside the small
// figure it is tested against): the edges that may reach into the box, kept exactly, joined
// by detours round the outside of a wider frame instead of the rest of the outline. A detour
// winds round the box as often as the stretch it stands for, so every point in the box keeps
// its winding (and parity), and the clipper sees a handful of edges instead of the whole
// outline. Edges that can touch the box are the same edges, so the intersection with a shape
// inside the box comes out the same, point for point.
class ContourNearBox {
public:
    // Contours shorter than this go to the clipper whole: detouring saves them little.
    static constexpr std::size_t kWorthIt = 16;

    ContourNearBox(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom)
        : box_{left - kGap, top - kGap, right + kGap, bottom + kGap}, centre_{left / 2 + right / 2,
                                                                              top / 2 + bottom / 2} {}

    // Adds c's stand-in (the contour itself when it is short) to out.
    void add(const Region::Contour& c, cl::Paths& out) {
        const std::size_t n = c.size();
        if (n < kWorthIt) {
            out.push_back(toClipper(c));
            return;
        }
        std::size_t first = 0;
        while (first < n && !nearBox(c[first], c[(first + 1) % n]))
            ++first;
        if (first == n) {
            // Nowhere near: the whole outline only winds round the box.
            addLoops(windingOf(c, 0, n), out);
            return;
        }
        cl::Path path;
        path.reserve(32);
        std::size_t i = first;
        for (std::size_t done = 0; done < n;) {
            const std::size_t next = (i + 1) % n;
            push(path, c[i]);
            if (nearBox(c[i], c[next])) {
                i = next;
                ++done;
                continue;
            }
            // A stretch of edges from c[i] that keep clear of the box, up to the next edge
            // that may reach into it.
            std::size_t count = 0;
            std::size_t j = i;
            while (done + count < n && !nearBox(c[j], c[(j + 1) % n])) {
                j = (j + 1) % n;
                ++count;
            }
            detour(c[i], c[j], windingOf(c, i, count), path, out);
            i = j;
            done += count;
        }
        out.push_back(std::move(path));
    }

private:
    // The box is widened by kGap before deciding what is near, and each detour runs on a
    // frame of its own, kGap further out than the last, so no two detours share an edge.
    static constexpr std::int64_t kGap = 4;

    // Whether the edge a-b may reach into the widened box (its own box meets it).
    bool nearBox(Region::IntPoint a, Region::IntPoint b) const {
        return std::min(a.x, b.x) <= box_.right && std::max(a.x, b.x) >= box_.left &&
               std::min(a.y, b.y) <= box_.bottom && std::max(a.y, b.y) >= box_.top;
    }

    // Signed crossings of the edges from c[from] (count of them) with a ray from the box's
    // centre, counted as windingAt counts them: along a closed path, its winding round the box.
    std::int64_t windingOf(const Region::Contour& c, std::size_t from, std::size_t count) const {
        std::int64_t w = 0;
        for (std::size_t k = 0, i = from; k < count; ++k, i = (i + 1) % c.size())
            w += crossing(c[i], c[(i + 1) % c.size()]);
        return w;
    }
    int crossing(Region::IntPoint a, Region::IntPoint b) const {
        if (a.y <= centre_.y)
            return b.y > centre_.y && side(a, b, centre_) > 0 ? 1 : 0;
        return b.y <= centre_.y && side(a, b, centre_) < 0 ? -1 : 0;
    }

    FixedBox nextFrame() {
        frames_ += kGap;
        return {box_.left - frames_, box_.top - frames_, box_.right + frames_, box_.bottom + frames_};
    }

    // The corners of a frame in the order a detour goes round it.
    static std::array<Region::IntPoint, 4> corners(const FixedBox& f) {
        return {{{f.right, f.top}, {f.right, f.bottom}, {f.left, f.bottom}, {f.left, f.top}}};
    }

    // From p (outside the widened box) straight out to the frame, on the side p lies beyond;
    // returns the frame's side (the index of the corner that ends it, less one).
    int toFrame(Region::IntPoint p, const FixedBox& f, Region::IntPoint& onFrame) const {
        if (p.x > box_.right) {
            onFrame = {f.right, std::clamp(p.y, f.top, f.bottom)};
            return 0;
        }
        if (p.y > box_.bottom) {
            onFrame = {std::clamp(p.x, f.left, f.right), f.bottom};
            return 1;
        }
        if (p.x < box_.left) {
            onFrame = {f.left, std::clamp(p.y, f.top, f.bottom)};
            return 2;
        }
        onFrame = {std::clamp(p.x, f.left, f.right), f.top};
        return 3;
    }

    // Replaces the stretch from a to b that winds `winding` times round the box: out to a
    // frame, along it the way the corners go, in to b, plus whole loops for what is missing.
    void detour(Region::IntPoint a, Region::IntPoint b, std::int64_t winding, cl::Path& path,
                cl::Paths& out) {
        const FixedBox f = nextFrame();
        Region::IntPoint from{}, to{};
        const int fromSide = toFrame(a, f, from);
        const int toSide = toFrame(b, f, to);
        const std::array<Region::IntPoint, 4> corner = corners(f);
        // Along a side, the way the corners go: down the right, left along the bottom, up the
        // left, right along the top.
        const auto ahead = [&] {
            switch (fromSide) {
            case 0:
                return to.y >= from.y;
            case 1:
                return to.x <= from.x;
            case 2:
                return to.y <= from.y;
            default:
                return to.x >= from.x;
            }
        };
        const int steps = fromSide == toSide ? (ahead() ? 0 : 4) : (toSide - fromSide + 4) % 4;
        std::int64_t made = crossing(a, from);
        Region::IntPoint at = from;
        push(path, from);
        for (int k = 1; k <= steps; ++k) {
            const Region::IntPoint c = corner[static_cast<std::size_t>((fromSide + k) % 4)];
            made += crossing(at, c);
            push(path, c);
            at = c;
        }
        made += crossing(at, to) + crossing(to, b);
        push(path, to);
        addLoops(winding - made, out);
    }

    // Closed loops round the frame that wind `winding` times round the box in all.
    void addLoops(std::int64_t winding, cl::Paths& out) {
        for (; winding != 0; winding += winding > 0 ? -1 : 1) {
            const std::array<Region::IntPoint, 4> corner = corners(nextFrame());
            std::int64_t own = 0;
            for (std::size_t k = 0; k < 4; ++k)
                own += crossing(corner[k], corner[(k + 1) % 4]);
            cl::Path loop;
            for (const Region::IntPoint p : corner)
                loop.push_back({p.x, p.y});
            if ((own > 0) != (winding > 0))
                std::reverse(loop.begin(), loop.end());
            out.push_back(std::move(loop));
        }
    }

    static void push(cl::Path& path, Region::IntPoint p) {
        if (path.empty() || path.back().X != p.x || path.back().Y != p.y)
            path.push_back({p.x, p.y});
    }

    FixedBox box_;
    Region::IntPoint centre_;
    std::int64_t frames_ = 0;
};

// Within this many fixed-point units of the rectangle's border, the clipper's rounding could
// make a sliver vanish; the scan leaves such cases to the clipper.
constexpr std::int64_t kGraze = 4;

bool usableRect(RectF rect) {
    return !rect.isEmpty() && std::isfinite(rect.x) && std::isfinite(rect.y) && std::isfinite(rect.width) &&
           std::isfinite(rect.height);
}

} // namespace

Region::Region(const Path& path, float tolerance) {
    unite(path, tolerance);
}

void Region::setEmpty() {
    assign({}, false);
}

void Region::assign(std::vector<Contour> contours, bool evenOdd) const {
    contours_ = std::move(contours);
    evenOdd_ = evenOdd;
    raw_ = false;
    measureBox();
}

void Region::measureBox() const {
    box_ = {};
    if (contours_.empty())
        return;
    const IntPoint first = contours_.front().front();
    box_ = {first.x, first.y, first.x, first.y};
    for (const Contour& c : contours_) {
        for (const IntPoint& p : c) {
            box_.left = std::min(box_.left, p.x);
            box_.top = std::min(box_.top, p.y);
            box_.right = std::max(box_.right, p.x);
            box_.bottom = std::max(box_.bottom, p.y);
        }
    }
}

void Region::normalize() const {
    if (!raw_)
        return;
    cl::Clipper clipper;
    clipper.AddPaths(toClipper(contours_), cl::ptSubject, true);
    cl::Paths solution;
    clipper.Execute(cl::ctUnion, solution, fillType(evenOdd_), fillType(evenOdd_));
    assign(fromClipper(solution), false);
}

void Region::reset(const Path& path, float tolerance) {
    // The path's polygons as they are, resolved only when an answer needs them; or nothing.
    polygonsInto(path, tolerance, contours_);
    evenOdd_ = !contours_.empty() && path.fillMode() == FillMode::Alternate;
    raw_ = !contours_.empty();
    measureBox();
}

void Region::unite(const Path& path, float tolerance) {
    if (contours_.empty()) {
        reset(path, tolerance);
        return;
    }
    std::vector<Contour> added = polygonsOf(path, tolerance);
    if (added.empty())
        return;
    const bool evenOdd = path.fillMode() == FillMode::Alternate;
    cl::Clipper clipper;
    clipper.AddPaths(toClipper(contours_), cl::ptSubject, true);
    clipper.AddPaths(toClipper(added), cl::ptClip, true);
    cl::Paths solution;
    clipper.Execute(cl::ctUnion, solution, fillType(evenOdd_), fillType(evenOdd));
    assign(fromClipper(solution), false);
}

void Region::unite(const Region& other) {
    if (other.contours_.empty())
        return;
    if (contours_.empty()) {
        *this = other;
        return;
    }
    cl::Clipper clipper;
    clipper.AddPaths(toClipper(contours_), cl::ptSubject, true);
    clipper.AddPaths(toClipper(other.contours_), cl::ptClip, true);
    cl::Paths solution;
    clipper.Execute(cl::ctUnion, solution, fillType(evenOdd_), fillType(other.evenOdd_));
    assign(fromClipper(solution), false);
}

void Region::intersect(RectF rect) {
    if (contours_.empty())
        return;
    if (rect.isEmpty() || !std::isfinite(rect.x) || !std::isfinite(rect.y) || !std::isfinite(rect.width) ||
        !std::isfinite(rect.height)) {
        setEmpty();
        return;
    }
    const Box r{toFixed(rect.x), toFixed(rect.y), toFixed(rect.right()), toFixed(rect.bottom())};
    // Most collision tests miss; the boxes alone tell, and a box inside the rectangle stays whole.
    if (r.right <= box_.left || r.left >= box_.right || r.bottom <= box_.top || r.top >= box_.bottom) {
        setEmpty();
        return;
    }
    if (r.left <= box_.left && r.top <= box_.top && r.right >= box_.right && r.bottom >= box_.bottom)
        return;
    cl::Clipper clipper;
    clipper.AddPaths(toClipper(contours_, r.left, r.top, r.right, r.bottom), cl::ptSubject, true);
    const cl::Path clip{{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
    clipper.AddPath(clip, cl::ptClip, true);
    cl::Paths solution;
    clipper.Execute(cl::ctIntersection, solution, fillType(evenOdd_), cl::pftNonZero);
    assign(fromClipper(solution), false);
}

void Region::intersect(const Region& other) {
    if (contours_.empty())
        return;
    assign(intersection(other), false);
}

std::vector<Region::Contour> Region::intersection(const Region& other, bool nearOther) const {
    if (other.contours_.empty() || other.box_.right <= box_.left || other.box_.left >= box_.right ||
        other.box_.bottom <= box_.top || other.box_.top >= box_.bottom)
        return {};
    // Only the part both boxes share can hold any of the intersection.
    const std::int64_t left = std::max(box_.left, other.box_.left);
    const std::int64_t top = std::max(box_.top, other.box_.top);
    const std::int64_t right = std::min(box_.right, other.box_.right);
    const std::int64_t bottom = std::min(box_.bottom, other.box_.bottom);
    cl::Paths subject;
    if (nearOther) {
        // Everything of the other region lies in its box: only there does this one count.
        ContourNearBox near(other.box_.left, other.box_.top, other.box_.right, other.box_.bottom);
        for (const Contour& c : contours_)
            if (meetsBox(c, left, top, right, bottom))
                near.add(c, subject);
    } else {
        subject = toClipper(contours_, left, top, right, bottom);
    }
    cl::Paths clip = toClipper(other.contours_, left, top, right, bottom);
    if (subject.empty() || clip.empty())
        return {};
    cl::Clipper clipper;
    clipper.AddPaths(subject, cl::ptSubject, true);
    clipper.AddPaths(clip, cl::ptClip, true);
    cl::Paths solution;
    clipper.Execute(cl::ctIntersection, solution, fillType(evenOdd_), fillType(other.evenOdd_));
    return fromClipper(solution);
}

RectF Region::boundsWithin(const Region& other) const {
    if (contours_.empty())
        return {};
    // A figure's feet in a floor: the common area's corners tell its bounds without the clipper.
    RectF quick;
    if (plainBoundsWithin(other, quick))
        return quick;
    Region common;
    common.assign(intersection(other, true), false);
    return common.bounds();
}

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

} // namespace

bool Region::plainBoundsWithin(const Region& other, RectF& bounds) const {
    if (raw_ || !other.raw_ || !other.evenOdd_ || other.contours_.empty())
        return false;
    constexpr std::int64_t kNear = 2 * kGraze + 2;
    const Box near{other.box_.left - kNear, other.box_.top - kNear, other.box_.right + kNear,
                   other.box_.bottom + kNear};
    struct Edge {
        IntPoint a, b;
    };
    thread_local std::vector<Edge> floorEdges;
    thread_local std::vector<IntPoint> floorCorners;
    floorEdges.clear();
    floorCorners.clear();
    std::int64_t highest = near.bottom + 1;
    for (const Contour& c : contours_) {
        for (std::size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) {
            const IntPoint a = c[j], b = c[i];
            if (std::max(a.x, b.x) < near.left || std::min(a.x, b.x) > near.right ||
                std::max(a.y, b.y) < near.top || std::min(a.y, b.y) > near.bottom)
                continue;
            floorEdges.push_back({a, b});
            highest = std::min({highest, a.y, b.y});
            if (b.x >= near.left && b.x <= near.right && b.y >= near.top && b.y <= near.bottom)
                floorCorners.push_back(b);
        }
    }
    const IntPoint topCentre{other.box_.left / 2 + other.box_.right / 2, near.top};
    if (floorEdges.empty()) {
        // The figure's surroundings lie wholly inside this region or wholly outside it.
        return false;
    }
    // Above its highest edge near the figure, this region has nothing there (checked at the
    // top of the widened box): what the figure does up there cannot touch the answer.
    if (highest > near.top && windingAt(contours_, topCentre) != 0)
        return false;
    const std::int64_t reach = highest > near.top ? highest - kNear : near.top - 1;

    // The figure's edges that come down to where this region may be: plain outline, as
    // resolved contours are (no two meet but neighbours at their corner, no straight or folded
    // corner).
    struct FigureEdge {
        IntPoint a, b;
        std::size_t contour, index, size;
    };
    thread_local std::vector<FigureEdge> figure;
    thread_local std::vector<Contour> plain;
    figure.clear();
    std::size_t plainCount = 0;
    for (const Contour& raw : other.contours_) {
        if (std::none_of(raw.begin(), raw.end(), [&](IntPoint p) { return p.y >= reach; }))
            continue; // a head or an arm, well above
        if (plainCount == plain.size())
            plain.emplace_back();
        if (!cleanAsClipper(raw, plain[plainCount]))
            continue; // a straight limb or a stroke there and back: no area
        const std::size_t n = plainCount++;
        const Contour& c = plain[n];
        for (std::size_t i = 0, j = c.size() - 1; i < c.size(); j = i++) {
            const IntPoint a = c[j], b = c[i];
            const IntPoint next = c[i + 1 < c.size() ? i + 1 : 0];
            if (std::max({a.y, b.y, next.y}) < reach)
                continue;
            if (side(a, b, next) == 0)
                return false;
            if (std::max(a.y, b.y) >= reach)
                figure.push_back({a, b, n, i, c.size()});
        }
    }
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

    // The winding round a point of the figure's box: nothing of this region lies above its edges
    // near the figure, so only those edges cross the way up from the point. (Far up, where the
    // way leaves the widened box, the winding is nought, as at its top centre.)
    const auto upwardWinding = [&](IntPoint p) {
        if (highest <= near.top)
            return windingAt(contours_, p);
        int winding = 0;
        for (const Edge& e : floorEdges) {
            if ((e.a.x <= p.x) == (e.b.x <= p.x))
                continue;
            const std::int64_t s = side(e.a, e.b, p);
            if (e.b.x > e.a.x ? s > 0 : s < 0)
                winding += e.b.x > e.a.x ? 1 : -1;
        }
        return winding;
    };
    // The corners of the common area: where edges cross, and each region's corners inside the
    // other, each clear of the other's edges so that no rounding can fold the area away.
    thread_local std::vector<IntPoint> corners;
    thread_local std::vector<double> crossingRows;
    corners.clear();
    crossingRows.clear();
    for (const FigureEdge& p : figure) {
        for (const Edge& q : floorEdges) {
            const int how = meeting(p.a, p.b, q.a, q.b);
            if (how == 0)
                continue;
            if (how == 1)
                return false;
            IntPoint at{};
            std::optional<double> roundedRow;
            if (!clipperCrossing(SlopedEdge(p.a, p.b), SlopedEdge(q.a, q.b), at, roundedRow))
                return false;
            corners.push_back(at);
            if (roundedRow)
                crossingRows.push_back(*roundedRow);
        }
    }
    for (const FigureEdge& p : figure) {
        const IntPoint v = p.b;
        if (v.y < reach)
            continue;
        for (const Edge& q : floorEdges)
            if (!clearOf(v, q.a, q.b))
                return false;
        if (upwardWinding(v) != 0)
            corners.push_back(v);
    }
    for (const IntPoint w : floorCorners) {
        for (const FigureEdge& p : figure)
            if (!clearOf(w, p.a, p.b))
                return false;
        if (w.x > other.box_.left && w.x < other.box_.right && w.y > other.box_.top &&
            w.y < other.box_.bottom && insideEvenOdd(std::span<const Contour>(plain.data(), plainCount), w))
            corners.push_back(w);
    }
    // A crossing near a scan line of the clipper's (every corner's row) could be moved onto it;
    // corners a unit apart could merge.
    if (!crossingRows.empty()) {
        const auto nearRow = [&](std::int64_t level) {
            return std::any_of(crossingRows.begin(), crossingRows.end(),
                               [&](double row) { return std::abs(row - static_cast<double>(level)) < 2; });
        };
        for (const std::vector<Contour>* set : {&contours_, &other.contours_})
            for (const Contour& c : *set)
                for (const IntPoint p : c)
                    if (p.y >= other.box_.top - 2 && p.y <= other.box_.bottom + 2 && nearRow(p.y))
                        return false;
    }
    for (std::size_t i = 0; i < corners.size(); ++i)
        for (std::size_t j = i + 1; j < corners.size(); ++j)
            if (std::abs(corners[i].x - corners[j].x) <= 1 && std::abs(corners[i].y - corners[j].y) <= 1)
                return false;
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

bool Region::isEmpty() const {
    normalize();
    return contours_.empty();
}

RectF Region::bounds() const {
    if (isEmpty())
        return {};
    return worldRect(box_);
}

RectF Region::worldRect(const Box& b) {
    const auto world = [](std::int64_t v) { return static_cast<float>(static_cast<double>(v) / kScale); };
    return {world(b.left), world(b.top), world(b.right) - world(b.left), world(b.bottom) - world(b.top)};
}

double Region::area() const {
    normalize();
    double total = 0;
    for (const Contour& c : contours_) {
        double twice = 0;
        for (std::size_t i = 0, j = c.size() - 1; i < c.size(); j = i++)
            twice += (static_cast<double>(c[j].x) + static_cast<double>(c[i].x)) *
                     (static_cast<double>(c[j].y) - static_cast<double>(c[i].y));
        total += twice / 2;
    }
    // Outer contours and holes turn opposite ways, so the signed sum is the net area.
    return std::abs(total) / (kScale * kScale);
}

std::vector<std::vector<PointF>> Region::contours() const {
    normalize();
    std::vector<std::vector<PointF>> result;
    result.reserve(contours_.size());
    for (const Contour& c : contours_) {
        std::vector<PointF> pts;
        pts.reserve(c.size());
        for (const IntPoint& p : c)
            pts.push_back({static_cast<float>(static_cast<double>(p.x) / kScale),
                           static_cast<float>(static_cast<double>(p.y) / kScale)});
        result.push_back(std::move(pts));
    }
    return result;
}

} // namespace gfx
