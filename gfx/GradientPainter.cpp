#include "gfx/GradientPainter.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace gfx {

namespace {

struct PatternDeleter {
    void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
};
using PatternHandle = std::unique_ptr<cairo_pattern_t, PatternDeleter>;

void addStop(cairo_pattern_t* p, double offset, Argb c) {
    cairo_pattern_add_color_stop_rgba(p, offset, redOf(c) / 255.0, greenOf(c) / 255.0, blueOf(c) / 255.0,
                                      alphaOf(c) / 255.0);
}

// Boundary points pushed away from the centre by margin, so that neighbouring fan
// triangles still share their edges exactly.
std::vector<PointF> widenedBoundary(const std::vector<PointF>& boundary, PointF c, float margin) {
    std::vector<PointF> out;
    out.reserve(boundary.size());
    for (PointF b : boundary) {
        const float dx = b.x - c.x;
        const float dy = b.y - c.y;
        const float len = std::hypot(dx, dy);
        out.push_back(len > 1e-6f ? PointF{b.x + dx / len * margin, b.y + dy / len * margin} : b);
    }
    return out;
}

} // namespace

void GradientPainter::paint(cairo_t* cr, const PathGradientBrush& brush, float margin) {
    if (brush.boundary().size() < 2)
        return;
    const auto& colors = brush.surroundColors();
    const bool oneColor =
        std::all_of(colors.begin(), colors.end(), [&](Argb c) { return c == colors.front(); });
    if (oneColor)
        paintFan(cr, brush, margin);
    else
        paintMesh(cr, brush, margin);
}

void GradientPainter::paintFan(cairo_t* cr, const PathGradientBrush& brush, float margin) {
    // With one surround colour the blend along each ray depends only on how far along the ray
    // a point is, and inside one fan triangle that is constant on lines parallel to its
    // boundary edge: a linear gradient from the centre to the edge's line. The triangles are
    // drawn aliased with SOURCE so shared edges neither gap nor double up; the caller's
    // anti-aliased fill supplies the smooth outline.
    const PointF c = brush.centerPoint();
    const std::vector<PointF>& boundary = brush.boundary();
    const std::vector<PointF> wide = widenedBoundary(boundary, c, margin);
    const Argb inner = brush.centerColor();
    const Argb outer = brush.surroundColor(0);
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    const std::size_t n = boundary.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        const PointF a = boundary[i];
        const PointF b = boundary[j];
        const float ex = b.x - a.x;
        const float ey = b.y - a.y;
        const float edge2 = ex * ex + ey * ey;
        if (edge2 <= 1e-12f)
            continue;
        // Foot of the perpendicular from the centre onto the edge's line.
        const float t = ((c.x - a.x) * ex + (c.y - a.y) * ey) / edge2;
        const PointF foot{a.x + t * ex, a.y + t * ey};
        if (std::hypot(foot.x - c.x, foot.y - c.y) < 1e-4f)
            continue; // the centre lies on this edge: the triangle has no area
        PatternHandle gradient(cairo_pattern_create_linear(c.x, c.y, foot.x, foot.y));
        addStop(gradient.get(), 0, inner);
        addStop(gradient.get(), 1, outer);
        cairo_pattern_set_extend(gradient.get(), CAIRO_EXTEND_PAD);
        cairo_set_source(cr, gradient.get());
        cairo_new_path(cr);
        cairo_move_to(cr, c.x, c.y);
        cairo_line_to(cr, wide[i].x, wide[i].y);
        cairo_line_to(cr, wide[j].x, wide[j].y);
        cairo_close_path(cr);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void GradientPainter::paintMesh(cairo_t* cr, const PathGradientBrush& brush, float margin) {
    PatternHandle mesh(cairo_pattern_create_mesh());
    const PointF c = brush.centerPoint();
    const Argb cc = brush.centerColor();
    const std::vector<PointF> wide = widenedBoundary(brush.boundary(), c, margin);
    const auto corner = [&](unsigned index, Argb color) {
        cairo_mesh_pattern_set_corner_color_rgba(mesh.get(), index, redOf(color) / 255.0,
                                                 greenOf(color) / 255.0, blueOf(color) / 255.0,
                                                 alphaOf(color) / 255.0);
    };
    // Colours run linearly from the centre to each boundary point and along the edges
    // between them. The widened points carry the boundary's colours a little further.
    const std::size_t n = wide.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        cairo_mesh_pattern_begin_patch(mesh.get());
        cairo_mesh_pattern_move_to(mesh.get(), c.x, c.y);
        cairo_mesh_pattern_line_to(mesh.get(), wide[i].x, wide[i].y);
        cairo_mesh_pattern_line_to(mesh.get(), wide[j].x, wide[j].y);
        corner(0, cc);
        corner(1, brush.surroundColor(i));
        corner(2, brush.surroundColor(j));
        corner(3, cc);
        cairo_mesh_pattern_end_patch(mesh.get());
    }
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source(cr, mesh.get());
    cairo_paint(cr);
    cairo_restore(cr);
}

} // namespace gfx
