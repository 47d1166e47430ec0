#pragma once

#include "gfx/Matrix.h"
#include "gfx/Path.h"
#include "gfx/Pen.h"

#include <cairo.h>

namespace gfx {

// Strokes paths with the game's pens on a Cairo context: caps that Cairo lacks (anchors,
// different caps at both ends) are drawn as shapes of their own, and inset pens stay
// inside closed figures.
class Stroker {
public:
    // device: the context's current user-to-device transform.
    static void stroke(cairo_t* cr, const Pen& pen, const Path& path, const Matrix& device);

private:
    static void strokeCentred(cairo_t* cr, const Pen& pen, const Path& path, const Matrix& device);
    static void strokeInset(cairo_t* cr, const Pen& pen, const Path& path, const Matrix& device);
    static void strokeWithCapShapes(cairo_t* cr, const Pen& pen, const Path& path, const Matrix& device);
    static void setLineStyle(cairo_t* cr, const Pen& pen, float widthFactor);
};

} // namespace gfx
