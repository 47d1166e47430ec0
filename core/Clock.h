#pragma once

#include <cstdint>

namespace core {

// A high-resolution counter the frame cycle measures time with. The window build uses
// the system's performance counter; tests and the replay tool drive a virtual one.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t counter() = 0;
    virtual std::int64_t frequency() = 0;
};

// A clock that only moves when told to: for headless runs and tests.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(std::int64_t frequency = 1'000'000) : frequency_(frequency) {}
    std::int64_t counter() override { return now_; }
    std::int64_t frequency() override { return frequency_; }
    void advanceMicroseconds(std::int64_t us) { now_ += us * frequency_ / 1'000'000; }
    void set(std::int64_t value) { now_ = value; }

private:
    std::int64_t frequency_;
    std::int64_t now_ = 1; // a counter of 0 means "never measured" to the frame cycle
};

} // namespace core
