#pragma once

#include "gfx/Geometry.h"
#include "gfx/Surface.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace gfx {

// An area of device pixels kept row by row as sorted, disjoint runs: the exact pixels a
// frame repaints, however many rectangles it is made of, with no pixel counted twice.
class RowSpans {
public:
    using Span = std::pair<int, int>; // [start, end)

    // Empties it for an image of this many rows and columns.
    void reset(int width, int height);
    // Adds a rectangle (cut to the image); call settle() before reading.
    void add(RectI r);
    // Adds [start, end) of row y (cut to the image); call settle() before reading.
    void addSpan(int y, int start, int end) {
        start = std::max(start, 0);
        end = std::min(end, width_);
        if (end > start && y >= 0 && y < height())
            rows_[static_cast<std::size_t>(y)].emplace_back(start, end);
    }
    // Sorts and merges what was added.
    void settle();

    bool empty() const;
    bool meets(RectI r) const;
    int height() const { return static_cast<int>(rows_.size()); }
    const std::vector<Span>& row(int y) const { return rows_[static_cast<std::size_t>(y)]; }
    long long area() const;
    // Sets the pixels of the area on rows [rowsTop, rowsBottom) of target to an opaque colour.
    void fill(Surface& target, Argb opaque, int rowsTop, int rowsBottom) const;
    // The same on row y only, whose pixels (width of them) start at pixels.
    void fillRow(std::uint32_t* pixels, int width, int y, Argb opaque) const;
    // The same pixels as rectangles: runs that repeat on the rows below join into one.
    std::vector<RectI> rects() const;
    // Fewer, larger rectangles holding every pixel (and some more): in bands of bandRows rows,
    // the runs of all rows of a band joined where less than gap pixels apart. For copying
    // scattered pixels, where a copy per run would cost more than the pixels between.
    std::vector<RectI> coarseRects(int bandRows, int gap) const;

private:
    int width_ = 0;
    std::vector<std::vector<Span>> rows_;
};

} // namespace gfx
