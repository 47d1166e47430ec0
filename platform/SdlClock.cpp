#include "platform/SdlClock.h"

#include <SDL.h>

namespace platform {

std::int64_t SdlClock::counter() {
    return static_cast<std::int64_t>(SDL_GetPerformanceCounter());
}

std::int64_t SdlClock::frequency() {
    if (frequency_ == 0)
        frequency_ = static_cast<std::int64_t>(SDL_GetPerformanceFrequency());
    return frequency_;
}

std::int64_t SdlClock::microseconds() {
    const std::int64_t ticks = counter();
    const std::int64_t perSecond = frequency();
    // Split into whole seconds and the rest so that a counter of nanoseconds since boot cannot
    // overflow when scaled.
    return ticks / perSecond * 1'000'000 + ticks % perSecond * 1'000'000 / perSecond;
}

} // namespace platform
