#include "core/Random.h"

namespace core {

int Random::next() {
    // Linear congruential step; the high bits of the state are the better ones.
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int>((state_ >> 16) & 0x7fff);
}

int Random::index(int n) {
    return static_cast<int>(static_cast<long long>(next()) * n / 32768);
}

} // namespace core
