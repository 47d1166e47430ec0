#include "platform/FrameScheduler.h"

#include <algorithm>

namespace platform {

FrameScheduler::FrameScheduler(std::int64_t periodUs, std::int64_t minGapUs)
    : periodUs_(periodUs > 0 ? periodUs : kDefaultPeriodUs),
      minGapUs_(std::clamp<std::int64_t>(minGapUs, 0, periodUs_)) {}

void FrameScheduler::start(std::int64_t nowUs) {
    if (running_)
        return;
    running_ = true;
    deadlineUs_ = nowUs + periodUs_;
}

void FrameScheduler::stop() {
    running_ = false;
}

std::int64_t FrameScheduler::dueAt() const {
    return ticked_ ? std::max(deadlineUs_, lastTickUs_ + minGapUs_) : deadlineUs_;
}

std::int64_t FrameScheduler::timeUntilDue(std::int64_t nowUs) const {
    if (!running_)
        return -1;
    const std::int64_t due = dueAt();
    return due > nowUs ? due - nowUs : 0;
}

bool FrameScheduler::takeDue(std::int64_t nowUs) {
    if (!running_ || nowUs < dueAt())
        return false;
    ticked_ = true;
    lastTickUs_ = nowUs;
    deadlineUs_ += periodUs_;
    if (deadlineUs_ <= nowUs)
        deadlineUs_ = nowUs + periodUs_;
    return true;
}

} // namespace platform
