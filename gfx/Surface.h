#pragma once

#include "gfx/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

typedef struct _cairo_surface cairo_surface_t;

namespace gfx {

// An image of 32-bit pixels, 0xAARRGGBB in native byte order with premultiplied alpha
// (opaque pixels read as plain ARGB). Rows are stride() bytes apart.
class Surface {
public:
    Surface() = default;
    Surface(int width, int height);
    // A scalable picture written to an SVG file instead of pixels: drawings stay vectors.
    // Only a canvas may draw on it (no pixel access); the file is complete once the surface
    // is destroyed. Invalid if the file cannot be made.
    static Surface svgDocument(const std::string& fileName, int width, int height);
    // A PNG image held in memory; invalid if it is not one.
    static Surface fromPng(const std::uint8_t* bytes, std::size_t size);
    Surface(Surface&&) noexcept;
    Surface& operator=(Surface&&) noexcept;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    ~Surface();

    // A second surface over the very pixels of this image (which must outlive it), for a
    // canvas on another thread: each thread then draws through a surface of its own.
    // Invalid for a vector document.
    Surface alias() const;
    // A surface over pixels kept elsewhere (a window's), in this format, which must outlive it.
    // Invalid when the stride does not suit the width.
    static Surface over(std::uint8_t* pixels, int width, int height, int stride);

    bool valid() const { return surface_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return stride_; }
    std::uint8_t* data();
    const std::uint8_t* data() const;
    std::uint32_t pixel(int x, int y) const;
    void fill(Argb color);
    // Sets the pixels of rect (clipped to the surface) to color, with no blending.
    void fillRect(RectI rect, Argb color);
    // Copies the rectangle of source (clipped to both surfaces) to the same place here.
    void copyRect(const Surface& source, RectI rect);
    Status savePng(const std::string& fileName) const;

    // For the canvas and the window layer only.
    cairo_surface_t* handle() const { return surface_; }
    void markDirty();
    // After writing the pixels of r through data().
    void markDirty(RectI r);
    // Whether data() reaches pixels (not a vector document).
    bool hasPixels() const;

private:
    // Keeps s, if Cairo made it; else destroys it and stays empty.
    bool adopt(cairo_surface_t* s, int width, int height);

    cairo_surface_t* surface_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0; // kept: painting asks for it for every shape
};

} // namespace gfx
