#include "gfx/Graphics.h"

#include "gfx/CairoDraw.h"
#include "gfx/Stroker.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

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

// Shapes whose device box holds more pixels than this go through Cairo, which fills large
// areas faster than the rasterizer blends them.
constexpr long long kDirectArea = 1 << 16;
// How closely curves are followed, in device pixels, as Cairo follows them: a looser chord
// moves a line's edges inward by as much, which shows on every pixel of a curve's rim.
constexpr float kDirectTolerance = 0.1f;

// Slack when snapping clip edges to pixels, and the largest device coordinate a clip holds.
constexpr double kSnapSlack = 1e-3;
constexpr double kDeviceLimit = 1 << 28;

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

RectI Graphics::snapToDevice(RectI worldRect) const {
    // Snap outward; the small slack keeps a float product like 20.000002 from growing a pixel.
    const Matrix m = deviceTransform();
    const float x0 = static_cast<float>(worldRect.x);
    const float y0 = static_cast<float>(worldRect.y);
    const float x1 = static_cast<float>(worldRect.right());
    const float y1 = static_cast<float>(worldRect.bottom());
    const PointF corners[] = {m.apply({x0, y0}), m.apply({x1, y0}), m.apply({x0, y1}), m.apply({x1, y1})};
    const Extent box = extentOf(corners);
    const auto snapDown = [](float v) {
        return static_cast<int>(std::clamp(std::floor(v + kSnapSlack), -kDeviceLimit, kDeviceLimit));
    };
    const auto snapUp = [](float v) {
        return static_cast<int>(std::clamp(std::ceil(v - kSnapSlack), -kDeviceLimit, kDeviceLimit));
    };
    RectI device{snapDown(box.left), snapDown(box.top), 0, 0};
    device.width = std::max(0, snapUp(box.right) - device.x);
    device.height = std::max(0, snapUp(box.bottom) - device.y);
    if (worldRect.isEmpty())
        device.width = device.height = 0;
    return device;
}

void Graphics::setClipFrame(RectI worldRect) {
    frame_ = snapToDevice(worldRect);
}

void Graphics::setClip(RectI worldRect, CombineMode mode) {
    const RectI device = snapToDevice(worldRect);
    if (mode == CombineMode::Replace) {
        // What the region of one rectangle would give back, without building it.
        clip_.infinite = false;
        clip_.rects.clear();
        if (!device.isEmpty())
            clip_.rects.push_back(device);
        stateDirty_ = true;
        return;
    }
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

void Graphics::setClip(std::span<const RectI> worldRects) {
    std::vector<RectI> devices;
    devices.reserve(worldRects.size());
    for (const RectI& r : worldRects) {
        const RectI device = snapToDevice(r);
        if (!device.isEmpty())
            devices.push_back(device);
    }
    // A region holds its pixels in one canonical set of bands, however it was put together.
    clip_.infinite = false;
    clip_.rects = rectsOf(regionOf(devices).get());
    stateDirty_ = true;
}

void Graphics::resetClip() {
    clip_ = ClipArea{};
    stateDirty_ = true;
}

void Graphics::setBand(RectI deviceRows) {
    band_ = deviceRows.isEmpty() ? RectI{} : deviceRows;
    stateDirty_ = true;
}

Graphics::ClipArea Graphics::effectiveClip() const {
    ClipArea area;
    if (baseClip_.infinite) {
        area = clip_;
    } else if (clip_.infinite) {
        area = baseClip_;
    } else {
        RegionHandle a = regionOf(baseClip_.rects);
        RegionHandle b = regionOf(clip_.rects);
        cairo_region_intersect(a.get(), b.get());
        area = {false, rectsOf(a.get())};
    }
    if (band_.isEmpty())
        return area;
    if (area.infinite)
        return {false, {band_}};
    std::vector<RectI> inBand;
    for (const RectI& r : area.rects) {
        const int left = std::max(r.x, band_.x);
        const int top = std::max(r.y, band_.y);
        const int right = std::min(r.right(), band_.right());
        const int bottom = std::min(r.bottom(), band_.bottom());
        if (right > left && bottom > top)
            inBand.push_back({left, top, right - left, bottom - top});
    }
    return {false, std::move(inBand)};
}

bool Graphics::hasClip() const {
    return !baseClip_.infinite || !clip_.infinite || !band_.isEmpty();
}

std::vector<RectI> Graphics::clipRects() const {
    return effectiveClip().rects;
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

bool Graphics::meetsClip(RectI box) const {
    return std::any_of(activeClip_.rects.begin(), activeClip_.rects.end(), [&](const RectI& r) {
        return r.x < box.right() && box.x < r.right() && r.y < box.bottom() && box.y < r.bottom();
    });
}

RectI Graphics::deviceBox(RectF world) const {
    const Matrix m = deviceTransform();
    const PointF corners[] = {m.apply({world.x, world.y}), m.apply({world.right(), world.y}),
                              m.apply({world.x, world.bottom()}), m.apply({world.right(), world.bottom()})};
    const Extent reach = extentOf(corners);
    // One more pixel all round for the anti-aliased fringe.
    const auto down = [](float v) {
        return static_cast<int>(std::clamp(std::floor(v) - 1.0, -kDeviceLimit, kDeviceLimit));
    };
    const auto up = [](float v) {
        return static_cast<int>(std::clamp(std::ceil(v) + 1.0, -kDeviceLimit, kDeviceLimit));
    };
    RectI box{down(reach.left), down(reach.top), 0, 0};
    box.width = std::max(0, up(reach.right) - box.x);
    box.height = std::max(0, up(reach.bottom) - box.y);
    return box;
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
            const int left = std::max(r.x, box.x);
            const int top = std::max(r.y, box.y);
            const int right = std::min(r.right(), box.right());
            const int bottom = std::min(r.bottom(), box.bottom());
            if (right > left && bottom > top)
                parts.push_back({left, top, right - left, bottom - top});
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

bool Graphics::axisAligned(Matrix& device) const {
    device = deviceTransform();
    return device.m12() == 0 && device.m21() == 0 && target_.hasPixels();
}

void Graphics::toDevice(const std::vector<PointF>& points, const Matrix& device) {
    devicePoints_.clear();
    for (PointF p : points)
        devicePoints_.push_back(device.apply(p));
}

namespace {

// Whether a shape whose box is box, grown by grow on every side, is small enough to be painted
// directly at scale sx, sy.
bool directArea(RectF box, float grow, float sx, float sy) {
    return static_cast<double>(box.width + 2 * grow) * sx * static_cast<double>(box.height + 2 * grow) * sy <=
           kDirectArea;
}

// Whether a path is small enough to be painted directly. Its curves lie within their control
// points, so their box answers for most shapes without working out the curves' extremes.
bool directPath(const Path& path, float grow, float sx, float sy) {
    return directArea(extentOf(path.points()).rect(), grow, sx, sy) ||
           directArea(path.bounds(), grow, sx, sy);
}

} // namespace

void Graphics::paintDirect(Rasterizer::FillRule rule, Argb color) {
    raster_.paint(target_, activeClip_.rects, activeClip_.infinite, rule, color);
}

bool Graphics::strokeDirect(const Pen& pen, const Path& path) {
    Matrix device;
    if (!directShapes_ || !axisAligned(device))
        return false;
    const float sx = std::abs(device.m11());
    const float sy = std::abs(device.m22());
    // A pen stays round only under an even scale.
    if (!(sx > 0) || std::abs(sx - sy) > 1e-4f * sx)
        return false;
    const LineCap startCap = pen.startCap();
    const LineCap endCap = pen.endCap();
    const auto plain = [](LineCap cap) { return cap == LineCap::Flat || cap == LineCap::Round; };
    if (!plain(startCap) || !plain(endCap) || pen.lineJoin() != LineJoin::Round)
        return false;
    const bool hasClosed = std::any_of(path.types().begin(), path.types().end(),
                                       [](std::uint8_t t) { return (t & kCloseFlag) != 0; });
    if (hasClosed && pen.alignment() == PenAlignment::Inset)
        return false;
    // The box a pen reaches around the path (see Path::bounds).
    if (!directPath(path, pen.reach() + 1.0f, sx, sy))
        return false;

    // A zero-width pen draws a hairline one device pixel wide.
    const float halfWidth = pen.width() > 0 ? pen.width() * sx / 2 : 0.5f;
    raster_.reset();
    for (const Path::Polygon& figure : path.flatten(kDirectTolerance / sx, flattened_)) {
        toDevice(figure.points, device);
        if (figure.closed && !devicePoints_.empty()) {
            devicePoints_.push_back(devicePoints_.front());
            raster_.addPolyline(devicePoints_, halfWidth, true, true);
        } else {
            raster_.addPolyline(devicePoints_, halfWidth, startCap == LineCap::Round,
                                endCap == LineCap::Round);
        }
    }
    paintDirect(Rasterizer::FillRule::NonZero, pen.color());
    return true;
}

bool Graphics::fillDirect(Argb color, const Path& path) {
    Matrix device;
    if (!directShapes_ || !axisAligned(device))
        return false;
    const float sx = std::abs(device.m11());
    const float sy = std::abs(device.m22());
    if (!(sx > 0) || !(sy > 0) || !directPath(path, 0, sx, sy))
        return false;
    raster_.reset();
    for (const Path::Polygon& figure : path.flatten(kDirectTolerance / std::max(sx, sy), flattened_)) {
        toDevice(figure.points, device);
        raster_.addPolygon(devicePoints_);
    }
    paintDirect(path.fillMode() == FillMode::Alternate ? Rasterizer::FillRule::EvenOdd
                                                       : Rasterizer::FillRule::NonZero,
                color);
    return true;
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
