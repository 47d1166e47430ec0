#include "platform/DragDetector.h"

namespace platform {

DragDetector::DragDetector(std::int64_t quietUs) : quietUs_(quietUs > 0 ? quietUs : kDefaultQuietUs) {}

bool DragDetector::sizeChanged(std::int64_t nowUs, const gfx::RectI& clientBefore) {
    lastChangeUs_ = nowUs;
    if (dragging_)
        return false;
    dragging_ = true;
    startRect_ = clientBefore;
    return true;
}

std::int64_t DragDetector::timeUntilEnd(std::int64_t nowUs) const {
    if (!dragging_)
        return -1;
    const std::int64_t end = lastChangeUs_ + quietUs_;
    return end > nowUs ? end - nowUs : 0;
}

std::optional<gfx::RectI> DragDetector::finish(std::int64_t nowUs) {
    if (timeUntilEnd(nowUs) != 0)
        return std::nullopt;
    dragging_ = false;
    return startRect_;
}

} // namespace platform
