#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <span>

namespace gfx {

// Colours are 0xAARRGGBB, straight (not premultiplied) alpha.
using Argb = std::uint32_t;

constexpr std::uint8_t alphaOf(Argb c) {
    return static_cast<std::uint8_t>(c >> 24);
}
constexpr std::uint8_t redOf(Argb c) {
    return static_cast<std::uint8_t>(c >> 16);
}
constexpr std::uint8_t greenOf(Argb c) {
    return static_cast<std::uint8_t>(c >> 8);
}
constexpr std::uint8_t blueOf(Argb c) {
    return static_cast<std::uint8_t>(c);
}
constexpr Argb makeArgb(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return (Argb{a} << 24) | (Argb{r} << 16) | (Argb{g} << 8) | Argb{b};
}

struct PointF {
    float x = 0;
    float y = 0;
    friend bool operator==(const PointF&, const PointF&) = default;
};

// Rectangles are (x, y, width, height) with y growing downwards: in world units (RectF) or
// whole pixels (RectI).
template <typename T> struct Rect {
    T x = 0;
    T y = 0;
    T width = 0;
    T height = 0;

    T right() const { return x + width; }
    T bottom() const { return y + height; }
    bool isEmpty() const { return width <= 0 || height <= 0; }
    friend bool operator==(const Rect&, const Rect&) = default;
};
using RectF = Rect<float>;
using RectI = Rect<int>;

// Smallest rectangle holding both; an empty operand is ignored.
RectF unite(const RectF& a, const RectF& b);
RectI unite(const RectI& a, const RectI& b);

// The box round a set of points, taken one at a time. The four edges are kept as found: a
// width would round the far edge. A coordinate that is not a number is passed over.
struct Extent {
    float left = std::numeric_limits<float>::max();
    float top = std::numeric_limits<float>::max();
    float right = std::numeric_limits<float>::lowest();
    float bottom = std::numeric_limits<float>::lowest();

    void add(PointF p) {
        left = std::min(left, p.x);
        top = std::min(top, p.y);
        right = std::max(right, p.x);
        bottom = std::max(bottom, p.y);
    }
    // No point taken yet.
    bool isEmpty() const { return left > right || top > bottom; }
    // Before any point the size is negative: an empty rectangle.
    RectF rect() const { return {left, top, right - left, bottom - top}; }
};

Extent extentOf(std::span<const PointF> points);

// Whether the two share any area: strict on all four sides, so rectangles that only touch
// along an edge do not overlap.
inline bool overlaps(const RectF& a, const RectF& b) {
    return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

// The area both cover, or an empty (all zero) rectangle where they do not overlap.
RectF intersection(const RectF& a, const RectF& b);
RectI intersection(const RectI& a, const RectI& b);

// Result of a drawing or geometry call that can fail. The values follow the classic
// status numbering, so a stored status reads the same as in any vector-graphics log.
enum class Status : int {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    NotImplemented = 6,
    WrongState = 8,
};

} // namespace gfx
