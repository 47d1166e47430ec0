#include "gfx/CairoDraw.h"

#include <cmath>

namespace gfx {

void CairoDraw::setColor(cairo_t* cr, Argb color) {
    cairo_set_source_rgba(cr, redOf(color) / 255.0, greenOf(color) / 255.0, blueOf(color) / 255.0,
                          alphaOf(color) / 255.0);
}

void CairoDraw::setMatrix(cairo_t* cr, const Matrix& m) {
    cairo_matrix_t cm;
    cairo_matrix_init(&cm, m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy());
    cairo_set_matrix(cr, &cm);
}

void CairoDraw::appendPath(cairo_t* cr, const Path& path) {
    const auto pts = path.points();
    const auto types = path.types();
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const auto kind = static_cast<PointType>(types[i] & kPointTypeMask);
        if (kind == PointType::Start || i == 0) {
            cairo_move_to(cr, pts[i].x, pts[i].y);
        } else if (kind == PointType::Bezier && i + 2 < pts.size()) {
            cairo_curve_to(cr, pts[i].x, pts[i].y, pts[i + 1].x, pts[i + 1].y, pts[i + 2].x, pts[i + 2].y);
            i += 2;
        } else {
            cairo_line_to(cr, pts[i].x, pts[i].y);
        }
        if ((types[i] & kCloseFlag) != 0)
            cairo_close_path(cr);
    }
}

cairo_fill_rule_t CairoDraw::fillRule(const Path& path) {
    return path.fillMode() == FillMode::Alternate ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING;
}

float CairoDraw::deviceScale(const Matrix& m) {
    const float det = std::abs(m.m11() * m.m22() - m.m12() * m.m21());
    return det > 0 ? std::sqrt(det) : 1.0f;
}

} // namespace gfx
