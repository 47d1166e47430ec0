#pragma once

#include "gfx/Brush.h"
#include "gfx/Geometry.h"
#include "gfx/GradientPainter.h"
#include "gfx/Matrix.h"
#include "gfx/Path.h"
#include "gfx/Pen.h"
#include "gfx/Rasterizer.h"
#include "gfx/Surface.h"

#include <memory>
#include <span>
#include <vector>

typedef struct _cairo cairo_t;

namespace gfx {

// How setClip combines a rectangle with the current clip. Exclude removes the rectangle
// (from everything when there is no clip yet); Intersect keeps only their overlap.
enum class CombineMode { Replace, Union, Exclude, Intersect };

// A canvas over a surface: a world transform, a clip made of rectangles, and the
// drawing calls. Anti-aliased. Failures are kept in lastStatus() and drawing goes on.
//
// Containers work as the classic canvas has them: inside a container the transform starts
// as the identity and the clip as unlimited, both relative to the enclosing state. So
// transform() inside a container reads only what was set since beginContainer, an Append
// multiplies before the enclosing transform (world placement, then the window's scale), and
// a clip set inside is always cut down to the enclosing clip.
//
// Drawing through a clip leaves exactly the pixels a drawing without clip would leave
// inside it, so a repaint of dirty rectangles matches a full repaint; drawings whose
// bounds miss the clip cost next to nothing. (Clipped drawings may use a scratch image the
// size of the target, made on first need.) The Graphics keeps glow masks of path-gradient
// brushes between frames: keep one Graphics per back buffer rather than one per frame.
class Graphics {
public:
    explicit Graphics(Surface& target);
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;
    ~Graphics();

    // Fills the whole surface, ignoring clip and transform.
    void clear(Argb color);

    Matrix transform() const { return transform_; }
    void setTransform(const Matrix& m);
    void resetTransform() { setTransform(Matrix{}); }
    void scaleTransform(float sx, float sy, MatrixOrder order = MatrixOrder::Prepend);
    void translateTransform(float dx, float dy, MatrixOrder order = MatrixOrder::Prepend);
    void multiplyTransform(const Matrix& m, MatrixOrder order = MatrixOrder::Prepend);
    // World to device pixels, enclosing containers included.
    Matrix deviceTransform() const;

    // Saves transform and clip and starts a container (see above); endContainer restores
    // them, ending any container nested inside too. Unknown ids give InvalidParameter.
    int beginContainer();
    void endContainer(int container);

    // World rectangle under the current transform, snapped outward to whole device pixels
    // so a clip edge never blends old and new pixels.
    void setClip(RectI worldRect, CombineMode mode);
    // The union of the world rectangles, each snapped as above, replaces the clip: the clip a
    // run of Replace and Union calls would leave, built in one go.
    void setClip(std::span<const RectI> worldRects);
    void resetClip();
    // The rectangle every drawing is cut to anyway (the world on a letter-boxed window; the
    // whole surface until set): a clip side along it cuts a shape just as a full repaint does.
    void setClipFrame(RectI worldRect);
    // Confines every drawing to a band of device rows (full width), on top of any clip, so
    // that several canvases over one image can paint it band by band at once. A shape comes
    // out row for row as in an unbanded drawing: cutting rows off a shape never changes the
    // rows left (only a cut at its sides would), so the band's edges need no scratch image.
    // An empty band (the default) confines nothing.
    void setBand(RectI deviceRows);
    RectI band() const { return band_; }
    // Whether drawing is limited by a clip, the enclosing containers' included.
    bool hasClip() const;
    // The device pixels drawing may touch, as disjoint rectangles (only meaningful when
    // hasClip(); empty then means nothing is drawn).
    std::vector<RectI> clipRects() const;

    void drawPath(const Pen& pen, const Path& path);
    void fillPath(const SolidBrush& brush, const Path& path);
    void fillPath(const PathGradientBrush& brush, const Path& path);
    void drawLine(const Pen& pen, PointF a, PointF b);
    void drawRectangle(const Pen& pen, RectF rect);
    void fillRectangle(const SolidBrush& brush, RectF rect);
    void fillEllipse(const SolidBrush& brush, RectF rect);
    void fillEllipse(const PathGradientBrush& brush, RectF rect);
    void flush();

    // Whether small solid shapes go straight to the pixels (see Rasterizer; the default) or,
    // switched off, everything through Cairo: the reference the fast path is held to.
    void setDirectShapes(bool on) { directShapes_ = on; }

    Status lastStatus() const { return lastStatus_; }
    void recordStatus(Status s) {
        if (s != Status::Ok)
            lastStatus_ = s;
    }

private:
    // Device pixels; infinite means no limit.
    struct ClipArea {
        bool infinite = true;
        std::vector<RectI> rects;
    };
    struct Saved {
        Matrix base;
        ClipArea baseClip;
        Matrix transform;
        ClipArea clip;
    };

    // Brings Cairo up to date; false when there is nothing to draw on, or nothing would show.
    bool ready();
    // As above, and the path has points, all of them finite.
    bool ready(const Path& path);
    // Records a Cairo failure and replaces the failed context.
    void finish();
    void applyState();
    ClipArea effectiveClip() const;
    // Device pixels that a world rectangle can touch, anti-aliasing included.
    RectI deviceBox(RectF world) const;
    // Whether a device box meets the active clip (which must be limited).
    bool meetsClip(RectI box) const;
    bool ensureScratch();
    // World rectangle to device pixels, snapped outward.
    RectI snapToDevice(RectI worldRect) const;
    // The part of a device box that a drawing without clip would cover: inside the frame.
    RectI uncutArea(RectI box) const;
    // Runs draw (on a Cairo context set up with the canvas's transform) for a shape that
    // paints only within reach (world units), honouring the clip.
    template <typename Draw> void paint(RectF reach, Draw&& draw);
    template <typename Draw>
    void paintThroughScratch(RectI area, const std::vector<RectI>& parts, Draw&& draw);
    // Small solid shapes go straight to the pixels (see Rasterizer); false when this one
    // must go through Cairo: a vector target, a rotated or skewed transform, a large
    // shape, or a pen whose caps or joins the rasterizer does not draw.
    bool strokeDirect(const Pen& pen, const Path& path);
    bool fillDirect(Argb color, const Path& path);
    // Whether the device transform only scales and moves; device receives it.
    bool axisAligned(Matrix& device) const;
    // The points under the device transform, into devicePoints_.
    void toDevice(const std::vector<PointF>& points, const Matrix& device);
    void paintDirect(Rasterizer::FillRule rule, Argb color);

    struct ContextDeleter {
        void operator()(cairo_t* cr) const;
    };
    using ContextHandle = std::unique_ptr<cairo_t, ContextDeleter>;

    Surface& target_;
    ContextHandle cr_;
    Matrix base_;       // the enclosing containers' transform
    ClipArea baseClip_; // the enclosing containers' clip
    Matrix transform_;
    ClipArea clip_;
    std::vector<Saved> containers_;
    ClipArea activeClip_;       // effectiveClip() as last given to Cairo
    RectI frame_;               // device pixels
    RectI band_;                // device rows drawing is confined to; empty: none
    GradientPainter gradients_; // keeps glow masks from frame to frame
    Surface scratch_;           // for clipped drawing, made on first need
    ContextHandle scratchCr_;
    Rasterizer raster_;
    std::vector<PointF> devicePoints_;
    std::vector<Path::Polygon> flattened_; // the shape being drawn, its memory kept
    bool stateDirty_ = true;
    bool drawable_ = true; // false while the transform squashes everything to nothing
    bool directShapes_ = true;
    Status lastStatus_ = Status::Ok;
};

} // namespace gfx
