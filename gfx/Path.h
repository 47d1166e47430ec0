#pragma once

#include "gfx/Geometry.h"
#include "gfx/Matrix.h"

#include <atomic>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace gfx {

class Pen;

enum class FillMode { Alternate, Winding };

// Kinds of path points. A figure is a Start point followed by Line points and groups of
// three Bezier points; kCloseFlag on its last point closes it.
enum class PointType : std::uint8_t { Start = 0, Line = 1, Bezier = 3 };
constexpr std::uint8_t kPointTypeMask = 0x07;
constexpr std::uint8_t kCloseFlag = 0x80;

// An outline made of figures (sub-paths) of lines and cubic Beziers, in world units.
// Figures stay apart: adding a line or curve continues the open figure, while closed
// shapes (rectangles, ellipses, pies, closed curves, glyphs) always make figures of their
// own. Curves are kept as Beziers and flattened only when a consumer needs polygons.
class Path {
public:
    explicit Path(FillMode fillMode = FillMode::Alternate) : fillMode_(fillMode) {}

    FillMode fillMode() const { return fillMode_; }
    void reset();
    // The next addition starts a new figure even if the current one is open.
    void startFigure();
    // Closes the current figure (if it has points); the next addition starts a new one.
    void closeFigure();

    // Open shapes: continue the current figure, joining its last point with a line.
    void addLine(PointF a, PointF b);
    // InvalidParameter for no points.
    Status addLines(std::span<const PointF> points);
    void addBezier(PointF p0, PointF p1, PointF p2, PointF p3);
    // Cardinal spline through every point; control points lie tension/3 of the
    // neighbouring chord away from each point (the classic cardinal spline). At the ends the
    // end point stands in for the missing neighbour. InvalidParameter for fewer than 2 points.
    Status addCurve(std::span<const PointF> points, float tension = 0.5f);

    // Closed shapes: each is a figure of its own.
    // InvalidParameter for fewer than 3 points.
    Status addClosedCurve(std::span<const PointF> points, float tension = 0.5f);
    void addRectangle(RectF rect);
    void addEllipse(RectF rect);
    // Angles in degrees, clockwise on screen from the positive x axis, as true directions
    // from the centre even on a flat ellipse; sweeps beyond a full turn are cut to one. The
    // figure runs from the centre to the arc's start, along the arc, and closes.
    void addPie(RectF rect, float startAngle, float sweepAngle);
    // Bold sans-serif text as glyph outlines, em size in world units, with the layout
    // origin at the top left of the text's line box: the baseline lies one ascent (0.905 em)
    // lower and the first glyph starts a sixth of an em to the right. '\n' starts a new line.
    // Each glyph contour is a closed figure of its own.
    void addString(std::string_view utf8, float emSize, PointF origin);
    // Appends all figures of another path; the next addition starts a new figure.
    void addPath(const Path& other);

    void transform(const Matrix& m);

    bool empty() const { return points_.empty(); }
    int pointCount() const { return static_cast<int>(points_.size()); }
    std::span<const PointF> points() const { return points_; }
    std::span<const std::uint8_t> types() const { return types_; }

    // Figures in order, each as a path of its own (for drawing figures with different pens).
    int figureCount() const;
    std::vector<Path> figures() const;
    // The same into figures, reusing the paths (and their storage) already there: for a
    // figure rebuilt every step.
    void figures(std::vector<Path>& into) const;

    // Tight bounds of the drawn geometry (curves by their extremes, not their control points).
    RectF bounds() const;
    // Bounds that hold every device pixel the pen can touch when this path is stroked
    // with it at any scale of 1 or more: the pen's reach and an anti-aliasing fringe.
    RectF bounds(const Pen& pen) const;

    // One polygon per figure, curves flattened to within tolerance (world units).
    // Open figures are returned as they are; consumers that fill treat them as closed.
    struct Polygon {
        std::vector<PointF> points;
        bool closed = false;
    };
    std::vector<Polygon> flatten(float tolerance = 0.1f) const;
    // The same into polygons kept from earlier calls, whose memory is used again: for shapes
    // flattened every frame. The span lies in scratch and lasts until it is used again.
    std::span<const Polygon> flatten(float tolerance, std::vector<Polygon>& scratch) const;

private:
    friend class PathIterator;

    // Calls visit with each segment's points: one point for a figure start, two for a line,
    // four for a Bezier (its start point included).
    template <typename Visitor> void forEachSegment(Visitor&& visit) const;
    void ensureFigure(PointF first);
    void appendClosedFigure(std::span<const PointF> points, std::span<const PointType> kinds);

    FillMode fillMode_;
    std::vector<PointF> points_;
    std::vector<std::uint8_t> types_;
    bool figureOpen_ = false;
    // Collision tests ask for a figure's bounds many times between two changes of its
    // outline; whatever changes the points clears this. The painting threads may ask for the
    // bounds of one path at once: the first to finish keeps them, the others only read them
    // once kept. A copy starts without.
    struct BoundsCache {
        BoundsCache() = default;
        BoundsCache(const BoundsCache&) {}
        BoundsCache& operator=(const BoundsCache&) {
            forget();
            return *this;
        }
        void forget() { state.store(kUnknown, std::memory_order_relaxed); }
        static constexpr int kUnknown = 0, kWriting = 1, kKnown = 2;
        std::atomic<int> state{kUnknown};
        RectF value;
    };
    mutable BoundsCache bounds_;
};

} // namespace gfx
