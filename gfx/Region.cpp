#include "gfx/Region.h"

#include "gfx/ContourNearBox.h"
#include "gfx/RegionEdges.h"

#include <clipper.hpp>

#include <algorithm>
#include <cmath>

namespace gfx {

using namespace regionEdges;

namespace {

using regionEdges::toClipper;

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