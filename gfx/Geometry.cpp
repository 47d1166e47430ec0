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

} // namespace gfx
