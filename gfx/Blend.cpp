#include "gfx/Blend.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace gfx {

void overRow(const std::uint32_t* source, std::uint32_t* dest, int count) {
    int k = 0;
#if defined(__SSE2__)
    // Four pixels at a time, each channel in a 16-bit lane: c * rest + 128 is at most 65153
    // and adding its top byte stays below 65536, so the lanes round exactly as the words do.
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(0x80);
    const __m128i full = _mm_set1_epi32(255);
    for (; k + 4 <= count; k += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + k));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest + k));
        const __m128i rest = _mm_sub_epi32(full, _mm_srli_epi32(s, 24));
        const __m128i restPairs = _mm_or_si128(rest, _mm_slli_epi32(rest, 16));
        const __m128i restLow = _mm_unpacklo_epi32(restPairs, restPairs);
        const __m128i restHigh = _mm_unpackhi_epi32(restPairs, restPairs);
        __m128i low = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), restLow), half);
        __m128i high = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), restHigh), half);
        low = _mm_srli_epi16(_mm_add_epi16(low, _mm_srli_epi16(low, 8)), 8);
        high = _mm_srli_epi16(_mm_add_epi16(high, _mm_srli_epi16(high, 8)), 8);
        // Each lane is at most 255 now, so packing loses nothing; the add is per 32-bit word.
        const __m128i scaled = _mm_packus_epi16(low, high);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + k), _mm_add_epi32(s, scaled));
    }
#endif
    for (; k < count; ++k)
        dest[k] = overPixel(source[k], dest[k]);
}

} // namespace gfx
