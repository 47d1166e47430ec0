#include "gfx/Blend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace gfx {
namespace {

// The row blend (several pixels at a time where it can) gives the very words of the blend of
// one pixel, for every source alpha, any colours, and every run length and start, so the odd
// pixels at either end of a run too.
TEST(Blend, ARowIsThePixelBlendWordForWordForEveryAlphaLengthAndStart) {
    std::mt19937 random(7);
    std::vector<std::uint32_t> source(32);
    std::vector<std::uint32_t> below(32);
    for (std::uint32_t alpha = 0; alpha < 256; ++alpha) {
        for (int start = 0; start < 4; ++start) {
            for (int length = 0; length <= 13; ++length) {
                for (std::size_t k = 0; k < source.size(); ++k) {
                    // Premultiplied sources, and now and then one that is not: the words must
                    // agree even then.
                    std::uint32_t colour = random() & 0x00ffffffu;
                    if (random() % 4 != 0) {
                        const auto channel = [&](int shift) {
                            return ((colour >> shift) & 0xff) * alpha / 255;
                        };
                        colour = (channel(16) << 16) | (channel(8) << 8) | channel(0);
                    }
                    source[k] = (alpha << 24) | colour;
                    below[k] = static_cast<std::uint32_t>(random());
                }
                std::vector<std::uint32_t> row = below;
                overRow(source.data() + start, row.data() + start, length);
                for (int k = 0; k < static_cast<int>(row.size()); ++k) {
                    const auto at = static_cast<std::size_t>(k);
                    const std::uint32_t want =
                        k >= start && k < start + length ? overPixel(source[at], below[at]) : below[at];
                    ASSERT_EQ(row[at], want)
                        << "alpha " << alpha << " start " << start << " length " << length << " pixel " << k;
                }
            }
        }
    }
}

} // namespace
} // namespace gfx
