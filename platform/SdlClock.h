#pragma once

#include "core/Clock.h"

namespace platform {

// The system's high-resolution counter, as SDL reads it.
class SdlClock final : public core::Clock {
public:
    std::int64_t counter() override;
    std::int64_t frequency() override;
    // The counter in microseconds, for the window loop's own deadlines.
    std::int64_t microseconds();

private:
    std::int64_t frequency_ = 0;
};

} // namespace platform
