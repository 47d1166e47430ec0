#include "gfx/Rasterizer.h"

#include "gfx/RasterizerPixels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define HEARTHLY_WIDE_ROWS 1
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>

// Strokes: each segment of a polyline covers the pixels within its half width, row by row,
// each pixel keeping its best share over all segments. The rows' pixels are worked out several
// at a time (RasterizerRows.inc).

namespace gfx {

using namespace rasterPixels;

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
    // The cuts of flat ends (see StrokeRows::scanOf).
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

// No pixel whose centre lies as far as a segment's touching distance takes any share of it;
// the rows and columns scanned keep this little more, for the rounding of what is worked out
// from them.
constexpr float kSpare = 0.05f;

// The first pixel whose centre lies at or after v, and one past the last at or before it.
[[gnu::always_inline]] inline int firstCentre(float v) {
    return ceilPixel(v - 0.5f - kSpare);
}
[[gnu::always_inline]] inline int endCentre(float v) {
    return floorPixel(v - 0.5f + kSpare) + 1;
}

// A segment as its rows see it, set up once for all of them.
struct SegmentScan {
    SegmentCover cover;
    float length2;
    bool flat; // a flat end cuts it
    int rowFirst;
    int rowEnd;
    // Pixels whose centres lie nearer than inner are covered whole but for the cuts; none as
    // far as touching takes any share.
    float inner;
    float touching;
    float boxLeft;
    float boxRight;
    // A short or steep segment is scanned across its whole box, cut down to a band along its
    // line (bandHalf either side of it, slope its run per row): cheaper than working out where
    // each row meets it. Only wide lines win by skipping their middles.
    bool narrow;
    bool skipMiddles;
    bool slanted;
    float slope;
    float bandHalf;
};

} // namespace

// The steps a stroke's rows go through; a member so that they see the segments and cells.
struct Rasterizer::StrokeRows {
    // What each row of segment s is worked out from, within area.
    static SegmentScan scanOf(const Segment& s, const RectI& area) {
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
        const float halfWidth = s.halfWidth;
        const float inner = std::max(0.0f, halfWidth - 0.75f);
        const float reach = halfWidth + 1;
        // A pixel beside the segment reaches at most half its diagonal further than the half
        // width.
        const float touching = halfWidth + 0.75f;
        const float boxLeft = std::min(s.a.x, s.b.x) - reach;
        const float boxRight = std::max(s.a.x, s.b.x) + reach;
        const bool slanted = dy != 0;
        return SegmentScan{
            // Beside the segment its edges run along it; the cuts of flat ends run across it.
            SegmentCover{
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
            },
            length2,
            startBias != kNoCut || endBias != kNoCut,
            std::max(area.y, firstCentre(std::min(s.a.y, s.b.y) - touching)),
            std::min(area.bottom(), endCentre(std::max(s.a.y, s.b.y) + touching)),
            inner,
            touching,
            boxLeft,
            boxRight,
            boxRight - boxLeft <= 2 * reach + 8,
            inner >= 3,
            slanted,
            slanted ? dx / dy : 0.0f,
            slanted ? touching * length / std::abs(dy) : 0.0f,
        };
    }

    // The pixels [first, end) of the row through cy that the segment can touch; false for none.
    [[gnu::always_inline]] static bool rowReach(const Segment& s, const SegmentScan& g, float cy,
                                                const RectI& area, int& first, int& end) {
        float lo = g.boxLeft;
        float hi = g.boxRight;
        if (g.narrow) {
            // The pixels whose centres lie in the box and the band along the line.
            lo = std::min(s.a.x, s.b.x) - g.touching;
            hi = std::max(s.a.x, s.b.x) + g.touching;
            if (g.slanted) {
                const float centre = s.a.x + (cy - s.a.y) * g.slope;
                lo = std::max(lo, centre - g.bandHalf);
                hi = std::min(hi, centre + g.bandHalf);
            }
            first = std::max(area.x, firstCentre(lo));
            end = std::min(area.right(), endCentre(hi));
        } else {
            if (!segmentSpan(s, cy, g.touching, lo, hi))
                return false;
            first = std::max(area.x, floorPixel(lo));
            end = std::min(area.right(), ceilPixel(hi) + 1);
        }
        return first < end;
    }

    // Pixels whose centres lie well inside need no distance: only the fringe on either side is
    // worked out in full. Which pixels those are depends on the row alone, so a clip never
    // changes a pixel's value. [innerFirst, innerEnd) is empty (at end) for none.
    [[gnu::always_inline]] static void innerRun(const Segment& s, const SegmentScan& g, float cy, int first,
                                                int end, int& innerFirst, int& innerEnd) {
        innerFirst = end;
        innerEnd = end;
        float lo = 0;
        float hi = 0;
        if (g.skipMiddles && segmentSpan(s, cy, g.inner, lo, hi)) {
            innerFirst = std::clamp(ceilPixel(lo - 0.5f), first, end);
            innerEnd = std::clamp(floorPixel(hi - 0.5f) + 1, innerFirst, end);
        }
    }

    // The inner pixels [innerFirst, innerEnd), middle pointing at the first: whole, but for
    // what the cuts of flat ends leave.
    template <bool Cut>
    [[gnu::always_inline]] static void coverMiddle(std::uint8_t* middle, int innerFirst, int innerEnd,
                                                   float ry, const Segment& s, const SegmentCover& cover) {
        if constexpr (Cut) {
            const float ax = cover.ax;
            const float dx = cover.dx;
            const float dy = cover.dy;
            const float invLength = cover.invLength;
            for (int i = 0; i < innerEnd - innerFirst; ++i) {
                const float rx = static_cast<float>(innerFirst + i) + 0.5f - ax;
                const float d = (rx * dx + ry * dy) * invLength;
                const float ahead = std::max(cover.along(cover.startBias + d),
                                             cover.startEdge(rx * s.lineStart.along.x +
                                                             ry * s.lineStart.along.y + s.lineStart.offset));
                const float behind = std::max(
                    cover.along(cover.endBias - d),
                    cover.endEdge(rx * s.lineEnd.along.x + ry * s.lineEnd.along.y + s.lineEnd.offset));
                const std::uint8_t v = toByte(ahead * behind);
                middle[i] = middle[i] > v ? middle[i] : v;
            }
        } else {
            std::fill(middle, middle + (innerEnd - innerFirst), std::uint8_t{255});
        }
    }

    // Along a row the pixels beyond the start, beside the segment and beyond its end come in
    // runs; where the runs meet, both ways give the same share.
    // x + 0.5 - ax = rx where rx dx + ry dy reaches 0 and length2.
    [[gnu::always_inline]] static RowEnds rowEnds(const Segment& s, const SegmentScan& g, float ry, int first,
                                                  int end) {
        const float ax = g.cover.ax;
        const float dx = g.cover.dx;
        const float dy = g.cover.dy;
        const float length2 = g.length2;
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
        return ends;
    }

    // The fringe pixels [from, to), part pointing at from's cell, several at a time.
    template <bool Thin, bool Cut>
    [[gnu::always_inline]] static void coverRun(std::uint8_t* part, int from, int to, float ry,
                                                const SegmentCover& cover, const RowEnds& ends,
                                                [[maybe_unused]] bool wide) {
#if HEARTHLY_WIDE_ROWS
        if (wide) {
            eightLanes::coverRow<Thin, Cut>(part, from, to, ry, cover, ends);
            return;
        }
#endif
        fourLanes::coverRow<Thin, Cut>(part, from, to, ry, cover, ends);
    }

    // Each kind of row (a line thinner than a pixel or not, flat ends or not) has its own
    // loop, the row's work written out in it: strokes cover many short rows, where a call and
    // its setup would cost as much as the pixels.
    template <bool Thin, bool Cut>
    static void coverRows(Rasterizer& r, const Segment& s, const SegmentScan& g, const RectI& area,
                          bool wide) {
        const int width = area.width + 2;
        for (int row = g.rowFirst; row < g.rowEnd; ++row) {
            const float cy = static_cast<float>(row) + 0.5f;
            int first = 0;
            int end = 0;
            if (!rowReach(s, g, cy, area, first, end))
                continue;
            int innerFirst = end;
            int innerEnd = end;
            innerRun(s, g, cy, first, end, innerFirst, innerEnd);
            r.touch(row - area.y, first - area.x, end - area.x);
            std::uint8_t* cells = r.cells_.data() + static_cast<std::ptrdiff_t>(row - area.y) * width;
            const float ry = cy - s.a.y;
            coverMiddle<Cut>(cells + (innerFirst - area.x), innerFirst, innerEnd, ry, s, g.cover);
            const RowEnds ends = rowEnds(s, g, ry, first, end);
            if (first < innerFirst)
                coverRun<Thin, Cut>(cells + (first - area.x), first, innerFirst, ry, g.cover, ends, wide);
            if (innerEnd < end)
                coverRun<Thin, Cut>(cells + (innerEnd - area.x), innerEnd, end, ry, g.cover, ends, wide);
        }
    }
};

bool Rasterizer::wideRowsAvailable() {
    return wideRowsSupported();
}

void Rasterizer::allowWideRows(bool allowed) {
    wideRowsAllowed.store(allowed, std::memory_order_relaxed);
}

void Rasterizer::coverStrokes(const RectI& area) {
    [[maybe_unused]] const bool wide = wideRows();
    for (const Segment& s : segments_) {
        const SegmentScan g = StrokeRows::scanOf(s, area);
        // Beside the segment a pixel meets its straight edges (both of them when the line is
        // thinner than a pixel): EdgeCover's exact share. Beyond an end, the rim of the end's
        // disc: the share by distance, which costs a third of the exact one and is off by a
        // little only where the rim runs slanted.
        if (s.halfWidth < 0.75f)
            g.flat ? StrokeRows::coverRows<true, true>(*this, s, g, area, wide)
                   : StrokeRows::coverRows<true, false>(*this, s, g, area, wide);
        else
            g.flat ? StrokeRows::coverRows<false, true>(*this, s, g, area, wide)
                   : StrokeRows::coverRows<false, false>(*this, s, g, area, wide);
    }
}

void Rasterizer::touch(int row, int first, int end) {
    Span& span = spans_[static_cast<std::size_t>(row)];
    span.first = std::min(span.first, first);
    span.end = std::max(span.end, end);
}

} // namespace gfx
