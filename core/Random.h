#pragma once

#include <cstdint>

namespace core {

// The one process-wide random generator. Every formula of the game expects draws from
// 0 to 32767 (15 bits), so the game carries its own generator instead of the C library's.
class Random {
public:
    static constexpr int kMax = 32767;

    static void seed(std::uint32_t seed);
    // Next value, 0 to kMax.
    static int next();
    // Random index into a list of n entries: next() * n / 32768, truncated.
    static int index(int n);

private:
    static std::uint32_t state_;
};

} // namespace core
