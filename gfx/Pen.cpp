#include "gfx/Pen.h"

#include <algorithm>
#include <cmath>

namespace gfx {

Pen::Pen(Argb color, float width)
    : color_(color), width_(std::isfinite(width) && width >= 0 ? width : 1.0f) {}

Status Pen::setWidth(float width) {
    if (!std::isfinite(width) || width < 0)
        return Status::InvalidParameter;
    width_ = width;
    return Status::Ok;
}

float Pen::capReach(LineCap cap, float width) {
    switch (cap) {
    case LineCap::Flat:
    case LineCap::Round:
        return width / 2;
    case LineCap::RoundAnchor:
        return anchorSize(width) / 2;
    case LineCap::ArrowAnchor: {
        // The back corners lie one arrow length behind the tip and half its width aside.
        const float size = anchorSize(width);
        return std::hypot(size, size / 2);
    }
    }
    return width / 2;
}

float Pen::reach() const {
    // A zero width is drawn as a hairline of one device pixel, at most one world unit.
    const float w = std::max(width_, 1.0f);
    const float joinReach = lineJoin_ == LineJoin::Miter ? w / 2 * kMiterLimit : w / 2;
    return std::max({joinReach, capReach(startCap_, w), capReach(endCap_, w)});
}

} // namespace gfx
