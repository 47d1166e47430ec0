#include "gfx/Rasterizer.h"

#include "gfx/RasterizerPixels.h"
#include "gfx/Surface.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace gfx {

using namespace rasterPixels;

void Rasterizer::reset() {
    edges_.clear();
    segments_.clear();
    extent_ = {};
}

void Rasterizer::addPolygon(std::span<const PointF> points) {
    if (points.size() < 2)
        return;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const PointF a = points[i];
        const PointF b = points[(i + 1) % points.size()];
        extendBounds(a, 0);
        if (a.y != b.y)
            edges_.push_back({a, b});
    }
}

void Rasterizer::addPolyline(std::span<const PointF> points, float halfWidth, bool roundStart,
                             bool roundEnd) {
    // Repeated points make no segment, and must not set the direction of a flat end.
    const std::size_t first = segments_.size();
    PointF last{};
    bool any = false;
    for (PointF p : points) {
        if (any && p == last)
            continue;
        if (any)
            segments_.push_back({last, p, halfWidth, false, false, {}, {}, false});
        last = p;
        any = true;
    }
    if (!any)
        return;
    if (segments_.size() == first) {
        // A single point: a dot with round ends, nothing with flat ones.
        if (!roundStart || !roundEnd)
            return;
        segments_.push_back({last, last, halfWidth, false, false, {}, {}, false});
    }
    const float reach = halfWidth + 1;
    // A flat end cuts the line square across its true end. Each segment is drawn with round
    // joins at both its points, so the join of a segment shorter than the pen's half width
    // would stick out past the end: every segment whose join lies within reach of a flat end
    // is cut there too, and keeps only what lies behind its own point and ahead of the end.
    const auto cutNear = [&](bool atStart) {
        const std::size_t n = segments_.size() - first;
        const Segment& outer = atStart ? segments_[first] : segments_.back();
        const PointF end = atStart ? outer.a : outer.b;
        const float dx = atStart ? outer.b.x - outer.a.x : outer.a.x - outer.b.x;
        const float dy = atStart ? outer.b.y - outer.a.y : outer.a.y - outer.b.y;
        const float length = std::sqrt(dx * dx + dy * dy);
        if (!(length > 0))
            return;
        const PointF inward{dx / length, dy / length};
        float travelled = 0;
        for (std::size_t k = 0; k < n && travelled < reach; ++k) {
            Segment& s = segments_[atStart ? first + k : segments_.size() - 1 - k];
            (atStart ? s.flatStart : s.flatEnd) = true;
            if (k > 0) {
                EndCut& cut = atStart ? s.lineStart : s.lineEnd;
                cut.along = inward;
                cut.offset = (s.a.x - end.x) * inward.x + (s.a.y - end.y) * inward.y;
            }
            travelled += std::hypot(s.b.x - s.a.x, s.b.y - s.a.y);
        }
    };
    if (!roundStart)
        cutNear(true);
    if (!roundEnd)
        cutNear(false);
    // A join's disc is drawn once, by the segment that ends there, unless a cut changes it.
    for (std::size_t i = first + 1; i < segments_.size(); ++i)
        segments_[i].joinedStart = !segments_[i].flatStart && !segments_[i - 1].flatEnd;
    for (std::size_t i = first; i < segments_.size(); ++i) {
        extendBounds(segments_[i].a, reach);
        extendBounds(segments_[i].b, reach);
    }
}

void Rasterizer::extendBounds(PointF p, float margin) {
    extent_.add({p.x - margin, p.y - margin});
    extent_.add({p.x + margin, p.y + margin});
}

RectI Rasterizer::bounds() const {
    if (extent_.isEmpty())
        return {};
    const int left = toPixel(std::floor(extent_.left) - 1);
    const int top = toPixel(std::floor(extent_.top) - 1);
    return {left, top, toPixel(std::ceil(extent_.right) + 1) - left,
            toPixel(std::ceil(extent_.bottom) + 1) - top};
}

namespace {

// FNV-1a over the words of a shape, bit for bit.
struct KeyHash {
    std::uint64_t h = 14695981039346656037ULL;
    void add(std::uint32_t word) {
        h ^= word;
        h *= 1099511628211ULL;
    }
    void add(float v) { add(std::bit_cast<std::uint32_t>(v)); }
    void add(PointF p) {
        add(p.x);
        add(p.y);
    }
};

bool same(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

bool same(PointF a, PointF b) {
    return same(a.x, b.x) && same(a.y, b.y);
}

} // namespace

std::uint64_t Rasterizer::shapeKey(FillRule rule) const {
    KeyHash k;
    for (const Segment& s : segments_) {
        k.add(s.a);
        k.add(s.b);
        k.add(s.halfWidth);
        k.add(static_cast<std::uint32_t>(s.flatStart) | static_cast<std::uint32_t>(s.flatEnd) << 1 |
              static_cast<std::uint32_t>(s.joinedStart) << 2);
        k.add(s.lineStart.along);
        k.add(s.lineStart.offset);
        k.add(s.lineEnd.along);
        k.add(s.lineEnd.offset);
    }
    k.add(static_cast<std::uint32_t>(segments_.size()));
    for (const Edge& e : edges_) {
        k.add(e.a);
        k.add(e.b);
    }
    k.add(static_cast<std::uint32_t>(edges_.size()));
    k.add(static_cast<std::uint32_t>(rule));
    return k.h;
}

bool Rasterizer::sameShape(const Kept& kept, FillRule rule) const {
    const bool fill = segments_.empty();
    if (kept.fill != fill || kept.segments.size() != segments_.size() || kept.edges.size() != edges_.size())
        return false;
    if (fill && kept.rule != rule)
        return false;
    for (std::size_t i = 0; i < segments_.size(); ++i) {
        const Segment& a = kept.segments[i];
        const Segment& b = segments_[i];
        if (!same(a.a, b.a) || !same(a.b, b.b) || !same(a.halfWidth, b.halfWidth) ||
            a.flatStart != b.flatStart || a.flatEnd != b.flatEnd || a.joinedStart != b.joinedStart ||
            !same(a.lineStart.along, b.lineStart.along) || !same(a.lineStart.offset, b.lineStart.offset) ||
            !same(a.lineEnd.along, b.lineEnd.along) || !same(a.lineEnd.offset, b.lineEnd.offset))
            return false;
    }
    for (std::size_t i = 0; i < edges_.size(); ++i)
        if (!same(kept.edges[i].a, edges_[i].a) || !same(kept.edges[i].b, edges_[i].b))
            return false;
    return true;
}

void Rasterizer::paint(Surface& target, std::span<const RectI> clip, bool unlimited, FillRule rule,
                       Argb color) {
    if (extent_.isEmpty() || alphaOf(color) == 0 || !target.hasPixels())
        return;
    const RectI whole = intersection(bounds(), {0, 0, target.width(), target.height()});
    RectI area = whole;
    if (!unlimited) {
        RectI reach;
        for (const RectI& r : clip)
            reach = unite(reach, r);
        if (reach.isEmpty())
            return;
        area = intersection(area, reach);
    }
    if (area.isEmpty())
        return;
    const RectI painted = area;
    const std::span<const RectI> boxes = unlimited ? std::span<const RectI>(&painted, 1) : clip;

    // A small shape painted before is put down from its kept coverage; one painted a second
    // time is worked out whole and kept.
    const bool small = static_cast<long long>(whole.width) * whole.height <= kKeptArea;
    const std::uint64_t key = small ? shapeKey(rule) : 0;
    Kept* keep = nullptr;
    if (small) {
        if (kept_.empty()) {
            kept_.resize(kKeptSlots);
            seen_.assign(kSeenSlots, 0);
        }
        Kept& slot = kept_[key % kKeptSlots];
        if (slot.key == key && slot.area == whole && sameShape(slot, rule)) {
            blend(target, whole, slot.cells.data(), slot.spans.data(), boxes, color);
            target.markDirty(painted);
            return;
        }
        std::uint64_t& seen = seen_[key % kSeenSlots];
        if (seen == key) {
            keep = &slot;
            area = whole;
        }
        seen = key;
    }

    const int width = area.width + 2;
    cells_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(area.height), 0);
    spans_.assign(static_cast<std::size_t>(area.height), Span{width, 0});
    if (!segments_.empty())
        coverStrokes(area);
    else
        coverFills(area, rule);
    blend(target, area, cells_.data(), spans_.data(), boxes, color);
    target.markDirty(painted);
    if (keep != nullptr) {
        keep->key = key;
        keep->fill = segments_.empty();
        keep->rule = rule;
        keep->segments.assign(segments_.begin(), segments_.end());
        keep->edges.assign(edges_.begin(), edges_.end());
        keep->area = area;
        keep->cells.assign(cells_.begin(), cells_.end());
        keep->spans.assign(spans_.begin(), spans_.end());
    }
}

} // namespace gfx
