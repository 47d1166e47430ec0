#pragma once

#include "gfx/Geometry.h"

#include <cstdint>
#include <span>
#include <vector>

namespace gfx {

class Surface;

// Paints small solid shapes straight into a surface's pixels: the figures, socks and
// outlines that change every frame, where Cairo's per-shape setup costs more than the
// pixels. Each pixel's coverage depends only on the shape and that pixel (the exact area
// for fills, the distance to the line for strokes), never on a clip, so a shape repainted
// through any set of clip boxes leaves exactly the pixels of an unclipped drawing.
//
// All coordinates are device pixels. A shape is built, then painted once; building anew
// reuses the storage, so a Rasterizer kept between frames allocates only while it grows.
class Rasterizer {
public:
    enum class FillRule { EvenOdd, NonZero };

    // Starts a new shape.
    void reset();

    // Fill: closed polygons (the last point joins the first).
    void addPolygon(std::span<const PointF> points);

    // Stroke: a polyline of halfWidth with round joins; each end round or flat. A closed
    // polyline repeats its first point at the end and has round ends. Strokes and polygons
    // do not mix in one shape.
    void addPolyline(std::span<const PointF> points, float halfWidth, bool roundStart, bool roundEnd);

    // Device pixels the shape can touch (anti-aliasing included); empty for no shape.
    RectI bounds() const;

    // Blends color (straight alpha) by coverage into the target's pixels inside each of
    // clip's boxes (all of the target when clip is empty and unlimited is true).
    void paint(Surface& target, std::span<const RectI> clip, bool unlimited, FillRule rule, Argb color);

    // Strokes' rows are worked out eight pixels at a time where the processor can (AVX2),
    // else four; the pixels are the same either way. Tests compare the two.
    static bool wideRowsAvailable();
    static void allowWideRows(bool allowed);

private:
    struct Edge {
        PointF a;
        PointF b;
    };
    // A cut square across a flat end of the whole line: the pixel centre's distance ahead of
    // it, measured from the segment's a, is along . (p - a) + offset (plus half a pixel).
    struct EndCut {
        PointF along{0, 0};
        float offset = -1e9f; // none: never keeps anything
    };
    struct Segment {
        PointF a;
        PointF b;
        float halfWidth;
        // Cut square across a and b themselves; pixels behind such a cut are still kept
        // when they lie ahead of the line's own end cut (a bend's round join).
        bool flatStart;
        bool flatEnd;
        EndCut lineStart;
        EndCut lineEnd;
        // The segment before ends here with the same, uncut disc, which it draws in full.
        bool joinedStart;
    };

    // Columns [first, end) of a row of the painted area that hold anything.
    struct Span {
        int first;
        int end;
    };

    // The coverage of a shape painted before, kept whole (within the target) for when the
    // very same shape is painted again: socks at rest, shapes repainted under several dirty
    // rectangles. A pixel's share depends only on the shape and the pixel, so a kept one is
    // exactly what working it out again would give.
    struct Kept {
        std::uint64_t key = 0;
        bool fill = false;
        FillRule rule = FillRule::NonZero;
        std::vector<Segment> segments;
        std::vector<Edge> edges;
        RectI area;
        std::vector<std::uint8_t> cells;
        std::vector<Span> spans;
    };
    static constexpr std::size_t kKeptSlots = 512;
    static constexpr std::size_t kSeenSlots = 4096;
    // Shapes of at most this many pixels are kept, from their second painting on.
    static constexpr long long kKeptArea = 1 << 12;

    std::uint64_t shapeKey(FillRule rule) const;
    bool sameShape(const Kept& kept, FillRule rule) const;

    // The steps of a stroke's rows (RasterizerStrokes.cpp).
    struct StrokeRows;

    void accumulateEdge(const Edge& e, const RectI& area);
    void coverStrokes(const RectI& area);
    void coverFills(const RectI& area, FillRule rule);
    // Blends color by the coverage worked out over area into the target inside clip's boxes.
    void blend(Surface& target, const RectI& area, const std::uint8_t* cellData, const Span* spanData,
               std::span<const RectI> clip, Argb color);
    void extendBounds(PointF p, float margin);
    void touch(int row, int first, int end);
    // Where the line y meets the points within reach of a segment: [x0, x1].
    static bool segmentSpan(const Segment& s, float y, float reach, float& x0, float& x1);

    std::vector<Edge> edges_;
    std::vector<Segment> segments_;
    // What the shapes added since the reset reach, a stroke's width included.
    Extent extent_;
    // Per pixel of the painted area: its share of the shape, 0 to 255.
    std::vector<std::uint8_t> cells_;
    std::vector<Span> spans_;
    // Per pixel of the painted area while filling: increments of the signed area.
    std::vector<std::int32_t> areas_;
    // Kept coverage by key (one shape a slot), and the keys of shapes painted lately.
    std::vector<Kept> kept_;
    std::vector<std::uint64_t> seen_;
};

} // namespace gfx
