#pragma once

// The rasterizer's pixel arithmetic, shared by its files: whole pixels of a coordinate without
// the library's rounding calls, a share as a byte, and division by 255. Internal to gfx/.

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace gfx::rasterPixels {

// x / 255, rounded, for x up to 255 * 255.
inline std::uint32_t div255(std::uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// A whole pixel's area in the units the fill sums are kept in.
constexpr float kAreaUnit = 1 << 16;

// div255 of the two 16-bit halves of x at once (each at most 255 x 255 + 127).
inline std::uint32_t halves(std::uint32_t x) {
    x += 0x00800080U;
    return ((x + ((x >> 8) & 0x00ff00ffU)) >> 8) & 0x00ff00ffU;
}

// Coverage 0..1 as a pixel's share 0..255.
inline std::uint8_t toByte(float c) {
    return static_cast<std::uint8_t>(c * 255.0f + 0.5f);
}

// Whole pixels of a device coordinate, kept where an int holds them.
inline int toPixel(float v) {
    constexpr float kLimit = 1 << 28;
    return static_cast<int>(std::clamp(v, -kLimit, kLimit));
}

// toPixel(std::ceil(v)) and toPixel(std::floor(v)), to the same whole pixel, without the
// library's rounding: strokes ask for several on every row they cover.
inline int ceilPixel(float v) {
    constexpr float kLimit = 1 << 28;
    const float c = std::clamp(v, -kLimit, kLimit);
    const int t = static_cast<int>(c);
    return t + (c > static_cast<float>(t) ? 1 : 0);
}
inline int floorPixel(float v) {
    constexpr float kLimit = 1 << 28;
    const float c = std::clamp(v, -kLimit, kLimit);
    const int t = static_cast<int>(c);
    return t - (c < static_cast<float>(t) ? 1 : 0);
}

// std::floor, exactly, without the library's call: fills ask for it on every pixel.
inline float floorExact(float v) {
    // Beyond 2^23 every float is whole (and a NaN stays one).
    if (!(std::abs(v) < 8388608.0f))
        return v;
    const float t = static_cast<float>(static_cast<std::int32_t>(v));
    return t > v ? t - 1 : t;
}

// std::lround, exactly, for values an int holds: a fill adds two on every row of an edge.
inline std::int32_t roundAway(float v) {
    const auto t = static_cast<std::int32_t>(v);
    // What truncation left is worked out exactly: v and t lie within one of each other.
    const float rest = v - static_cast<float>(t);
    return t + (rest >= 0.5f ? 1 : 0) - (rest <= -0.5f ? 1 : 0);
}

} // namespace gfx::rasterPixels
