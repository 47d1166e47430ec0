#include "gfx/Graphics.h"

#include "gfx/CairoDraw.h"
#include "gfx/Stroker.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

// The canvas over Cairo: its context, transforms and containers, and the drawing calls; a
// shape the clip would cut is drawn whole on a scratch image and copied back.

namespace gfx {

namespace {

Path rectanglePath(RectF rect) {
    Path path;
    path.addRectangle(rect);
    return path;
}

Path ellipsePath(RectF rect) {
    Path path;
    path.addEllipse(rect);
    return path;
}

} // namespace

Graphics::Graphics(Surface& target) : target_(target) {
    if (!target.valid()) {
        lastStatus_ = Status::InvalidParameter;
        return;
    }
    cr_.reset(cairo_create(target.handle()));
    if (cairo_status(cr_.get()) != CAIRO_STATUS_SUCCESS) {
        cr_.reset();
        lastStatus_ = Status::OutOfMemory;
        return;
    }
    cairo_set_miter_limit(cr_.get(), Pen::kMiterLimit);
    frame_ = {0, 0, target.width(), target.height()};
}

Graphics::~Graphics() = default;

void Graphics::ContextDeleter::operator()(cairo_t* cr) const {
    cairo_destroy(cr);
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
    if (cairo_status(cr_.get()) == CAIRO_STATUS_SUCCESS)
        return;
    // Cairo refuses all further work on a context that failed once; start a fresh one so
    // that one bad frame does not blank the rest of the game.
    recordStatus(Status::GenericError);
    cr_.reset(cairo_create(target_.handle()));
    cairo_set_miter_limit(cr_.get(), Pen::kMiterLimit);
    stateDirty_ = true;
}

void Graphics::clear(Argb color) {
    if (!cr_) {
        recordStatus(Status::WrongState);
        return;
    }
    cairo_t* cr = cr_.get();
    cairo_save(cr);
    cairo_reset_clip(cr);
    cairo_identity_matrix(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    CairoDraw::setColor(cr, color);
    cairo_paint(cr);
    cairo_restore(cr);
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

void Graphics::applyState() {
    cairo_t* cr = cr_.get();
    cairo_reset_clip(cr);
    activeClip_ = effectiveClip();
    if (!activeClip_.infinite) {
        cairo_identity_matrix(cr);
        cairo_new_path(cr);
        for (RectI r : activeClip_.rects)
            cairo_rectangle(cr, r.x, r.y, r.width, r.height);
        if (activeClip_.rects.empty())
            cairo_rectangle(cr, 0, 0, 0, 0);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        cairo_clip(cr);
    }
    // A zero scale (a minimised window) draws nothing, and Cairo must not see it: a
    // singular matrix would put the context out of action for good.
    const Matrix device = deviceTransform();
    const float det = device.m11() * device.m22() - device.m12() * device.m21();
    drawable_ = std::isfinite(det) && std::abs(det) > 1e-12f && std::isfinite(device.dx()) &&
                std::isfinite(device.dy());
    if (drawable_)
        CairoDraw::setMatrix(cr, device);
    stateDirty_ = false;
}

bool Graphics::ensureScratch() {
    if (scratchCr_)
        return true;
    scratch_ = Surface(target_.width(), target_.height());
    if (!scratch_.valid())
        return false;
    scratchCr_.reset(cairo_create(scratch_.handle()));
    if (cairo_status(scratchCr_.get()) != CAIRO_STATUS_SUCCESS) {
        scratchCr_.reset();
        return false;
    }
    cairo_set_miter_limit(scratchCr_.get(), Pen::kMiterLimit);
    return true;
}

// Cairo cuts a shape where the clip's sides pass through it, and a cut changes how the
// whole shape is rasterised (the cut edges, and how the scan lines sample edges far from the
// cut): anti-aliased pixels would then differ by a shade between a clipped repaint and a full
// one. So a shape that the clip cuts more closely than the frame does is drawn whole on the
// scratch surface, cut only by the frame (as in a full repaint), and the clip's part of it is
// copied back, which keeps repaints pixel-exact.
//
// Only a cut through a shape's sides matters: Cairo works a shape out row by row, so rows cut
// off above or below leave the others as they were. A single clip box that spans the shape's
// columns is therefore drawn through directly, and a scratch drawing needs only the clip's rows.
RectI Graphics::uncutArea(RectI box) const {
    int left = std::max({box.x, frame_.x, 0});
    int top = std::max({box.y, frame_.y, 0});
    int right = std::min({box.right(), frame_.right(), target_.width()});
    int bottom = std::min({box.bottom(), frame_.bottom(), target_.height()});
    if (!band_.isEmpty()) {
        top = std::max(top, band_.y);
        bottom = std::min(bottom, band_.bottom());
    }
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

template <typename Draw> void Graphics::paint(RectF reach, Draw&& draw) {
    if (!activeClip_.infinite) {
        const RectI box = deviceBox(reach);
        std::vector<RectI> parts;
        for (const RectI& r : activeClip_.rects) {
            const RectI part = intersection(r, box);
            if (!part.isEmpty())
                parts.push_back(part);
        }
        if (parts.empty())
            return; // nothing of it would show
        // Within the frame, the shape is cut unless one clip box holds all of it, or is the
        // only box and spans all of its columns.
        RectI area = uncutArea(box);
        const bool single = activeClip_.rects.size() == 1;
        const bool cut =
            std::none_of(activeClip_.rects.begin(), activeClip_.rects.end(), [&](const RectI& r) {
                return r.x <= area.x && area.right() <= r.right() &&
                       (single || (r.y <= area.y && area.bottom() <= r.bottom()));
            });
        if (cut && !area.isEmpty() && ensureScratch()) {
            int top = area.bottom();
            int bottom = area.y;
            for (const RectI& p : parts) {
                top = std::min(top, p.y);
                bottom = std::max(bottom, p.bottom());
            }
            area.y = std::max(area.y, top);
            area.height = std::max(0, std::min(area.bottom(), bottom) - area.y);
            paintThroughScratch(area, parts, draw);
            return;
        }
    }
    draw(cr_.get());
    finish();
}

template <typename Draw>
void Graphics::paintThroughScratch(RectI area, const std::vector<RectI>& parts, Draw&& draw) {
    // Only the clip's part of the scratch is read back, and a drawing blends each pixel on
    // its own: the scratch needs the target's pixels there and nowhere else.
    for (const RectI& p : parts)
        scratch_.copyRect(target_, p);
    cairo_t* s = scratchCr_.get();
    cairo_reset_clip(s);
    cairo_identity_matrix(s);
    cairo_new_path(s);
    cairo_rectangle(s, area.x, area.y, area.width, area.height);
    cairo_clip(s);
    CairoDraw::setMatrix(s, deviceTransform());
    draw(s);
    if (cairo_status(s) != CAIRO_STATUS_SUCCESS) {
        recordStatus(Status::GenericError);
        scratchCr_.reset();
        return;
    }
    for (const RectI& p : parts)
        target_.copyRect(scratch_, p);
}

void Graphics::drawPath(const Pen& pen, const Path& path) {
    if (!ready(path) || strokeDirect(pen, path))
        return;
    const Matrix device = deviceTransform();
    paint(path.bounds(pen), [&](cairo_t* cr) { Stroker::stroke(cr, pen, path, device); });
}

void Graphics::fillPath(const SolidBrush& brush, const Path& path) {
    if (!ready(path) || fillDirect(brush.color(), path))
        return;
    paint(path.bounds(), [&](cairo_t* cr) {
        CairoDraw::setColor(cr, brush.color());
        cairo_new_path(cr);
        CairoDraw::appendPath(cr, path);
        cairo_set_fill_rule(cr, CairoDraw::fillRule(path));
        cairo_fill(cr);
    });
}

void Graphics::fillPath(const PathGradientBrush& brush, const Path& path) {
    if (!ready(path))
        return;
    const Matrix device = deviceTransform();
    // A fading glow is painted the same through any clip, so it needs no scratch image.
    if (!activeClip_.infinite && !meetsClip(deviceBox(path.bounds())))
        return;
    if (gradients_.fillFading(cr_.get(), brush, path, device)) {
        finish();
        return;
    }
    paint(path.bounds(), [&](cairo_t* cr) { gradients_.fill(cr, brush, path, device); });
}

void Graphics::drawLine(const Pen& pen, PointF a, PointF b) {
    Path path;
    path.addLine(a, b);
    drawPath(pen, path);
}

void Graphics::drawRectangle(const Pen& pen, RectF rect) {
    drawPath(pen, rectanglePath(rect));
}

void Graphics::fillRectangle(const SolidBrush& brush, RectF rect) {
    fillPath(brush, rectanglePath(rect));
}

void Graphics::fillEllipse(const SolidBrush& brush, RectF rect) {
    fillPath(brush, ellipsePath(rect));
}

void Graphics::fillEllipse(const PathGradientBrush& brush, RectF rect) {
    fillPath(brush, ellipsePath(rect));
}

void Graphics::flush() {
    if (cr_)
        cairo_surface_flush(target_.handle());
}

} // namespace gfx