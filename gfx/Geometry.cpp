#include "gfx/Geometry.h"

#include <algorithm>

namespace gfx {

namespace {

template <typename T> Rect<T> join(const Rect<T>& a, const Rect<T>& b) {
    if (a.isEmpty())
        return b;
    if (b.isEmpty())
        return a;
    const auto left = std::min(a.x, b.x);
    const auto top = std::min(a.y, b.y);
    const auto right = std::max(a.right(), b.right());
    const auto bottom = std::max(a.bottom(), b.bottom());
    return {left, top, right - left, bottom - top};
}

template <typename T> Rect<T> meet(const Rect<T>& a, const Rect<T>& b) {
    const auto left = std::max(a.x, b.x);
    const auto top = std::max(a.y, b.y);
    const auto right = std::min(a.right(), b.right());
    const auto bottom = std::min(a.bottom(), b.bottom());
    if (right <= left || bottom <= top)
        return {};
    return {left, top, right - left, bottom - top};
}

} // namespace

RectF unite(const RectF& a, const RectF& b) {
    return join(a, b);
}

RectI unite(const RectI& a, const RectI& b) {
    return join(a, b);
}

Extent extentOf(std::span<const PointF> points) {
    Extent box;
    for (const PointF p : points)
        box.add(p);
    return box;
}

RectF intersection(const RectF& a, const RectF& b) {
    return meet(a, b);
}

RectI intersection(const RectI& a, const RectI& b) {
    return meet(a, b);
}

} // namespace gfx
