#pragma once

#include "gfx/Surface.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

// Pixels that differ between two surfaces of the same size.
inline long long differingPixels(const gfx::Surface& a, const gfx::Surface& b) {
    // Row by row through the pixel memory: big screens are compared many times a test.
    long long n = 0;
    const auto width = static_cast<std::size_t>(a.width());
    for (int y = 0; y < a.height(); ++y) {
        const auto* rowA =
            reinterpret_cast<const std::uint32_t*>(a.data() + static_cast<std::ptrdiff_t>(y) * a.stride());
        const auto* rowB =
            reinterpret_cast<const std::uint32_t*>(b.data() + static_cast<std::ptrdiff_t>(y) * b.stride());
        if (std::memcmp(rowA, rowB, width * 4) == 0)
            continue;
        for (std::size_t x = 0; x < width; ++x)
            n += rowA[x] != rowB[x];
    }
    return n;
}

// Largest per-channel difference between two surfaces of the same size.
inline int largestDifference(const gfx::Surface& a, const gfx::Surface& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (int shift = 0; shift < 32; shift += 8)
                largest = std::max(largest, std::abs(static_cast<int>((a.pixel(x, y) >> shift) & 0xff) -
                                                     static_cast<int>((b.pixel(x, y) >> shift) & 0xff)));
    return largest;
}
