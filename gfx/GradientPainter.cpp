#include "gfx/GradientPainter.h"

#include "gfx/CairoDraw.h"

#include <algorithm>
#include <cmath>

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

void clipToPath(cairo_t* cr, const Path& path) {
    cairo_new_path(cr);
    CairoDraw::appendPath(cr, path);
    cairo_set_fill_rule(cr, CairoDraw::fillRule(path));
    cairo_clip(cr);
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

bool inside(const RectF& outer, const RectF& inner) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.right() <= outer.right() &&
           inner.bottom() <= outer.bottom();
}

// A brush made from a broken outline has no colours to give.
bool paintable(const PathGradientBrush& brush, const Path& path) {
    const auto finite = [](PointF p) { return std::isfinite(p.x) && std::isfinite(p.y); };
    return brush.boundary().size() >= 2 && !path.empty() && finite(brush.centerPoint()) &&
           std::all_of(brush.boundary().begin(), brush.boundary().end(), finite);
}

// The brush's own outline as the current path.
void appendBoundary(cairo_t* cr, const PathGradientBrush& brush) {
    cairo_new_path(cr);
    const auto& b = brush.boundary();
    for (std::size_t i = 0; i < b.size(); ++i)
        (i == 0 ? cairo_move_to : cairo_line_to)(cr, b[i].x, b[i].y);
    cairo_close_path(cr);
}

bool oneSurroundColor(const PathGradientBrush& brush) {
    const auto& colors = brush.surroundColors();
    return std::all_of(colors.begin(), colors.end(), [&](Argb c) { return c == colors.front(); });
}

// Margin in device pixels by which colours reach past the boundary, under the path's
// anti-aliased edge.
constexpr float kMarginPixels = 2.0f;

// The gradient of the fan's triangle from the centre c over the boundary edge from a to b: from
// c (all centre colour) to c plus toSurround (all surround colour), a vector square to the edge.
// The surround colour is reached half a device pixel (rim) inside the edge, so the pixels along
// the rim take exactly that colour rather than a rounding step short of it. False where the
// triangle has no area (the edge is a point, or the centre lies on its line).
bool fanGradient(PointF c, PointF a, PointF b, float rim, PointF& toSurround) {
    const float ex = b.x - a.x;
    const float ey = b.y - a.y;
    const float edge2 = ex * ex + ey * ey;
    if (edge2 <= 1e-12f)
        return false;
    // Foot of the perpendicular from the centre onto the edge's line.
    const float t = ((c.x - a.x) * ex + (c.y - a.y) * ey) / edge2;
    const PointF foot{a.x + t * ex, a.y + t * ey};
    const float reach = std::hypot(foot.x - c.x, foot.y - c.y);
    if (reach < 1e-4f)
        return false;
    const float end = std::max(reach - rim, reach / 2) / reach;
    toSurround = {(foot.x - c.x) * end, (foot.y - c.y) * end};
    return true;
}

// Hands each of the fan's triangles that has an area, in boundary order, to triangle: the
// boundary edge's ends widened by the margin (the third corner is the centre) and the gradient
// of fanGradient, for a device pixel of the given size in world units.
template <typename Triangle>
void forEachFanTriangle(const PathGradientBrush& brush, float pixel, Triangle triangle) {
    const PointF c = brush.centerPoint();
    const std::vector<PointF>& boundary = brush.boundary();
    const std::vector<PointF> wide = widenedBoundary(boundary, c, kMarginPixels * pixel);
    const float rim = pixel / 2;
    const std::size_t n = boundary.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        PointF toSurround;
        if (fanGradient(c, boundary[i], boundary[j], rim, toSurround))
            triangle(wide[i], wide[j], toSurround);
    }
}

} // namespace

void GradientPainter::SurfaceDeleter::operator()(cairo_surface_t* s) const {
    cairo_surface_destroy(s);
}

GradientPainter::Placement GradientPainter::placementOf(const Matrix& device) {
    const auto split = [](float v, int& whole, int& quarter) {
        const double f = std::floor(static_cast<double>(v));
        whole = static_cast<int>(std::clamp(f, -1e9, 1e9));
        quarter = static_cast<int>(std::lround((static_cast<double>(v) - f) * 4));
        if (quarter == 4) {
            ++whole;
            quarter = 0;
        }
    };
    Placement p;
    split(device.dx(), p.wholeX, p.quarterX);
    split(device.dy(), p.wholeY, p.quarterY);
    return p;
}

const GradientPainter::Entry* GradientPainter::weightsFor(const PathGradientBrush& brush,
                                                          const Matrix& device, const Path* cut) {
    const Placement place = placementOf(device);
    Key key;
    key.boundary = brush.boundary();
    key.center = brush.centerPoint();
    key.m11 = device.m11();
    key.m12 = device.m12();
    key.m21 = device.m21();
    key.m22 = device.m22();
    key.quarterX = place.quarterX;
    key.quarterY = place.quarterY;
    if (cut != nullptr) {
        key.pathPoints.assign(cut->points().begin(), cut->points().end());
        key.pathTypes.assign(cut->types().begin(), cut->types().end());
        key.evenOdd = cut->fillMode() == FillMode::Alternate;
    }
    ++uses_;
    for (Entry& e : cache_) {
        if (e.key == key) {
            e.lastUse = uses_;
            return &e;
        }
    }

    // Render the mask with the translation's whole pixels taken out.
    const Matrix local(device.m11(), device.m12(), device.m21(), device.m22(),
                       static_cast<float>(place.quarterX) / 4, static_cast<float>(place.quarterY) / 4);
    const float pixel = 1.0f / CairoDraw::deviceScale(device);
    std::vector<PointF> corners =
        widenedBoundary(brush.boundary(), brush.centerPoint(), kMarginPixels * pixel);
    corners.push_back(brush.centerPoint());
    for (PointF& p : corners)
        p = local.apply(p);
    const RectF box = extentOf(corners).rect();
    if (!std::isfinite(box.x) || !std::isfinite(box.y) || !std::isfinite(box.width) ||
        !std::isfinite(box.height))
        return nullptr;
    const double left = std::floor(box.x) - 1;
    const double top = std::floor(box.y) - 1;
    const double width = std::ceil(box.right()) + 1 - left;
    const double height = std::ceil(box.bottom()) + 1 - top;
    if (width <= 0 || height <= 0 || width * height > static_cast<double>(kMaxMaskPixels))
        return nullptr;

    Entry entry;
    entry.key = std::move(key);
    entry.offsetX = static_cast<int>(left);
    entry.offsetY = static_cast<int>(top);
    entry.width = static_cast<int>(width);
    entry.height = static_cast<int>(height);
    entry.lastUse = uses_;
    entry.weights.reset(cairo_image_surface_create(CAIRO_FORMAT_A8, entry.width, entry.height));
    if (cairo_surface_status(entry.weights.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    Matrix toMask = local;
    toMask.translate(-static_cast<float>(left), -static_cast<float>(top), MatrixOrder::Append);
    cairo_surface_flush(entry.weights.get());
    fanWeights(cairo_image_surface_get_data(entry.weights.get()),
               cairo_image_surface_get_stride(entry.weights.get()), entry.width, entry.height, brush, pixel,
               toMask);
    cairo_surface_mark_dirty(entry.weights.get());
    if (cut != nullptr) {
        // Keep the weights only inside the path (and the brush's own outline).
        cairo_t* mask = cairo_create(entry.weights.get());
        CairoDraw::setMatrix(mask, toMask);
        cairo_set_operator(mask, CAIRO_OPERATOR_DEST_IN);
        cairo_set_source_rgba(mask, 0, 0, 0, 1);
        if (!inside(extentOf(brush.boundary()).rect(), cut->bounds())) {
            appendBoundary(mask, brush);
            cairo_fill(mask);
        }
        cairo_new_path(mask);
        CairoDraw::appendPath(mask, *cut);
        cairo_set_fill_rule(mask, CairoDraw::fillRule(*cut));
        cairo_fill(mask);
        cairo_destroy(mask);
    }
    cairo_surface_flush(entry.weights.get());

    if (cache_.size() >= kCacheEntries) {
        const auto oldest =
            std::min_element(cache_.begin(), cache_.end(),
                             [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
        cache_.erase(oldest);
    }
    cache_.push_back(std::move(entry));
    return &cache_.back();
}

void GradientPainter::fill(cairo_t* cr, const PathGradientBrush& brush, const Path& path,
                           const Matrix& device) {
    if (!paintable(brush, path))
        return;
    const Entry* entry = oneSurroundColor(brush) ? weightsFor(brush, device, nullptr) : nullptr;
    if (!entry) {
        fillDirect(cr, brush, path, 1.0f / CairoDraw::deviceScale(device));
        return;
    }
    const Placement place = placementOf(device);
    const Argb inner = brush.centerColor();
    const Argb outer = brush.surroundColor(0);
    const double x = place.wholeX + entry->offsetX;
    const double y = place.wholeY + entry->offsetY;

    cairo_save(cr);
    // The brush paints only over its own area.
    if (!inside(extentOf(brush.boundary()).rect(), path.bounds())) {
        appendBoundary(cr, brush);
        cairo_clip(cr);
    }
    clipToPath(cr, path);
    cairo_identity_matrix(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, x, y, entry->width, entry->height);
    cairo_clip(cr);
    // Result: inner x weight + outer x (1 - weight), over what is there.
    if (alphaOf(outer) == 0) {
        CairoDraw::setColor(cr, inner);
        cairo_mask_surface(cr, entry->weights.get(), x, y);
    } else if (alphaOf(inner) == 0xff) {
        // An opaque centre colour replaces in proportion to its weight.
        CairoDraw::setColor(cr, outer);
        cairo_paint(cr);
        CairoDraw::setColor(cr, inner);
        cairo_mask_surface(cr, entry->weights.get(), x, y);
    } else {
        cairo_push_group(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        CairoDraw::setColor(cr, outer);
        cairo_paint(cr);
        CairoDraw::setColor(cr, inner);
        cairo_mask_surface(cr, entry->weights.get(), x, y);
        cairo_pop_group_to_source(cr);
        cairo_paint(cr);
    }
    cairo_restore(cr);
}

bool GradientPainter::fillFading(cairo_t* cr, const PathGradientBrush& brush, const Path& path,
                                 const Matrix& device) {
    if (!paintable(brush, path) || !oneSurroundColor(brush) || alphaOf(brush.surroundColor(0)) != 0)
        return false;
    const Entry* entry = weightsFor(brush, device, &path);
    if (!entry)
        return false;
    const Placement place = placementOf(device);
    const double x = place.wholeX + entry->offsetX;
    const double y = place.wholeY + entry->offsetY;
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, x, y, entry->width, entry->height);
    cairo_clip(cr);
    CairoDraw::setColor(cr, brush.centerColor());
    cairo_mask_surface(cr, entry->weights.get(), x, y);
    cairo_restore(cr);
    return true;
}

void GradientPainter::fillDirect(cairo_t* cr, const PathGradientBrush& brush, const Path& path, float pixel) {
    const float margin = kMarginPixels * pixel;
    // The colours are painted into a group no larger than the path, then the path's
    // anti-aliased outline cuts them out.
    const RectF area = path.bounds();
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, area.x - margin, area.y - margin, area.width + 2 * margin, area.height + 2 * margin);
    cairo_clip(cr);
    cairo_push_group(cr);
    if (oneSurroundColor(brush))
        paintFan(cr, brush, pixel, brush.centerColor(), brush.surroundColor(0));
    else
        paintMesh(cr, brush, pixel);
    cairo_pop_group_to_source(cr);
    cairo_new_path(cr);
    CairoDraw::appendPath(cr, path);
    cairo_set_fill_rule(cr, CairoDraw::fillRule(path));
    cairo_fill(cr);
    cairo_restore(cr);
}

void GradientPainter::paintFan(cairo_t* cr, const PathGradientBrush& brush, float pixel, Argb inner,
                               Argb outer) {
    // With one surround colour the blend along each ray depends only on how far along the ray
    // a point is, and inside one fan triangle that is constant on lines parallel to its
    // boundary edge: a linear gradient from the centre to the edge's line. The triangles are
    // drawn aliased with SOURCE so shared edges neither gap nor double up; the caller's
    // anti-aliased fill supplies the smooth outline.
    const PointF c = brush.centerPoint();
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    forEachFanTriangle(brush, pixel, [&](PointF a, PointF b, PointF toSurround) {
        PatternHandle gradient(cairo_pattern_create_linear(c.x, c.y, c.x + toSurround.x, c.y + toSurround.y));
        addStop(gradient.get(), 0, inner);
        addStop(gradient.get(), 1, outer);
        cairo_pattern_set_extend(gradient.get(), CAIRO_EXTEND_PAD);
        cairo_set_source(cr, gradient.get());
        cairo_new_path(cr);
        cairo_move_to(cr, c.x, c.y);
        cairo_line_to(cr, a.x, a.y);
        cairo_line_to(cr, b.x, b.y);
        cairo_close_path(cr);
        cairo_fill(cr);
    });
    cairo_restore(cr);
}

void GradientPainter::fanWeights(std::uint8_t* data, int stride, int width, int height,
                                 const PathGradientBrush& brush, float pixel, const Matrix& toMask) {
    // The fan of paintFan, triangle by triangle, each pixel whose centre lies in a triangle
    // taking its linear gradient there (a later triangle over an earlier one): the same
    // picture without Cairo's work over each triangle's whole box, which for a long glow seen
    // from one end is nearly the whole picture every time.
    const PointF centre = toMask.apply(brush.centerPoint());
    // Where the line y crosses the edge from p to q, if it does (the lower end counts, the
    // upper does not): a side two triangles share is crossed at the very same x for both.
    const auto crossing = [](PointF p, PointF q, float y, float& x) {
        if ((p.y <= y) == (q.y <= y))
            return false;
        x = p.x + (y - p.y) * (q.x - p.x) / (q.y - p.y);
        return true;
    };
    const auto centreAtOrAfter = [](float v) {
        return static_cast<int>(std::ceil(std::clamp(v - 0.5f, -1e9f, 1e9f)));
    };
    forEachFanTriangle(brush, pixel, [&](PointF a, PointF b, PointF g) {
        // The weight falls from 1 at the centre to 0 at the centre plus g, and keeps along
        // the perpendicular of g; in the picture's pixels along their images.
        const PointF along = toMask.applyVector(g);
        const PointF across = toMask.applyVector({-g.y, g.x});
        const float det = along.x * across.y - along.y * across.x;
        const float perX = across.y / det;
        const float perY = -across.x / det;
        // A triangle squashed to nothing at this scale has no pixels to weigh.
        if (!std::isfinite(perX) || !std::isfinite(perY))
            return;
        const PointF p = toMask.apply(a);
        const PointF q = toMask.apply(b);
        const float top = std::min({centre.y, p.y, q.y});
        const float bottom = std::max({centre.y, p.y, q.y});
        const int rowEnd = std::min(height, centreAtOrAfter(bottom) + 1);
        for (int row = std::max(0, centreAtOrAfter(top)); row < rowEnd; ++row) {
            const float y = static_cast<float>(row) + 0.5f;
            float xs[3];
            int found = 0;
            found += crossing(centre, p, y, xs[found]) ? 1 : 0;
            found += crossing(centre, q, y, xs[found]) ? 1 : 0;
            found += crossing(p, q, y, xs[found]) ? 1 : 0;
            if (found < 2)
                continue;
            const float lo = std::min(xs[0], xs[1]);
            const float hi = std::max(xs[0], xs[1]);
            const int first = std::max(0, centreAtOrAfter(lo));
            const int last = std::min(width, centreAtOrAfter(hi));
            std::uint8_t* cells = data + static_cast<std::ptrdiff_t>(row) * stride;
            const float dy = y - centre.y;
            for (int x = first; x < last; ++x) {
                const float s = perX * (static_cast<float>(x) + 0.5f - centre.x) + perY * dy;
                cells[x] = static_cast<std::uint8_t>((1 - std::clamp(s, 0.0f, 1.0f)) * 255.0f + 0.5f);
            }
        }
    });
}

void GradientPainter::paintMesh(cairo_t* cr, const PathGradientBrush& brush, float pixel) {
    PatternHandle mesh(cairo_pattern_create_mesh());
    const PointF c = brush.centerPoint();
    const Argb cc = brush.centerColor();
    const std::vector<PointF> wide = widenedBoundary(brush.boundary(), c, kMarginPixels * pixel);
    const auto corner = [&](unsigned index, Argb color) {
        cairo_mesh_pattern_set_corner_color_rgba(mesh.get(), index, redOf(color) / 255.0,
                                                 greenOf(color) / 255.0, blueOf(color) / 255.0,
                                                 alphaOf(color) / 255.0);
    };
    // Colours run linearly from the centre to each boundary point and along the edges
    // between them; the widened points carry the boundary's colours a little further.
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
