#pragma once

#include "gfx/Geometry.h"
#include "gfx/Matrix.h"
#include "gfx/Path.h"

#include <cairo.h>

namespace gfx {

// The small translations between the game's value types and Cairo that the canvas, the
// stroker and the gradient painter share.
class CairoDraw {
public:
    static void setColor(cairo_t* cr, Argb color);
    static void setMatrix(cairo_t* cr, const Matrix& m);
    // Adds the path's figures to Cairo's current path; closed figures are closed (a fill
    // closes the others by itself).
    static void appendPath(cairo_t* cr, const Path& path);
    static cairo_fill_rule_t fillRule(const Path& path);
    // Device pixels per world unit, averaged over both axes.
    static float deviceScale(const Matrix& m);
};

} // namespace gfx
