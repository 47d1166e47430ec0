#include "gfx/Graphics.h"

#include <algorithm>
#include <cmath>

// Small solid shapes straight to the pixels through the game's own rasterizer (see
// Rasterizer), where the transform, the pen and the shape's size allow; everything else
// goes through Cairo (Graphics.cpp).

namespace gfx {

namespace {

// Shapes whose device box holds more pixels than this go through Cairo, which fills large
// areas faster than the rasterizer blends them.
constexpr long long kDirectArea = 1 << 16;
// How closely curves are followed, in device pixels, as Cairo follows them: a looser chord
// moves a line's edges inward by as much, which shows on every pixel of a curve's rim.
constexpr float kDirectTolerance = 0.1f;

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

bool Graphics::axisAligned(Matrix& device) const {
    device = deviceTransform();
    return device.m12() == 0 && device.m21() == 0 && target_.hasPixels();
}

void Graphics::toDevice(const std::vector<PointF>& points, const Matrix& device) {
    devicePoints_.clear();
    for (PointF p : points)
        devicePoints_.push_back(device.apply(p));
}

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

} // namespace gfx
