#include "platform/DragDetector.h"

#include <algorithm>

namespace platform {

DragDetector::DragDetector(std::int64_t quietUs) : quietUs_(quietUs > 0 ? quietUs : kDefaultQuietUs) {}

bool DragDetector::sizeChanged(std::int64_t nowUs, const gfx::RectI& clientBefore) {
    lastChangeUs_ = nowUs;
    if (dragging_)
        return false;
    dragging_ = true;
    recheckUs_ = 0;
    startRect_ = clientBefore;
    return true;
}

std::int64_t DragDetector::timeUntilEnd(std::int64_t nowUs) const {
    if (!dragging_)
        return -1;
    const std::int64_t end = std::max(lastChangeUs_ + quietUs_, recheckUs_);
    return end > nowUs ? end - nowUs : 0;
}

std::optional<gfx::RectI> DragDetector::finish(std::int64_t nowUs, bool buttonHeld) {
    if (timeUntilEnd(nowUs) != 0)
        return std::nullopt;
    if (buttonHeld) {
        recheckUs_ = nowUs + kHoldPollUs;
        return std::nullopt;
    }
    dragging_ = false;
    return startRect_;
}

} // namespace platform
