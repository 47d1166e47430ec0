#pragma once

#include "gfx/Geometry.h"
#include "gfx/RowSpans.h"
#include "gfx/Surface.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace gfx {

// A picture painted once and put down again and again at whole pixels, over what is already
// there (premultiplied "over"). Each row is kept as runs of opaque and of partly covered
// pixels: an opaque stretch is put down as one copy (one fill where it is one colour), and a
// clear one costs nothing.
class Sprite {
public:
    Sprite() = default;
    // The picture in image (premultiplied pixels, as a canvas leaves them).
    explicit Sprite(Surface image);
    Sprite(Sprite&& other) noexcept { *this = std::move(other); }
    Sprite& operator=(Sprite&& other) noexcept {
        width_ = std::exchange(other.width_, 0); // what is left behind is no picture
        height_ = std::exchange(other.height_, 0);
        runs_ = std::move(other.runs_);
        pixels_ = std::move(other.pixels_);
        rowStarts_ = std::move(other.rowStarts_);
        cover_ = std::move(other.cover_);
        return *this;
    }

    bool valid() const { return width_ > 0; }
    int width() const { return width_; }
    int height() const { return height_; }

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

    // Adds to area (within clip) the pixels that change on a target when the picture, put down
    // at (fromX, fromY), is put down at (toX, toY) instead: where it was and where it is, but
    // not where a stretch of one colour comes to lie on a stretch of that same colour. Nothing
    // when it stays put. (Whatever else changes there adds its own pixels.)
    void addMove(RowSpans& area, int fromX, int fromY, int toX, int toY, RectI clip) const;

private:
    struct Run {
        std::int32_t x;
        std::int32_t length;
        std::uint32_t offset; // of its pixels in pixels_ (none when flat)
        bool opaque;
        bool flat; // every pixel is colour
        std::uint32_t colour;
    };
    static constexpr int kFlatRun = 8; // a shorter stretch of one colour is not worth a run
    static constexpr int kJoinGap = 8; // changed pixels closer than this are repainted as one
    void putRun(const Run& run, std::uint32_t* dest, int x, int start, int end) const;
    // Puts picture row (row - y) on dest, the pixels of target row row (targetWidth of
    // them), within spans only.
    void drawRow(std::uint32_t* dest, int targetWidth, int row, int x, int y,
                 const std::vector<RowSpans::Span>& spans) const;
    int width_ = 0;
    int height_ = 0;
    std::vector<Run> runs_;
    std::vector<std::uint32_t> pixels_;    // of the runs that are not flat, in order
    std::vector<std::uint32_t> rowStarts_; // height + 1 indices into runs_
    std::vector<RectI> cover_;
};

} // namespace gfx
