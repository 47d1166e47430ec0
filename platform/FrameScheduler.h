#pragma once

#include <cstdint>

namespace platform {

// The 10 ms frame timer, kept against absolute deadlines so that late wake-ups do not make
// the game drift slower. Times are microseconds on any monotonic scale.
//
// The game simulates nothing on a tick that comes less than 9.9 ms after its last frame, so a
// tick that is due on the grid but follows a late one too closely would be wasted and the
// frame after it would take a double step. Such a tick waits for the minimum gap instead; the
// grid stays where it was, so the rate catches up over the following ticks.
class FrameScheduler {
public:
    static constexpr std::int64_t kDefaultPeriodUs = 10'000;
    static constexpr std::int64_t kDefaultMinGapUs = 9'920;

    explicit FrameScheduler(std::int64_t periodUs = kDefaultPeriodUs,
                            std::int64_t minGapUs = kDefaultMinGapUs);

    // Starts the timer with the first tick one period from now; a running timer keeps its deadline.
    void start(std::int64_t nowUs);
    void stop();
    bool running() const { return running_; }

    // Microseconds until the next tick is due: 0 when it is due now, -1 while stopped.
    std::int64_t timeUntilDue(std::int64_t nowUs) const;
    // Whether a tick is due; if so the deadline moves on by one period. When the loop has fallen
    // a whole period behind (a stall, a modal box), the missed ticks are dropped and the next
    // deadline is one period from now, so a stall never turns into a burst of ticks.
    bool takeDue(std::int64_t nowUs);

    std::int64_t period() const { return periodUs_; }

private:
    std::int64_t dueAt() const;

    std::int64_t periodUs_;
    std::int64_t minGapUs_;
    std::int64_t deadlineUs_ = 0;
    std::int64_t lastTickUs_ = 0;
    bool ticked_ = false;
    bool running_ = false;
};

} // namespace platform
