#include "platform/Utf8Decoder.h"

#include <gtest/gtest.h>

using platform::Utf8Decoder;
using Chars = std::vector<char32_t>;

TEST(Utf8Decoder, AsciiIsOneCharacterPerByte) {
    EXPECT_EQ(Utf8Decoder::decode("q"), (Chars{U'q'}));
    EXPECT_EQ(Utf8Decoder::decode("Qh+"), (Chars{U'Q', U'h', U'+'}));
    EXPECT_TRUE(Utf8Decoder::decode("").empty());
}

TEST(Utf8Decoder, MultiByteSequences) {
    EXPECT_EQ(Utf8Decoder::decode("\xC3\xA9"), (Chars{0xE9}));
    EXPECT_EQ(Utf8Decoder::decode("\xE2\x82\xAC"), (Chars{0x20AC}));
    EXPECT_EQ(Utf8Decoder::decode("\xF0\x9F\xA7\xA6q"), (Chars{0x1F9E6, U'q'}));
}

TEST(Utf8Decoder, MalformedBytesBecomeReplacementsAndDecodingGoesOn) {
    constexpr char32_t bad = Utf8Decoder::kReplacement;
    // A lone continuation byte, a truncated sequence, an over-long 'q' and a surrogate.
    EXPECT_EQ(Utf8Decoder::decode("\x80q"), (Chars{bad, U'q'}));
    EXPECT_EQ(Utf8Decoder::decode("\xE2\x82"), (Chars{bad, bad}));
    EXPECT_EQ(Utf8Decoder::decode("\xC1\xB1"), (Chars{bad, bad}));
    EXPECT_EQ(Utf8Decoder::decode("\xED\xA0\x80"), (Chars{bad, bad, bad}));
}
