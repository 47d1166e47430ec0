#include "gfx/Stroker.h"

#include "gfx/CairoDraw.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace gfx {

namespace {

bool isClosedFigure(const Path& figure) {
    return !figure.types().empty() && (figure.types().back() & kCloseFlag) != 0;
}

void appendPolyline(cairo_t* cr, const std::vector<PointF>& pts) {
    for (std::size_t i = 0; i < pts.size(); ++i) {
        if (i == 0)
            cairo_move_to(cr, pts[i].x, pts[i].y);
        else
            cairo_line_to(cr, pts[i].x, pts[i].y);
    }
}

PointF unitOr(PointF v, PointF fallback) {
    const float len = std::hypot(v.x, v.y);
    return len > 1e-6f ? PointF{v.x / len, v.y / len} : fallback;
}

// Outward direction at the end of a polyline: from the first point that differs.
PointF endDirection(const std::vector<PointF>& pts, bool atStart) {
    const std::size_t n = pts.size();
    const PointF end = atStart ? pts.front() : pts.back();
    for (std::size_t k = 1; k < n; ++k) {
        const PointF other = atStart ? pts[k] : pts[n - 1 - k];
        if (other != end)
            return unitOr({end.x - other.x, end.y - other.y}, {1, 0});
    }
    return {atStart ? -1.0f : 1.0f, 0};
}

// Removes length from one end of a polyline, so a line does not poke out of an arrow head.
void trimEnd(std::vector<PointF>& pts, float length, bool atStart) {
    if (atStart)
        std::reverse(pts.begin(), pts.end());
    float left = length;
    while (pts.size() >= 2 && left > 0) {
        const PointF a = pts[pts.size() - 2];
        const PointF b = pts.back();
        const float seg = std::hypot(b.x - a.x, b.y - a.y);
        if (seg > left) {
            const float t = (seg - left) / seg;
            pts.back() = {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
            break;
        }
        left -= seg;
        pts.pop_back();
    }
    if (pts.size() < 2)
        pts.clear();
    if (atStart)
        std::reverse(pts.begin(), pts.end());
}

void appendCapShape(cairo_t* cr, LineCap cap, PointF end, PointF dir, float width) {
    switch (cap) {
    case LineCap::Flat:
        return;
    case LineCap::Round:
        cairo_new_sub_path(cr);
        cairo_arc(cr, end.x, end.y, width / 2, 0, 2 * std::numbers::pi);
        cairo_close_path(cr);
        return;
    case LineCap::RoundAnchor:
        cairo_new_sub_path(cr);
        cairo_arc(cr, end.x, end.y, Pen::anchorSize(width) / 2, 0, 2 * std::numbers::pi);
        cairo_close_path(cr);
        return;
    case LineCap::ArrowAnchor: {
        const float size = Pen::anchorSize(width);
        const PointF base{end.x - dir.x * size, end.y - dir.y * size};
        const PointF side{-dir.y * size / 2, dir.x * size / 2};
        cairo_move_to(cr, end.x, end.y);
        cairo_line_to(cr, base.x + side.x, base.y + side.y);
        cairo_line_to(cr, base.x - side.x, base.y - side.y);
        cairo_close_path(cr);
        return;
    }
    }
}

} // namespace

void Stroker::stroke(cairo_t* cr, const Pen& pen, const Path& path, const Matrix& device) {
    if (pen.alignment() == PenAlignment::Inset)
        strokeInset(cr, pen, path, device);
    else
        strokeCentred(cr, pen, path, device);
}

void Stroker::setLineStyle(cairo_t* cr, const Pen& pen, float widthFactor) {
    double width = static_cast<double>(pen.width()) * widthFactor;
    if (width <= 0) {
        // A zero-width pen draws a hairline one device pixel wide.
        double dx = 1;
        double dy = 0;
        cairo_device_to_user_distance(cr, &dx, &dy);
        width = std::hypot(dx, dy) * widthFactor;
    }
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr,
                        pen.lineJoin() == LineJoin::Round ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_MITER);
}

void Stroker::strokeCentred(cairo_t* cr, const Pen& pen, const Path& path, const Matrix& device) {
    const LineCap start = pen.startCap();
    const LineCap end = pen.endCap();
    const bool plainCaps = start == end && (start == LineCap::Flat || start == LineCap::Round);
    if (!plainCaps) {
        strokeWithCapShapes(cr, pen, path, device);
        return;
    }
    CairoDraw::setColor(cr, pen.color());
    setLineStyle(cr, pen, 1.0f);
    cairo_set_line_cap(cr, start == LineCap::Round ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
    cairo_new_path(cr);
    CairoDraw::appendPath(cr, path);
    cairo_stroke(cr);
}

void Stroker::strokeWithCapShapes(cairo_t* cr, const Pen& pen, const Path& path, const Matrix& device) {
    const Argb color = pen.color();
    // Caps are shapes of their own; drawn opaque into a group and blended once, a see-through
    // pen does not show darker seams where a cap overlaps its line.
    const bool seeThrough = alphaOf(color) != 0xff;
    if (seeThrough) {
        // The group need be no larger than what the pen can reach.
        const RectF reach = path.bounds(pen);
        cairo_save(cr);
        cairo_new_path(cr);
        cairo_rectangle(cr, reach.x, reach.y, reach.width, reach.height);
        cairo_clip(cr);
        cairo_push_group(cr);
        CairoDraw::setColor(cr, color | 0xff000000u);
    } else {
        CairoDraw::setColor(cr, color);
    }
    setLineStyle(cr, pen, 1.0f);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    const float width = static_cast<float>(cairo_get_line_width(cr));
    const float tolerance = 0.2f / CairoDraw::deviceScale(device);

    cairo_new_path(cr);
    struct Ends {
        PointF start, startDir, end, endDir;
    };
    std::vector<Ends> ends;
    for (const Path& figure : path.figures()) {
        if (isClosedFigure(figure)) {
            CairoDraw::appendPath(cr, figure);
            continue;
        }
        auto polys = figure.flatten(tolerance);
        if (polys.empty() || polys.front().points.empty())
            continue;
        std::vector<PointF>& pts = polys.front().points;
        ends.push_back({pts.front(), endDirection(pts, true), pts.back(), endDirection(pts, false)});
        // Lines stop inside an arrow head, short of its tip.
        const float trim = Pen::anchorSize(width) * 0.75f;
        if (pen.startCap() == LineCap::ArrowAnchor)
            trimEnd(pts, trim, true);
        if (pen.endCap() == LineCap::ArrowAnchor)
            trimEnd(pts, trim, false);
        appendPolyline(cr, pts);
    }
    cairo_stroke(cr);
    for (const Ends& e : ends) {
        appendCapShape(cr, pen.startCap(), e.start, e.startDir, width);
        appendCapShape(cr, pen.endCap(), e.end, e.endDir, width);
    }
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr);
    if (seeThrough) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, alphaOf(color) / 255.0);
        cairo_restore(cr);
    }
}

void Stroker::strokeInset(cairo_t* cr, const Pen& pen, const Path& path, const Matrix& device) {
    Path open(path.fillMode());
    for (const Path& figure : path.figures()) {
        if (!isClosedFigure(figure)) {
            open.addPath(figure);
            continue;
        }
        // Twice the width, cut down to the figure: only the inner half remains.
        cairo_save(cr);
        cairo_new_path(cr);
        CairoDraw::appendPath(cr, figure);
        cairo_set_fill_rule(cr, CairoDraw::fillRule(path));
        cairo_clip(cr);
        CairoDraw::setColor(cr, pen.color());
        setLineStyle(cr, pen, 2.0f);
        cairo_new_path(cr);
        CairoDraw::appendPath(cr, figure);
        cairo_stroke(cr);
        cairo_restore(cr);
    }
    if (!open.empty())
        strokeCentred(cr, pen, open, device);
}

} // namespace gfx
