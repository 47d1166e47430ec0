#include "gfx/Graphics.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

// The canvas's clip: world rectangles snapped to device pixels, combined as Cairo regions,
// cut to the enclosing containers' clip and the band; and the device box a drawing can touch.

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

// Slack when snapping clip edges to pixels, and the largest device coordinate a clip holds.
constexpr double kSnapSlack = 1e-3;
constexpr double kDeviceLimit = 1 << 28;

} // namespace

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
        const RectI part = intersection(r, band_);
        if (!part.isEmpty())
            inBand.push_back(part);
    }
    return {false, std::move(inBand)};
}

bool Graphics::hasClip() const {
    return !baseClip_.infinite || !clip_.infinite || !band_.isEmpty();
}

std::vector<RectI> Graphics::clipRects() const {
    return effectiveClip().rects;
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

} // namespace gfx
