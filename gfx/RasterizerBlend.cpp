#include "gfx/Rasterizer.h"

#include "gfx/RasterizerPixels.h"
#include "gfx/Surface.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstring>

// Putting a shape's coverage down: its colour blended into the target by each pixel's share,
// inside each of the clip's boxes.

namespace gfx {

using namespace rasterPixels;

namespace {

#if defined(__SSE2__)
// Blends four pixels at a time while four are left, the way blend does one (every channel
// div255(source x share + target x what shows through), each in a 16-bit lane, where the
// sum always fits); returns where it stopped.
int blendFours(std::uint32_t* row, const std::uint8_t* cover, int first, int end, std::uint32_t alpha,
               std::uint32_t solid) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i source = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(solid)), zero);
    const __m128i alphas = _mm_set1_epi16(static_cast<short>(alpha));
    const __m128i half = _mm_set1_epi16(128);
    const __m128i full = _mm_set1_epi16(255);
    const __m128i solid4 = _mm_set1_epi32(static_cast<int>(solid));
    // div255 of each lane (at most 255 x 255 + 127).
    const auto div255x8 = [&](__m128i v) {
        const __m128i y = _mm_add_epi16(v, half);
        return _mm_srli_epi16(_mm_add_epi16(y, _mm_srli_epi16(y, 8)), 8);
    };
    // Two pixels' channels blended with their shares (each share in the four lanes of its pixel).
    const auto two = [&](__m128i target, __m128i shares) {
        const __m128i keep = _mm_sub_epi16(full, div255x8(_mm_mullo_epi16(alphas, shares)));
        return div255x8(_mm_add_epi16(_mm_mullo_epi16(source, shares), _mm_mullo_epi16(target, keep)));
    };
    int x = first;
    for (; x + 4 <= end; x += 4, cover += 4) {
        std::uint32_t shares4;
        std::memcpy(&shares4, cover, 4);
        if (shares4 == 0)
            continue;
        auto* at = reinterpret_cast<__m128i*>(row + x);
        if (shares4 == 0xffffffffU && alpha == 255) {
            _mm_storeu_si128(at, solid4);
            continue;
        }
        const __m128i shares = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(shares4)), zero);
        const __m128i pairs = _mm_unpacklo_epi16(shares, shares);
        const __m128i target = _mm_loadu_si128(at);
        const __m128i low = two(_mm_unpacklo_epi8(target, zero), _mm_unpacklo_epi32(pairs, pairs));
        const __m128i high = two(_mm_unpackhi_epi8(target, zero), _mm_unpackhi_epi32(pairs, pairs));
        _mm_storeu_si128(at, _mm_packus_epi16(low, high));
    }
    return x;
}
#endif

} // namespace

void Rasterizer::blend(Surface& target, const RectI& area, const std::uint8_t* cellData, const Span* spanData,
                       std::span<const RectI> clip, Argb color) {
    const int width = area.width + 2;
    const std::uint32_t alpha = alphaOf(color);
    const std::uint32_t red = div255(redOf(color) * alpha);
    const std::uint32_t green = div255(greenOf(color) * alpha);
    const std::uint32_t blue = div255(blueOf(color) * alpha);
    const std::uint32_t solid = (alpha << 24) | (red << 16) | (green << 8) | blue;
    const std::uint32_t sourceRB = solid & 0x00ff00ffU;
    const std::uint32_t sourceAG = (solid >> 8) & 0x00ff00ffU;
    std::uint8_t* pixels = target.data();
    const int stride = target.stride();
    for (const RectI& box : clip) {
        const RectI part = intersection(box, area);
        for (int y = part.y; y < part.bottom(); ++y) {
            const Span& span = spanData[y - area.y];
            const std::uint8_t* cells = cellData + static_cast<std::ptrdiff_t>(y - area.y) * width;
            auto* row = reinterpret_cast<std::uint32_t*>(pixels + static_cast<std::ptrdiff_t>(y) * stride);
            const int first = std::max(part.x, area.x + span.first);
            const int end = std::min(part.right(), area.x + span.end);
            int x = first;
#if defined(__SSE2__)
            x = blendFours(row, cells + (first - area.x), first, end, alpha, solid);
#endif
            const std::uint8_t* cover = cells + (x - area.x);
            for (; x < end; ++x, ++cover) {
                const std::uint32_t kk = *cover;
                if (kk == 0)
                    continue;
                if (kk == 255 && alpha == 255) {
                    // Inside an opaque shape whole runs of pixels just take its colour.
                    int run = x + 1;
                    while (run < end && cover[run - x] == 255)
                        ++run;
                    std::fill(row + x, row + run, solid);
                    cover += run - 1 - x;
                    x = run - 1;
                    continue;
                }
                // Red with blue and alpha with green, each pair in one multiply: every
                // channel is div255(source x share + target x what shows through).
                const std::uint32_t keep = 255 - div255(alpha * kk);
                const std::uint32_t d = row[x];
                row[x] = halves(sourceRB * kk + (d & 0x00ff00ffU) * keep) |
                         (halves(sourceAG * kk + ((d >> 8) & 0x00ff00ffU) * keep) << 8);
            }
        }
    }
}

} // namespace gfx