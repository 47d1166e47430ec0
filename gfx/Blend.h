#pragma once

#include <cstdint>

namespace gfx {

// source over below, premultiplied: each channel of below is scaled by 255 - source alpha,
// rounded, and source added (as one 32-bit word, so a result is the same whatever the pixels).
inline std::uint32_t overPixel(std::uint32_t source, std::uint32_t below) {
    const std::uint32_t rest = 255 - (source >> 24);
    const std::uint32_t ag = ((below >> 8) & 0x00ff00ff) * rest + 0x00800080;
    const std::uint32_t rb = (below & 0x00ff00ff) * rest + 0x00800080;
    const std::uint32_t agScaled = ((ag + ((ag >> 8) & 0x00ff00ff)) >> 8) & 0x00ff00ff;
    const std::uint32_t rbScaled = ((rb + ((rb >> 8) & 0x00ff00ff)) >> 8) & 0x00ff00ff;
    // Premultiplied: a channel never exceeds alpha, so the sums stay within 8 bits.
    return source + ((agScaled << 8) | rbScaled);
}

// dest[k] = overPixel(source[k], dest[k]) for k < count, several pixels at a time where the
// processor allows; the very same words as one pixel at a time.
void overRow(const std::uint32_t* source, std::uint32_t* dest, int count);

} // namespace gfx
