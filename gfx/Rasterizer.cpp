#include "gfx/Rasterizer.h"

#include "gfx/Surface.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define HEARTHLY_WIDE_ROWS 1
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

namespace gfx {

namespace {

// x / 255, rounded, for x up to 255 * 255.
inline std::uint32_t div255(std::uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// A whole pixel's area in the units the fill sums are kept in.
constexpr float kAreaUnit = 1 << 16;

// div255 of the two 16-bit halves of x at once (each at most 255 x 255 + 127).
inline std::uint32_t halves(std::uint32_t x) {
    x += 0x00800080U;
    return ((x + ((x >> 8) & 0x00ff00ffU)) >> 8) & 0x00ff00ffU;
}

// Coverage 0..1 as a pixel's share 0..255.
inline std::uint8_t toByte(float c) {
    return static_cast<std::uint8_t>(c * 255.0f + 0.5f);
}

// Whole pixels of a device coordinate, kept where an int holds them.
int toPixel(float v) {
    constexpr float kLimit = 1 << 28;
    return static_cast<int>(std::clamp(v, -kLimit, kLimit));
}

// toPixel(std::ceil(v)) and toPixel(std::floor(v)), to the same whole pixel, without the
// library's rounding: strokes ask for several on every row they cover.
inline int ceilPixel(float v) {
    constexpr float kLimit = 1 << 28;
    const float c = std::clamp(v, -kLimit, kLimit);
    const int t = static_cast<int>(c);
    return t + (c > static_cast<float>(t) ? 1 : 0);
}
inline int floorPixel(float v) {
    constexpr float kLimit = 1 << 28;
    const float c = std::clamp(v, -kLimit, kLimit);
    const int t = static_cast<int>(c);
    return t - (c < static_cast<float>(t) ? 1 : 0);
}

// std::floor, exactly, without the library's call: fills ask for it on every pixel.
inline float floorExact(float v) {
    // Beyond 2^23 every float is whole (and a NaN stays one).
    if (!(std::abs(v) < 8388608.0f))
        return v;
    const float t = static_cast<float>(static_cast<std::int32_t>(v));
    return t > v ? t - 1 : t;
}

// std::lround, exactly, for values an int holds: a fill adds two on every row of an edge.
inline std::int32_t roundAway(float v) {
    const auto t = static_cast<std::int32_t>(v);
    // What truncation left is worked out exactly: v and t lie within one of each other.
    const float rest = v - static_cast<float>(t);
    return t + (rest >= 0.5f ? 1 : 0) - (rest <= -0.5f ? 1 : 0);
}

#if defined(__SSE2__)
// Blends four pixels at a time while four are left, the way blend does one (every channel
// div255(source x share + target x what shows through), each in a 16-bit lane, where the
// sum always fits); returns where it stopped.
int blendFours(std::uint32_t* row, const std::uint8_t* cover, int first, int end, std::uint32_t alpha,
               std::uint32_t solid) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i source = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(solid)), zero);
    const __m128i alphas = _mm_set1_epi16(static_cast<short>(alpha));
    const __m128i half = _mm_set1_epi16(128);
    const __m128i full = _mm_set1_epi16(255);
    const __m128i solid4 = _mm_set1_epi32(static_cast<int>(solid));
    // div255 of each lane (at most 255 x 255 + 127).
    const auto div255x8 = [&](__m128i v) {
        const __m128i y = _mm_add_epi16(v, half);
        return _mm_srli_epi16(_mm_add_epi16(y, _mm_srli_epi16(y, 8)), 8);
    };
    // Two pixels' channels blended with their shares (each share in the four lanes of its pixel).
    const auto two = [&](__m128i target, __m128i shares) {
        const __m128i keep = _mm_sub_epi16(full, div255x8(_mm_mullo_epi16(alphas, shares)));
        return div255x8(_mm_add_epi16(_mm_mullo_epi16(source, shares), _mm_mullo_epi16(target, keep)));
    };
    int x = first;
    for (; x + 4 <= end; x += 4, cover += 4) {
        std::uint32_t shares4;
        std::memcpy(&shares4, cover, 4);
        if (shares4 == 0)
            continue;
        auto* at = reinterpret_cast<__m128i*>(row + x);
        if (shares4 == 0xffffffffU && alpha == 255) {
            _mm_storeu_si128(at, solid4);
            continue;
        }
        const __m128i shares = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(shares4)), zero);
        const __m128i pairs = _mm_unpacklo_epi16(shares, shares);
        const __m128i target = _mm_loadu_si128(at);
        const __m128i low = two(_mm_unpacklo_epi8(target, zero), _mm_unpacklo_epi32(pairs, pairs));
        const __m128i high = two(_mm_unpackhi_epi8(target, zero), _mm_unpackhi_epi32(pairs, pairs));
        _mm_storeu_si128(at, _mm_packus_epi16(low, high));
    }
    return x;
}
#endif

} // namespace

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

void Rasterizer::accumulateEdge(const Edge& e, const RectI& area) {
    // Each row gets the signed area between the edge and the right side of every pixel,
    // stored as increments along the row: a running sum then gives each pixel's coverage.
    // Every increment is worked out from the edge alone and kept in whole units, so the
    // sums come out the same however much of the row a clip leaves to paint.
    const float dir = e.a.y < e.b.y ? 1.0f : -1.0f;
    const PointF p0 = dir > 0 ? e.a : e.b;
    const PointF p1 = dir > 0 ? e.b : e.a;
    const float dxdy = (p1.x - p0.x) / (p1.y - p0.y);
    const int width = area.width + 2;
    const int rowFirst = std::max(area.y, floorPixel(p0.y));
    const int rowEnd = std::min(area.bottom(), ceilPixel(p1.y));
    // Columns past the area's right side change no pixel; one of them still ends the row.
    const float lastColumn = static_cast<float>(area.right());
    for (int row = rowFirst; row < rowEnd; ++row) {
        const float ya = std::max(p0.y, static_cast<float>(row));
        const float yb = std::min(p1.y, static_cast<float>(row + 1));
        if (yb <= ya)
            continue;
        const float xa = p0.x + (ya - p0.y) * dxdy;
        const float xb = p0.x + (yb - p0.y) * dxdy;
        const float dy = (yb - ya) * dir;
        std::int32_t* cells = areas_.data() + static_cast<std::ptrdiff_t>(row - area.y) * width;
        Span& span = spans_[static_cast<std::size_t>(row - area.y)];
        const auto add = [&](float column, float value) {
            // Left of the area it raises the whole row.
            const int c = std::clamp(toPixel(column) - area.x, 0, width - 1);
            cells[c] += roundAway(value * kAreaUnit);
            span.first = std::min(span.first, c);
            span.end = std::max(span.end, c + 1);
        };
        const float xs = std::min(xa, xb);
        const float xe = std::max(xa, xb);
        const float firstColumn = floorExact(xs);
        if (xe - firstColumn <= 1.0f) {
            const float inside = firstColumn + 1 - 0.5f * (xa + xb); // part of the pixel right of the edge
            add(firstColumn, dy * inside);
            add(firstColumn + 1, dy * (1 - inside));
            continue;
        }
        // Across several pixels: each pixel's share of the edge, in turn.
        const float perX = dy / (xe - xs);
        for (float c = firstColumn; c < xe; c += 1.0f) {
            if (c > lastColumn) {
                add(c, 0);
                break;
            }
            const float c0 = std::max(xs, c);
            const float c1 = std::min(xe, c + 1);
            const float part = perX * (c1 - c0);
            const float inside = c + 1 - 0.5f * (c0 + c1);
            add(c, part * inside);
            add(c + 1, part * (1 - inside));
        }
    }
}

bool Rasterizer::segmentSpan(const Segment& s, float y, float reach, float& x0, float& x1) {
    // The line y meets the points within reach of the segment (a convex capsule) in one
    // interval: the parts within the end discs and within the band between them.
    float lo = std::numeric_limits<float>::max();
    float hi = -lo;
    for (PointF e : {s.a, s.b}) {
        const float d = y - e.y;
        if (std::abs(d) <= reach) {
            const float h = std::sqrt(reach * reach - d * d);
            lo = std::min(lo, e.x - h);
            hi = std::max(hi, e.x + h);
        }
    }
    const float dx = s.b.x - s.a.x;
    const float dy = s.b.y - s.a.y;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length > 0) {
        const float nx = -dy / length * reach;
        const float ny = dx / length * reach;
        const PointF corners[4] = {{s.a.x + nx, s.a.y + ny},
                                   {s.b.x + nx, s.b.y + ny},
                                   {s.b.x - nx, s.b.y - ny},
                                   {s.a.x - nx, s.a.y - ny}};
        for (int i = 0; i < 4; ++i) {
            const PointF c = corners[i];
            const PointF d = corners[(i + 1) % 4];
            if ((c.y - y) * (d.y - y) > 0 || c.y == d.y)
                continue;
            const float x = c.x + (y - c.y) * (d.x - c.x) / (d.y - c.y);
            lo = std::min(lo, x);
            hi = std::max(hi, x);
        }
    }
    x0 = lo;
    x1 = hi;
    return lo <= hi;
}

namespace {

// How much of a pixel lies on the inner side of a straight edge whose normal is (na, nb)
// (either signs' magnitudes, na² + nb² = 1) and which passes at distance s from the pixel's
// centre (positive: the centre is inside). The pixel seen along the normal is two boxes, of
// widths na and nb, laid over each other, so the share grows in a parabola, a line and a
// parabola; exact for any direction, where a clamped distance would be off by up to a
// twelfth of a pixel across a slanted edge.
struct EdgeCover {
    float na;
    float nb;
    float half;    // (na + nb) / 2: beyond it a pixel lies wholly on one side
    float inverse; // 1 / (na nb)

    EdgeCover(float a, float b) {
        // An edge along the grid is the limit of a nearly aligned one; the tiny slope that
        // keeps the division sound changes no pixel by a level.
        na = std::max(std::abs(a), 1e-3f);
        nb = std::max(std::abs(b), 1e-3f);
        half = 0.5f * (na + nb);
        inverse = 1 / (na * nb);
    }
    float operator()(float s) const {
        const float x = std::min(std::max(s, -2.0f), 2.0f) + half;
        const auto ramp = [](float t) {
            const float u = std::max(t, 0.0f);
            return u * u;
        };
        const float twice = ramp(x) - ramp(x - na) - ramp(x - nb) + ramp(x - na - nb);
        return std::min(std::max(0.5f * twice * inverse, 0.0f), 1.0f);
    }
};

// Where a row of a round-ended segment lies beyond its ends: pixels left of split take the
// left end's disc, those from after on the right end's; between them the segment's sides.
// Ends a line join hands to the neighbouring segment are not drawn (draw false).
struct RowEnds {
    int split;
    int after;
    float leftT;
    float rightT;
    bool drawLeft;
    bool drawRight;
};

// What a segment's rows are worked out from, the same for each of its rows.
struct SegmentCover {
    float ax;
    float dx;
    float dy;
    float invLength;
    float halfWidth;
    EdgeCover across; // beside the segment
    // The cuts of flat ends (see coverStrokes).
    EdgeCover along;
    EdgeCover startEdge;
    EdgeCover endEdge;
    float startBias;
    float endBias;
    PointF startAlong;
    float startOffset;
    PointF endAlong;
    float endOffset;
};

namespace fourLanes {
#define HEARTHLY_ROW_LANES 4
#include "gfx/RasterizerRows.inc"
#undef HEARTHLY_ROW_LANES
} // namespace fourLanes

#if HEARTHLY_WIDE_ROWS
#pragma GCC push_options
#pragma GCC target("avx2")
namespace eightLanes {
#define HEARTHLY_ROW_LANES 8
#include "gfx/RasterizerRows.inc"
#undef HEARTHLY_ROW_LANES
} // namespace eightLanes
#pragma GCC pop_options
#endif

std::atomic<bool> wideRowsAllowed{true};

// Whether this processor can work strokes' rows out eight pixels at a time (AVX2).
bool wideRowsSupported() {
#if HEARTHLY_WIDE_ROWS
    static const bool supported = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return supported;
#else
    return false;
#endif
}

// Whether strokes' rows are worked out eight pixels at a time: most rows of a figure's
// limbs are five to eight pixels long, one pass instead of two.
bool wideRows() {
    return wideRowsSupported() && wideRowsAllowed.load(std::memory_order_relaxed);
}

} // namespace

bool Rasterizer::wideRowsAvailable() {
    return wideRowsSupported();
}

void Rasterizer::allowWideRows(bool allowed) {
    wideRowsAllowed.store(allowed, std::memory_order_relaxed);
}

void Rasterizer::coverStrokes(const RectI& area) {
    const int width = area.width + 2;
    [[maybe_unused]] const bool wide = wideRows();
    for (const Segment& s : segments_) {
        const float dx = s.b.x - s.a.x;
        const float dy = s.b.y - s.a.y;
        const float length2 = dx * dx + dy * dy;
        const float length = std::sqrt(length2);
        const float invLength = length2 > 0 ? 1 / length : 0.0f;
        // A flat end cuts the line square across its end point. A round end's offset never
        // cuts.
        constexpr float kNoCut = 1e9f;
        const float startBias = s.flatStart && length2 > 0 ? 0.0f : kNoCut;
        const float endBias = s.flatEnd && length2 > 0 ? length : kNoCut;
        const bool flat = startBias != kNoCut || endBias != kNoCut;
        const float halfWidth = s.halfWidth;
        // Beside the segment its edges run along it; the cuts of flat ends run across it.
        const SegmentCover cover{
            s.a.x,
            dx,
            dy,
            invLength,
            halfWidth,
            EdgeCover(length2 > 0 ? dy * invLength : 0.0f, length2 > 0 ? dx * invLength : 1.0f),
            EdgeCover(length2 > 0 ? dx * invLength : 1.0f, length2 > 0 ? dy * invLength : 0.0f),
            EdgeCover(s.lineStart.along.x, s.lineStart.along.y),
            EdgeCover(s.lineEnd.along.x, s.lineEnd.along.y),
            startBias,
            endBias,
            s.lineStart.along,
            s.lineStart.offset,
            s.lineEnd.along,
            s.lineEnd.offset,
        };
        // Pixels whose centres lie nearer than inner are covered whole but for the cuts.
        const float inner = std::max(0.0f, halfWidth - 0.75f);
        const float reach = halfWidth + 1;
        // No pixel whose centre lies as far as this from the segment takes any share of it (a
        // pixel beside it reaches at most half its diagonal further than the half width),
        // with a little to spare for the rounding of what is worked out from it.
        const float touching = halfWidth + 0.75f;
        constexpr float kSpare = 0.05f;
        const auto firstCentre = [](float v) { return ceilPixel(v - 0.5f - kSpare); };
        const auto endCentre = [](float v) { return floorPixel(v - 0.5f + kSpare) + 1; };
        const int rowFirst = std::max(area.y, firstCentre(std::min(s.a.y, s.b.y) - touching));
        const int rowEnd = std::min(area.bottom(), endCentre(std::max(s.a.y, s.b.y) + touching));
        // A short or steep segment is scanned across its whole box, cut down to a band along
        // its line: cheaper than working out where each row meets it. Only wide lines win by
        // skipping their middles.
        const float boxLeft = std::min(s.a.x, s.b.x) - reach;
        const float boxRight = std::max(s.a.x, s.b.x) + reach;
        const bool narrow = boxRight - boxLeft <= 2 * reach + 8;
        const bool skipMiddles = inner >= 3;
        const bool slanted = dy != 0;
        const float slope = slanted ? dx / dy : 0.0f;
        const float bandHalf = slanted ? touching * length / std::abs(dy) : 0.0f;
        const float ax = s.a.x;
        // Each kind of row (a line thinner than a pixel or not, flat ends or not) has its own
        // loop, the row's work written out in it: strokes cover many short rows, where a call
        // and its setup would cost as much as the pixels.
        const auto rows = [&](auto thin, auto flatEnds) {
            constexpr bool kThin = decltype(thin)::value;
            constexpr bool kCut = decltype(flatEnds)::value;
            for (int row = rowFirst; row < rowEnd; ++row) {
                const float cy = static_cast<float>(row) + 0.5f;
                float lo = boxLeft;
                float hi = boxRight;
                int first = 0;
                int end = 0;
                if (narrow) {
                    // The pixels whose centres lie in the box and the band along the line.
                    lo = std::min(s.a.x, s.b.x) - touching;
                    hi = std::max(s.a.x, s.b.x) + touching;
                    if (slanted) {
                        const float centre = s.a.x + (cy - s.a.y) * slope;
                        lo = std::max(lo, centre - bandHalf);
                        hi = std::min(hi, centre + bandHalf);
                    }
                    first = std::max(area.x, firstCentre(lo));
                    end = std::min(area.right(), endCentre(hi));
                } else {
                    if (!segmentSpan(s, cy, touching, lo, hi))
                        continue;
                    first = std::max(area.x, floorPixel(lo));
                    end = std::min(area.right(), ceilPixel(hi) + 1);
                }
                if (first >= end)
                    continue;
                // Pixels whose centres lie well inside need no distance: only the fringe on
                // either side is worked out in full. Which pixels those are depends on the row
                // alone, so a clip never changes a pixel's value.
                int innerFirst = end;
                int innerEnd = end;
                if (skipMiddles && segmentSpan(s, cy, inner, lo, hi)) {
                    innerFirst = std::clamp(ceilPixel(lo - 0.5f), first, end);
                    innerEnd = std::clamp(floorPixel(hi - 0.5f) + 1, innerFirst, end);
                }
                touch(row - area.y, first - area.x, end - area.x);
                std::uint8_t* cells = cells_.data() + static_cast<std::ptrdiff_t>(row - area.y) * width;
                const float ry = cy - s.a.y;
                std::uint8_t* middle = cells + (innerFirst - area.x);
                if constexpr (kCut) {
                    for (int i = 0; i < innerEnd - innerFirst; ++i) {
                        const float rx = static_cast<float>(innerFirst + i) + 0.5f - ax;
                        const float d = (rx * dx + ry * dy) * invLength;
                        const float ahead =
                            std::max(cover.along(startBias + d),
                                     cover.startEdge(rx * s.lineStart.along.x + ry * s.lineStart.along.y +
                                                     s.lineStart.offset));
                        const float behind =
                            std::max(cover.along(endBias - d),
                                     cover.endEdge(rx * s.lineEnd.along.x + ry * s.lineEnd.along.y +
                                                   s.lineEnd.offset));
                        const std::uint8_t v = toByte(ahead * behind);
                        middle[i] = middle[i] > v ? middle[i] : v;
                    }
                } else {
                    std::fill(middle, middle + (innerEnd - innerFirst), std::uint8_t{255});
                }
                // Along a row the pixels beyond the start, beside the segment and beyond its end
                // come in runs; where the runs meet, both ways give the same share.
                // x + 0.5 - ax = rx where rx dx + ry dy reaches 0 and length2.
                RowEnds ends{end, end, 0.0f, 1.0f, !s.joinedStart, true};
                if (length2 == 0) {
                    // a dot: all of it is the start's disc
                } else if (dx == 0) {
                    const float projected = ry * dy;
                    ends.split = projected <= 0 ? end : first;
                    ends.after = std::max(ends.split, projected >= length2 ? first : end);
                } else {
                    const float atStart = ax - 0.5f - ry * dy / dx;
                    const float atEnd = ax - 0.5f + (length2 - ry * dy) / dx;
                    const auto cut = [&](float x, bool below) {
                        return std::clamp(below ? floorPixel(x) + 1 : ceilPixel(x), first, end);
                    };
                    if (dx > 0) {
                        ends.split = cut(atStart, true);
                        ends.after = std::max(cut(atEnd, false), ends.split);
                    } else {
                        // Going left: the end's pixels come first in the row.
                        ends.split = cut(atEnd, true);
                        ends.after = std::max(cut(atStart, false), ends.split);
                        ends = {ends.split, ends.after, 1.0f, 0.0f, true, !s.joinedStart};
                    }
                }
                const auto run = [&](int from, int to) {
#if HEARTHLY_WIDE_ROWS
                    if (wide) {
                        eightLanes::coverRow<kThin, kCut>(cells + (from - area.x), from, to, ry, cover, ends);
                        return;
                    }
#endif
                    fourLanes::coverRow<kThin, kCut>(cells + (from - area.x), from, to, ry, cover, ends);
                };
                if (first < innerFirst)
                    run(first, innerFirst);
                if (innerEnd < end)
                    run(innerEnd, end);
            }
        };
        // Beside the segment a pixel meets its straight edges (both of them when the line is
        // thinner than a pixel): EdgeCover's exact share. Beyond an end, the rim of the end's
        // disc: the share by distance, which costs a third of the exact one and is off by a
        // little only where the rim runs slanted.
        if (halfWidth < 0.75f)
            flat ? rows(std::true_type{}, std::true_type{}) : rows(std::true_type{}, std::false_type{});
        else
            flat ? rows(std::false_type{}, std::true_type{}) : rows(std::false_type{}, std::false_type{});
    }
}

void Rasterizer::touch(int row, int first, int end) {
    Span& span = spans_[static_cast<std::size_t>(row)];
    span.first = std::min(span.first, first);
    span.end = std::max(span.end, end);
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

void Rasterizer::coverFills(const RectI& area, FillRule rule) {
    const int width = area.width + 2;
    areas_.assign(cells_.size(), 0);
    for (const Edge& e : edges_)
        accumulateEdge(e, area);
    // Running sums along each row turn the increments into winding areas, which the rule
    // turns into coverage. A closed outline adds up to nothing again after its last edge.
    for (int row = 0; row < area.height; ++row) {
        Span& span = spans_[static_cast<std::size_t>(row)];
        span.end = std::min(span.end, area.width);
        const std::int32_t* areas = areas_.data() + static_cast<std::ptrdiff_t>(row) * width;
        std::uint8_t* cells = cells_.data() + static_cast<std::ptrdiff_t>(row) * width;
        std::int32_t sum = 0;
        for (int x = span.first; x < span.end; ++x) {
            sum += areas[x];
            float v = static_cast<float>(std::abs(sum)) * (1.0f / kAreaUnit);
            if (rule == FillRule::NonZero) {
                v = std::min(v, 1.0f);
            } else {
                v -= 2 * floorExact(v * 0.5f);
                if (v > 1)
                    v = 2 - v;
            }
            cells[x] = toByte(v);
        }
    }
}

void Rasterizer::blend(Surface& target, const RectI& area, const std::uint8_t* cellData, const Span* spanData,
                       std::span<const RectI> clip, Argb color) {
    const int width = area.width + 2;
    const std::uint32_t alpha = alphaOf(color);
    const std::uint32_t red = div255(redOf(color) * alpha);
    const std::uint32_t green = div255(greenOf(color) * alpha);
    const std::uint32_t blue = div255(blueOf(color) * alpha);
    const std::uint32_t solid = (alpha << 24) | (red << 16) | (green << 8) | blue;
    const std::uint32_t sourceRB = solid & 0x00ff00ffU;
    const std::uint32_t sourceAG = (solid >> 8) & 0x00ff00ffU;
    std::uint8_t* pixels = target.data();
    const int stride = target.stride();
    for (const RectI& box : clip) {
        const RectI part = intersection(box, area);
        for (int y = part.y; y < part.bottom(); ++y) {
            const Span& span = spanData[y - area.y];
            const std::uint8_t* cells = cellData + static_cast<std::ptrdiff_t>(y - area.y) * width;
            auto* row = reinterpret_cast<std::uint32_t*>(pixels + static_cast<std::ptrdiff_t>(y) * stride);
            const int first = std::max(part.x, area.x + span.first);
            const int end = std::min(part.right(), area.x + span.end);
            int x = first;
#if defined(__SSE2__)
            x = blendFours(row, cells + (first - area.x), first, end, alpha, solid);
#endif
            const std::uint8_t* cover = cells + (x - area.x);
            for (; x < end; ++x, ++cover) {
                const std::uint32_t kk = *cover;
                if (kk == 0)
                    continue;
                if (kk == 255 && alpha == 255) {
                    // Inside an opaque shape whole runs of pixels just take its colour.
                    int run = x + 1;
                    while (run < end && cover[run - x] == 255)
                        ++run;
                    std::fill(row + x, row + run, solid);
                    cover += run - 1 - x;
                    x = run - 1;
                    continue;
                }
                // Red with blue and alpha with green, each pair in one multiply: every
                // channel is div255(source x share + target x what shows through).
                const std::uint32_t keep = 255 - div255(alpha * kk);
                const std::uint32_t d = row[x];
                row[x] = halves(sourceRB * kk + (d & 0x00ff00ffU) * keep) |
                         (halves(sourceAG * kk + ((d >> 8) & 0x00ff00ffU) * keep) << 8);
            }
        }
    }
}

} // namespace gfx
