#pragma once

#include "gfx/Geometry.h"
#include "gfx/RowSpans.h"
#include "gfx/Surface.h"

#include <cstdint>
#include <vector>

namespace gfx {

// A picture painted once and put down again and again at whole pixels, over what is already
// there (premultiplied "over"). Each row is kept as runs of opaque and of partly covered
// pixels: an opaque stretch is put down as one copy, and a clear one costs nothing.
class Sprite {
public:
    Sprite() = default;
    // Keeps image (premultiplied pixels, as a canvas leaves them).
    explicit Sprite(Surface image);
    Sprite(Sprite&&) noexcept = default;
    Sprite& operator=(Sprite&&) noexcept = default;

    bool valid() const { return image_.valid(); }
    int width() const { return image_.width(); }
    int height() const { return image_.height(); }

    // Rectangles (picture pixels) holding every pixel that is not clear: rows in bands of
    // kCoverRows, each band cut where a clear gap of over kCoverGap pixels runs through it.
    // What the picture changes when it is put down, or taken away, lies within them.
    static constexpr int kCoverRows = 16;
    static constexpr int kCoverGap = 24;
    const std::vector<RectI>& cover() const { return cover_; }

    // Puts the picture with its top-left corner at (x, y) of target, changing only pixels
    // inside clip (and the target). The caller tells Cairo (Surface::markDirty).
    void drawOnto(Surface& target, int x, int y, RectI clip) const;

    // The same within area only (rows of area as the target's), and only on rows
    // [rowsTop, rowsBottom).
    void drawOnto(Surface& target, int x, int y, const RowSpans& area, int rowsTop, int rowsBottom) const;

private:
    struct Run {
        std::int32_t x;
        std::int32_t length;
        bool opaque;
    };
    static void putRun(const Run& run, const std::uint32_t* source, std::uint32_t* dest, int x, int start,
                       int end);
    Surface image_;
    std::vector<Run> runs_;
    std::vector<std::uint32_t> rowStarts_; // height + 1 indices into runs_
    std::vector<RectI> cover_;
};

} // namespace gfx
