#pragma once

#include "gfx/Brush.h"

typedef struct _cairo cairo_t;

namespace gfx {

// Paints a path-gradient brush's colours over the brush's own area on a Cairo context,
// with the context's transform and clip. The caller masks the result with the path it fills.
class GradientPainter {
public:
    // margin (world units) extends the outermost colours beyond the boundary, so that the
    // anti-aliased edge of the filled path finds colour under it.
    static void paint(cairo_t* cr, const PathGradientBrush& brush, float margin);

private:
    // One surround colour: each fan triangle is a plain linear gradient.
    static void paintFan(cairo_t* cr, const PathGradientBrush& brush, float margin);
    // Several surround colours: a mesh of Gouraud-shaded triangles (slower).
    static void paintMesh(cairo_t* cr, const PathGradientBrush& brush, float margin);
};

} // namespace gfx
