#include "platform/ClientFit.h"

#include <algorithm>
#include <cmath>

namespace platform {

ClientFit::Size ClientFit::fit(Size requested, Size minimum, Size maximum) {
    if (requested.width <= 0 || requested.height <= 0)
        return requested;
    const double w = requested.width;
    const double h = requested.height;
    double factor = 1.0;
    // Grow to the minimum first, then shrink to the maximum, so that the maximum has the
    // last word.
    if (minimum.width > 0)
        factor = std::max(factor, minimum.width / w);
    if (minimum.height > 0)
        factor = std::max(factor, minimum.height / h);
    if (maximum.width > 0)
        factor = std::min(factor, maximum.width / w);
    if (maximum.height > 0)
        factor = std::min(factor, maximum.height / h);
    if (factor == 1.0)
        return requested;
    // Rounded down, so that a limit reached is a limit kept.
    Size out{std::max(1, static_cast<int>(std::floor(w * factor + 1e-6))),
             std::max(1, static_cast<int>(std::floor(h * factor + 1e-6)))};
    if (maximum.width > 0)
        out.width = std::min(out.width, maximum.width);
    if (maximum.height > 0)
        out.height = std::min(out.height, maximum.height);
    return out;
}

} // namespace platform
