#pragma once

#include "gfx/Geometry.h"
#include "gfx/Surface.h"

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
    // Sorts and merges what was added.
    void settle();

    bool empty() const;
    bool meets(RectI r) const;
    int height() const { return static_cast<int>(rows_.size()); }
    const std::vector<Span>& row(int y) const { return rows_[static_cast<std::size_t>(y)]; }
    long long area() const;
    // Sets the pixels of the area on rows [rowsTop, rowsBottom) of target to an opaque colour.
    void fill(Surface& target, Argb opaque, int rowsTop, int rowsBottom) const;
    // The same pixels as rectangles: runs that repeat on the rows below join into one.
    std::vector<RectI> rects() const;

private:
    int width_ = 0;
    std::vector<std::vector<Span>> rows_;
};

} // namespace gfx
