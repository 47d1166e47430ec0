#include "gfx/Surface.h"

#include <cairo-svg.h>
#include <cairo.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace gfx {

Surface::Surface(int width, int height) {
    if (width <= 0 || height <= 0)
        return;
    adopt(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height), width, height);
}

bool Surface::adopt(cairo_surface_t* s, int width, int height) {
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return false;
    }
    surface_ = s;
    width_ = width;
    height_ = height;
    stride_ = cairo_surface_get_type(s) == CAIRO_SURFACE_TYPE_IMAGE ? cairo_image_surface_get_stride(s) : 0;
    return true;
}

Surface Surface::svgDocument(const std::string& fileName, int width, int height) {
    Surface out;
    if (width <= 0 || height <= 0)
        return out;
    if (out.adopt(cairo_svg_surface_create(fileName.c_str(), width, height), width, height))
        cairo_svg_surface_restrict_to_version(out.surface_, CAIRO_SVG_VERSION_1_1);
    return out;
}

Surface Surface::fromPng(const std::uint8_t* bytes, std::size_t size) {
    struct Reader {
        const std::uint8_t* next;
        std::size_t left;
    } reader{bytes, size};
    const auto read = [](void* closure, unsigned char* data, unsigned int length) {
        auto* r = static_cast<Reader*>(closure);
        if (length > r->left)
            return CAIRO_STATUS_READ_ERROR;
        std::memcpy(data, r->next, length);
        r->next += length;
        r->left -= length;
        return CAIRO_STATUS_SUCCESS;
    };
    Surface out;
    if (bytes == nullptr || size == 0)
        return out;
    cairo_surface_t* png = cairo_image_surface_create_from_png_stream(read, &reader);
    if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(png);
        return out;
    }
    // Drawn into an image of the game's own pixel format, whatever the file's was.
    out = Surface(cairo_image_surface_get_width(png), cairo_image_surface_get_height(png));
    if (out.valid()) {
        cairo_t* cr = cairo_create(out.surface_);
        cairo_set_source_surface(cr, png, 0, 0);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_flush(out.surface_);
    }
    cairo_surface_destroy(png);
    return out;
}

Surface::Surface(Surface&& other) noexcept
    : surface_(std::exchange(other.surface_, nullptr)), width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)), stride_(std::exchange(other.stride_, 0)) {}

Surface& Surface::operator=(Surface&& other) noexcept {
    if (this != &other) {
        if (surface_)
            cairo_surface_destroy(surface_);
        surface_ = std::exchange(other.surface_, nullptr);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        stride_ = std::exchange(other.stride_, 0);
    }
    return *this;
}

Surface::~Surface() {
    if (surface_)
        cairo_surface_destroy(surface_);
}

std::uint8_t* Surface::data() {
    if (!surface_)
        return nullptr;
    cairo_surface_flush(surface_);
    return cairo_image_surface_get_data(surface_);
}

const std::uint8_t* Surface::data() const {
    if (!surface_)
        return nullptr;
    cairo_surface_flush(surface_);
    return cairo_image_surface_get_data(surface_);
}

std::uint32_t Surface::pixel(int x, int y) const {
    if (!surface_ || x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    const std::uint8_t* row = data() + static_cast<std::ptrdiff_t>(y) * stride();
    std::uint32_t value = 0;
    std::memcpy(&value, row + static_cast<std::ptrdiff_t>(x) * 4, sizeof value);
    return value;
}

void Surface::fill(Argb color) {
    if (!surface_)
        return;
    cairo_t* cr = cairo_create(surface_);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, redOf(color) / 255.0, greenOf(color) / 255.0, blueOf(color) / 255.0,
                          alphaOf(color) / 255.0);
    cairo_paint(cr);
    cairo_destroy(cr);
}

Surface Surface::over(std::uint8_t* pixels, int width, int height, int stride) {
    Surface out;
    if (pixels == nullptr || width <= 0 || height <= 0 ||
        stride < cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width) || stride % 4 != 0)
        return out;
    out.adopt(cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_ARGB32, width, height, stride), width,
              height);
    return out;
}

Surface Surface::alias() const {
    if (!hasPixels())
        return {};
    cairo_surface_flush(surface_);
    return over(cairo_image_surface_get_data(surface_), width_, height_, stride());
}

void Surface::fillRect(RectI rect, Argb color) {
    if (!hasPixels())
        return;
    const RectI area = intersection(rect, {0, 0, width_, height_});
    if (area.isEmpty())
        return;
    // Premultiplied, as the pixels are kept.
    const std::uint32_t a = alphaOf(color);
    const auto premultiply = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    const std::uint32_t value = (a << 24) | (premultiply(redOf(color)) << 16) |
                                (premultiply(greenOf(color)) << 8) | premultiply(blueOf(color));
    std::uint8_t* base = data();
    for (int y = area.y; y < area.bottom(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(base + static_cast<std::ptrdiff_t>(y) * stride());
        std::fill(row + area.x, row + area.right(), value);
    }
    cairo_surface_mark_dirty_rectangle(surface_, area.x, area.y, area.width, area.height);
}

void Surface::copyRect(const Surface& source, RectI rect) {
    if (!surface_ || !source.surface_ || this == &source)
        return;
    const RectI area =
        intersection(rect, {0, 0, std::min(width_, source.width_), std::min(height_, source.height_)});
    if (area.isEmpty())
        return;
    const std::uint8_t* from = source.data();
    std::uint8_t* to = data();
    const auto bytes = static_cast<std::size_t>(area.width) * 4;
    for (int y = area.y; y < area.bottom(); ++y)
        std::memcpy(to + static_cast<std::ptrdiff_t>(y) * stride() + static_cast<std::ptrdiff_t>(area.x) * 4,
                    from + static_cast<std::ptrdiff_t>(y) * source.stride() +
                        static_cast<std::ptrdiff_t>(area.x) * 4,
                    bytes);
    cairo_surface_mark_dirty_rectangle(surface_, area.x, area.y, area.width, area.height);
}

Status Surface::savePng(const std::string& fileName) const {
    if (!surface_)
        return Status::WrongState;
    switch (cairo_surface_write_to_png(surface_, fileName.c_str())) {
    case CAIRO_STATUS_SUCCESS:
        return Status::Ok;
    case CAIRO_STATUS_NO_MEMORY:
        return Status::OutOfMemory;
    default:
        return Status::GenericError;
    }
}

void Surface::markDirty() {
    if (surface_)
        cairo_surface_mark_dirty(surface_);
}

void Surface::markDirty(RectI r) {
    if (surface_ && !r.isEmpty())
        cairo_surface_mark_dirty_rectangle(surface_, r.x, r.y, r.width, r.height);
}

bool Surface::hasPixels() const {
    return surface_ != nullptr && cairo_surface_get_type(surface_) == CAIRO_SURFACE_TYPE_IMAGE;
}

} // namespace gfx
