#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace core {

// Text arrives as UTF-8: typed characters from the window, and the game's own labels on their
// way to glyph outlines.
class Utf8Decoder {
public:
    static constexpr char32_t kReplacement = 0xFFFD;

    // The code point at text[i], moving i past it. A malformed sequence (a stray or missing
    // continuation byte, a cut-off end, an over-long form, a surrogate, a value past Unicode)
    // reads as one kReplacement and i moves past its first byte only; nothing is read past
    // the end. i must be below text.size().
    static char32_t next(std::string_view text, std::size_t& i);

    // Every code point of text, read with next.
    static std::vector<char32_t> decode(std::string_view text);
};

} // namespace core
