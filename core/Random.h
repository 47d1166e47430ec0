#pragma once

#include <cstdint>

namespace core {

// The game's random generator. Every formula of the game expects draws from 0 to 32767
// (15 bits), so the game carries its own generator instead of the C library's. The game owns
// one, seeded as it starts, and hands it down to what draws from it: the draws of one game
// never mix with another's, and a seed replays the same game.
class Random {
public:
    static constexpr int kMax = 32767;

    explicit Random(std::uint32_t seed = 1) : state_(seed) {}

    void seed(std::uint32_t seed) { state_ = seed; }
    // Next value, 0 to kMax.
    int next();
    // Random index into a list of n entries: next() * n / 32768, truncated.
    int index(int n);

private:
    std::uint32_t state_;
};

} // namespace core
