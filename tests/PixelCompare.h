#pragma once

#include "gfx/Surface.h"

#include <algorithm>
#include <cstdlib>

// Pixels that differ between two surfaces of the same size.
inline long long differingPixels(const gfx::Surface& a, const gfx::Surface& b) {
    long long n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
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
