#include "platform/MouseMapping.h"

#include <algorithm>

namespace platform {

MouseMapping::MouseMapping(int windowWidth, int windowHeight, int pixelWidth, int pixelHeight)
    : windowWidth_(windowWidth), windowHeight_(windowHeight), pixelWidth_(pixelWidth),
      pixelHeight_(pixelHeight) {}

MouseMapping::Point MouseMapping::toPixels(int x, int y) const {
    return {scaleAxis(x, windowWidth_, pixelWidth_), scaleAxis(y, windowHeight_, pixelHeight_)};
}

int MouseMapping::scaleAxis(int value, int points, int pixels) {
    if (points <= 0 || pixels <= 0)
        return std::max(value, 0);
    // A point covers a block of pixels; its top-left pixel is the one under the hot spot.
    const long long scaled = static_cast<long long>(value) * pixels / points;
    return static_cast<int>(std::clamp<long long>(scaled, 0, pixels - 1));
}

} // namespace platform
