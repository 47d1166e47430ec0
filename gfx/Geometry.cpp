#include "gfx/Geometry.h"

#include <algorithm>

namespace gfx {

RectF unite(const RectF& a, const RectF& b) {
    if (a.isEmpty())
        return b;
    if (b.isEmpty())
        return a;
    const float left = std::min(a.x, b.x);
    const float top = std::min(a.y, b.y);
    const float right = std::max(a.right(), b.right());
    const float bottom = std::max(a.bottom(), b.bottom());
    return {left, top, right - left, bottom - top};
}

namespace {

template <typename Rect> Rect meet(const Rect& a, const Rect& b) {
    const auto left = std::max(a.x, b.x);
    const auto top = std::max(a.y, b.y);
    const auto right = std::min(a.right(), b.right());
    const auto bottom = std::min(a.bottom(), b.bottom());
    if (right <= left || bottom <= top)
        return {};
    return {left, top, right - left, bottom - top};
}

} // namespace

RectF intersection(const RectF& a, const RectF& b) {
    return meet(a, b);
}

RectI intersection(const RectI& a, const RectI& b) {
    return meet(a, b);
}

} // namespace gfx
