#include "gfx/Graphics.h"

#include "gfx/GradientPainter.h"
#include "gfx/Surface.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace gfx {

namespace {

struct RegionDeleter {
    void operator()(cairo_region_t* r) const { cairo_region_destroy(r); }
};
using RegionHandle = std::unique_ptr<cairo_region_t, RegionDeleter>;

cairo_rectangle_int_t toCairo(RectI r) {
    return {r.x, r.y, r.width, r.height};
}

RegionHandle regionOf(const std::vector<RectI>& rects) {
    std::vector<cairo_rectangle_int_t> boxes;
    boxes.reserve(rects.size());
    for (RectI r : rects)
        boxes.push_back(toCairo(r));
    return RegionHandle(cairo_region_create_rectangles(boxes.data(), static_cast<int>(boxes.size())));
}

std::vector<RectI> rectsOf(const cairo_region_t* region) {
    std::vector<RectI> rects;
    const int n = cairo_region_num_rectangles(region);
    rects.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        cairo_rectangle_int_t r;
        cairo_region_get_rectangle(region, i, &r);
        rects.push_back({r.x, r.y, r.width, r.height});
    }
    return rects;
}

void setColor(cairo_t* cr, Argb color) {
    cairo_set_source_rgba(cr, redOf(color) / 255.0, greenOf(color) / 255.0, blueOf(color) / 255.0,
                          alphaOf(color) / 255.0);
}

void setMatrix(cairo_t* cr, const Matrix& m) {
    cairo_matrix_t cm;
    cairo_matrix_init(&cm, m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy());
    cairo_set_matrix(cr, &cm);
}

// Adds the path's figures to the current Cairo path. Fills close every figure; strokes
// close only the figures that are closed.
void appendPath(cairo_t* cr, const Path& path) {
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

void appendPolyline(cairo_t* cr, const std::vector<PointF>& pts) {
    for (std::size_t i = 0; i < pts.size(); ++i) {
        if (i == 0)
            cairo_move_to(cr, pts[i].x, pts[i].y);
        else
            cairo_line_to(cr, pts[i].x, pts[i].y);
    }
}

cairo_fill_rule_t fillRuleOf(const Path& path) {
    return path.fillMode() == FillMode::Alternate ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING;
}

bool isClosedFigure(const Path& figure) {
    return !figure.types().empty() && (figure.types().back() & kCloseFlag) != 0;
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
        cairo_arc(cr, end.x, end.y, width / 2, 0, 2 * M_PI);
        cairo_close_path(cr);
        return;
    case LineCap::RoundAnchor:
        cairo_new_sub_path(cr);
        cairo_arc(cr, end.x, end.y, Pen::anchorSize(width) / 2, 0, 2 * M_PI);
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

// Slack when snapping clip edges to pixels, and the largest device coordinate a clip holds.
constexpr double kSnapSlack = 1e-3;
constexpr double kDeviceLimit = 1 << 28;

// Device pixels per world unit along the transform's average axis.
float deviceScaleOf(const Matrix& m) {
    const float det = std::abs(m.m11() * m.m22() - m.m12() * m.m21());
    return det > 0 ? std::sqrt(det) : 1.0f;
}

} // namespace

Graphics::Graphics(Surface& target) : target_(target) {
    if (!target.valid()) {
        lastStatus_ = Status::InvalidParameter;
        return;
    }
    cr_ = cairo_create(target.handle());
    if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(cr_);
        cr_ = nullptr;
        lastStatus_ = Status::OutOfMemory;
        return;
    }
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_DEFAULT);
    cairo_set_miter_limit(cr_, Pen::kMiterLimit);
}

Graphics::~Graphics() {
    if (cr_)
        cairo_destroy(cr_);
}

bool Graphics::ready() {
    if (!cr_) {
        recordStatus(Status::WrongState);
        return false;
    }
    if (stateDirty_)
        applyState();
    return drawable_;
}

bool Graphics::ready(const Path& path) {
    if (!ready() || path.empty())
        return false;
    const auto pts = path.points();
    if (!std::all_of(pts.begin(), pts.end(),
                     [](PointF p) { return std::isfinite(p.x) && std::isfinite(p.y); })) {
        recordStatus(Status::InvalidParameter);
        return false;
    }
    return true;
}

void Graphics::finish() {
    if (cairo_status(cr_) == CAIRO_STATUS_SUCCESS)
        return;
    // Cairo refuses all further work on a context that failed once; start a fresh one so
    // that one bad frame does not blank the rest of the game.
    recordStatus(Status::GenericError);
    cairo_destroy(cr_);
    cr_ = cairo_create(target_.handle());
    cairo_set_miter_limit(cr_, Pen::kMiterLimit);
    stateDirty_ = true;
}

void Graphics::clear(Argb color) {
    if (!cr_) {
        recordStatus(Status::WrongState);
        return;
    }
    cairo_save(cr_);
    cairo_reset_clip(cr_);
    cairo_identity_matrix(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
    setColor(cr_, color);
    cairo_paint(cr_);
    cairo_restore(cr_);
}

Matrix Graphics::deviceTransform() const {
    Matrix m = transform_;
    m.multiply(base_, MatrixOrder::Append);
    return m;
}

void Graphics::setTransform(const Matrix& m) {
    transform_ = m;
    stateDirty_ = true;
}

void Graphics::scaleTransform(float sx, float sy, MatrixOrder order) {
    transform_.scale(sx, sy, order);
    stateDirty_ = true;
}

void Graphics::translateTransform(float dx, float dy, MatrixOrder order) {
    transform_.translate(dx, dy, order);
    stateDirty_ = true;
}

void Graphics::multiplyTransform(const Matrix& m, MatrixOrder order) {
    transform_.multiply(m, order);
    stateDirty_ = true;
}

int Graphics::beginContainer() {
    containers_.push_back({base_, baseClip_, transform_, clip_});
    base_ = deviceTransform();
    baseClip_ = effectiveClip();
    transform_ = Matrix{};
    clip_ = ClipArea{};
    stateDirty_ = true;
    return static_cast<int>(containers_.size());
}

void Graphics::endContainer(int container) {
    if (container < 1 || static_cast<std::size_t>(container) > containers_.size()) {
        recordStatus(Status::InvalidParameter);
        return;
    }
    const Saved saved = containers_[static_cast<std::size_t>(container) - 1];
    containers_.resize(static_cast<std::size_t>(container) - 1);
    base_ = saved.base;
    baseClip_ = saved.baseClip;
    transform_ = saved.transform;
    clip_ = saved.clip;
    stateDirty_ = true;
}

void Graphics::setClip(RectI worldRect, CombineMode mode) {
    // Snap outward; the small slack keeps a float product like 20.000002 from growing a pixel.
    const Matrix m = deviceTransform();
    const float x0 = static_cast<float>(worldRect.x);
    const float y0 = static_cast<float>(worldRect.y);
    const float x1 = static_cast<float>(worldRect.right());
    const float y1 = static_cast<float>(worldRect.bottom());
    float left = 0, top = 0, right = 0, bottom = 0;
    bool first = true;
    for (PointF corner : {PointF{x0, y0}, PointF{x1, y0}, PointF{x0, y1}, PointF{x1, y1}}) {
        const PointF d = m.apply(corner);
        left = first ? d.x : std::min(left, d.x);
        top = first ? d.y : std::min(top, d.y);
        right = first ? d.x : std::max(right, d.x);
        bottom = first ? d.y : std::max(bottom, d.y);
        first = false;
    }
    const auto snapDown = [](float v) {
        return static_cast<int>(std::clamp(std::floor(v + kSnapSlack), -kDeviceLimit, kDeviceLimit));
    };
    const auto snapUp = [](float v) {
        return static_cast<int>(std::clamp(std::ceil(v - kSnapSlack), -kDeviceLimit, kDeviceLimit));
    };
    RectI device{snapDown(left), snapDown(top), 0, 0};
    device.width = std::max(0, snapUp(right) - device.x);
    device.height = std::max(0, snapUp(bottom) - device.y);
    if (worldRect.isEmpty())
        device.width = device.height = 0;

    RegionHandle region = clip_.infinite ? nullptr : regionOf(clip_.rects);
    const cairo_rectangle_int_t box = toCairo(device);
    switch (mode) {
    case CombineMode::Replace:
        region = RegionHandle(device.isEmpty() ? cairo_region_create() : cairo_region_create_rectangle(&box));
        break;
    case CombineMode::Union:
        if (region && !device.isEmpty())
            cairo_region_union_rectangle(region.get(), &box);
        break;
    case CombineMode::Exclude:
        if (!region) {
            // Everything outside the rectangle; the surface is all there is to draw on.
            const cairo_rectangle_int_t all{0, 0, target_.width(), target_.height()};
            region = RegionHandle(cairo_region_create_rectangle(&all));
        }
        if (!device.isEmpty())
            cairo_region_subtract_rectangle(region.get(), &box);
        break;
    case CombineMode::Intersect:
        if (!region)
            region =
                RegionHandle(device.isEmpty() ? cairo_region_create() : cairo_region_create_rectangle(&box));
        else
            cairo_region_intersect_rectangle(region.get(), &box);
        break;
    }
    if (region) {
        clip_.infinite = false;
        clip_.rects = rectsOf(region.get());
    }
    stateDirty_ = true;
}

void Graphics::resetClip() {
    clip_ = ClipArea{};
    stateDirty_ = true;
}

Graphics::ClipArea Graphics::effectiveClip() const {
    if (baseClip_.infinite)
        return clip_;
    if (clip_.infinite)
        return baseClip_;
    RegionHandle a = regionOf(baseClip_.rects);
    RegionHandle b = regionOf(clip_.rects);
    cairo_region_intersect(a.get(), b.get());
    return {false, rectsOf(a.get())};
}

bool Graphics::hasClip() const {
    return !baseClip_.infinite || !clip_.infinite;
}

std::vector<RectI> Graphics::clipRects() const {
    return effectiveClip().rects;
}

void Graphics::applyState() {
    cairo_reset_clip(cr_);
    const ClipArea clip = effectiveClip();
    if (!clip.infinite) {
        cairo_identity_matrix(cr_);
        cairo_new_path(cr_);
        for (RectI r : clip.rects)
            cairo_rectangle(cr_, r.x, r.y, r.width, r.height);
        if (clip.rects.empty())
            cairo_rectangle(cr_, 0, 0, 0, 0);
        cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
        cairo_clip(cr_);
    }
    // A zero scale (a minimised window) draws nothing, and Cairo must not see it: a
    // singular matrix would put the context out of action for good.
    const Matrix device = deviceTransform();
    const float det = device.m11() * device.m22() - device.m12() * device.m21();
    drawable_ = std::isfinite(det) && std::abs(det) > 1e-12f && std::isfinite(device.dx()) &&
                std::isfinite(device.dy());
    if (drawable_)
        setMatrix(cr_, device);
    stateDirty_ = false;
}

void Graphics::setLineStyle(const Pen& pen, float widthFactor) {
    double width = static_cast<double>(pen.width()) * widthFactor;
    if (width <= 0) {
        // A zero-width pen draws a hairline one device pixel wide.
        double dx = 1;
        double dy = 0;
        cairo_device_to_user_distance(cr_, &dx, &dy);
        width = std::hypot(dx, dy) * widthFactor;
    }
    cairo_set_line_width(cr_, width);
    cairo_set_line_join(cr_,
                        pen.lineJoin() == LineJoin::Round ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_MITER);
}

void Graphics::drawPath(const Pen& pen, const Path& path) {
    if (!ready(path))
        return;
    if (pen.alignment() == PenAlignment::Inset)
        strokeInset(pen, path);
    else
        strokeCentred(pen, path);
    finish();
}

void Graphics::strokeCentred(const Pen& pen, const Path& path) {
    const LineCap start = pen.startCap();
    const LineCap end = pen.endCap();
    const bool plainCaps = start == end && (start == LineCap::Flat || start == LineCap::Round);
    if (!plainCaps) {
        strokeWithCapShapes(pen, path);
        return;
    }
    setColor(cr_, pen.color());
    setLineStyle(pen, 1.0f);
    cairo_set_line_cap(cr_, start == LineCap::Round ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
    cairo_new_path(cr_);
    appendPath(cr_, path);
    cairo_stroke(cr_);
}

void Graphics::strokeWithCapShapes(const Pen& pen, const Path& path) {
    const Argb color = pen.color();
    // Caps are shapes of their own; drawn opaque into a group and blended once, a see-through
    // pen does not show darker seams where a cap overlaps its line.
    const bool seeThrough = alphaOf(color) != 0xff;
    if (seeThrough) {
        // The group need be no larger than what the pen can reach.
        const RectF reach = path.bounds(pen);
        cairo_save(cr_);
        cairo_new_path(cr_);
        cairo_rectangle(cr_, reach.x, reach.y, reach.width, reach.height);
        cairo_clip(cr_);
        cairo_push_group(cr_);
        setColor(cr_, color | 0xff000000u);
    } else {
        setColor(cr_, color);
    }
    setLineStyle(pen, 1.0f);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
    const float width = static_cast<float>(cairo_get_line_width(cr_));
    const float tolerance = 0.2f / deviceScaleOf(deviceTransform());

    cairo_new_path(cr_);
    struct Ends {
        PointF start, startDir, end, endDir;
    };
    std::vector<Ends> ends;
    for (const Path& figure : path.figures()) {
        if (isClosedFigure(figure)) {
            appendPath(cr_, figure);
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
        appendPolyline(cr_, pts);
    }
    cairo_stroke(cr_);
    for (const Ends& e : ends) {
        appendCapShape(cr_, pen.startCap(), e.start, e.startDir, width);
        appendCapShape(cr_, pen.endCap(), e.end, e.endDir, width);
    }
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr_);
    if (seeThrough) {
        cairo_pop_group_to_source(cr_);
        cairo_paint_with_alpha(cr_, alphaOf(color) / 255.0);
        cairo_restore(cr_);
    }
}

void Graphics::strokeInset(const Pen& pen, const Path& path) {
    Path open(path.fillMode());
    for (const Path& figure : path.figures()) {
        if (!isClosedFigure(figure)) {
            open.addPath(figure);
            continue;
        }
        // Twice the width, cut down to the figure: only the inner half remains.
        cairo_save(cr_);
        cairo_new_path(cr_);
        appendPath(cr_, figure);
        cairo_set_fill_rule(cr_, fillRuleOf(path));
        cairo_clip(cr_);
        setColor(cr_, pen.color());
        setLineStyle(pen, 2.0f);
        cairo_new_path(cr_);
        appendPath(cr_, figure);
        cairo_stroke(cr_);
        cairo_restore(cr_);
    }
    if (!open.empty())
        strokeCentred(pen, open);
}

void Graphics::fillPath(const SolidBrush& brush, const Path& path) {
    if (!ready(path))
        return;
    setColor(cr_, brush.color());
    cairo_new_path(cr_);
    appendPath(cr_, path);
    cairo_set_fill_rule(cr_, fillRuleOf(path));
    cairo_fill(cr_);
    finish();
}

void Graphics::fillPath(const PathGradientBrush& brush, const Path& path) {
    if (!ready(path))
        return;
    gradients_.fill(cr_, brush, path, deviceTransform());
    finish();
}

void Graphics::drawLine(const Pen& pen, PointF a, PointF b) {
    Path path;
    path.addLine(a, b);
    drawPath(pen, path);
}

void Graphics::drawRectangle(const Pen& pen, RectF rect) {
    Path path;
    path.addRectangle(rect);
    drawPath(pen, path);
}

void Graphics::fillRectangle(const SolidBrush& brush, RectF rect) {
    Path path;
    path.addRectangle(rect);
    fillPath(brush, path);
}

void Graphics::fillEllipse(const SolidBrush& brush, RectF rect) {
    Path path;
    path.addEllipse(rect);
    fillPath(brush, path);
}

void Graphics::fillEllipse(const PathGradientBrush& brush, RectF rect) {
    Path path;
    path.addEllipse(rect);
    fillPath(brush, path);
}

void Graphics::flush() {
    if (cr_)
        cairo_surface_flush(target_.handle());
}

} // namespace gfx
