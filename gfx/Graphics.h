#pragma once

#include "gfx/Brush.h"
#include "gfx/Geometry.h"
#include "gfx/Matrix.h"
#include "gfx/Path.h"
#include "gfx/Pen.h"

#include <vector>

typedef struct _cairo cairo_t;

namespace gfx {

class Surface;

enum class CombineMode { Replace, Union };

// A canvas over a surface: a world transform, a clip made of rectangles, and the
// drawing calls. Anti-aliased. Failures are kept in lastStatus() and drawing goes on.
class Graphics {
public:
    explicit Graphics(Surface& target);
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;
    ~Graphics();

    void clear(Argb color);

    Matrix transform() const { return transform_; }
    void setTransform(const Matrix& m);
    void resetTransform() { setTransform(Matrix{}); }
    void scaleTransform(float sx, float sy, MatrixOrder order = MatrixOrder::Prepend);
    void translateTransform(float dx, float dy, MatrixOrder order = MatrixOrder::Prepend);
    void multiplyTransform(const Matrix& m, MatrixOrder order = MatrixOrder::Prepend);

    // Saves transform and clip; endContainer restores them. Containers nest.
    int beginContainer();
    void endContainer(int container);

    // World rectangle under the current transform, snapped outward to whole device pixels
    // so a clip edge never blends old and new pixels. Replace starts a new clip; Union adds.
    void setClip(RectI worldRect, CombineMode mode);
    void resetClip();
    bool hasClip() const { return !clipRects_.empty(); }

    void drawPath(const Pen& pen, const Path& path);
    void fillPath(const SolidBrush& brush, const Path& path);
    void fillPath(const PathGradientBrush& brush, const Path& path);
    void drawLine(const Pen& pen, PointF a, PointF b);
    void drawRectangle(const Pen& pen, RectF rect);
    void fillRectangle(const SolidBrush& brush, RectF rect);
    void fillEllipse(const SolidBrush& brush, RectF rect);
    void flush();

    Status lastStatus() const { return lastStatus_; }
    void recordStatus(Status s) {
        if (s != Status::Ok)
            lastStatus_ = s;
    }

private:
    void applyState();

    Surface& target_;
    cairo_t* cr_ = nullptr;
    Matrix transform_;
    std::vector<RectI> clipRects_; // device pixels
    struct Saved {
        Matrix transform;
        std::vector<RectI> clipRects;
    };
    std::vector<Saved> containers_;
    Status lastStatus_ = Status::Ok;
};

} // namespace gfx
