#pragma once

#include <string_view>
#include <vector>

namespace platform {

// Typed text arrives from SDL as UTF-8; the game takes one character at a time.
class Utf8Decoder {
public:
    static constexpr char32_t kReplacement = 0xFFFD;

    // Code points of text; a malformed sequence becomes one kReplacement and decoding goes on
    // after its first byte.
    static std::vector<char32_t> decode(std::string_view text);
};

} // namespace platform
