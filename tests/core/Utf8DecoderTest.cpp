#include "core/Utf8Decoder.h"
#include "gfx/GlyphOutlines.h"
#include "gfx/Path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ranges>
#include <string>

using core::Utf8Decoder;
using Chars = std::vector<char32_t>;

namespace {

constexpr char32_t bad = Utf8Decoder::kReplacement;

struct Case {
    const char* name;
    std::string text;
    Chars chars;
};

const Case kCases[] = {
    {"empty", "", {}},
    {"ascii", "Qh+", {U'Q', U'h', U'+'}},
    {"nul is a character", std::string("a\0b", 3), {U'a', 0, U'b'}},
    {"two bytes", "\xC3\xA9", {0xE9}},
    {"three bytes", "\xE2\x82\xAC", {0x20AC}},
    {"four bytes", "\xF0\x9F\xA7\xA6q", {0x1F9E6, U'q'}},
    {"smallest of each length", "\xC2\x80\xE0\xA0\x80\xF0\x90\x80\x80", {0x80, 0x800, 0x10000}},
    {"largest of Unicode", "\xF4\x8F\xBF\xBF", {0x10FFFF}},
    {"lone continuation", "\x80q", {bad, U'q'}},
    {"bytes no sequence starts with", "\xF8\xFE\xFFq", {bad, bad, bad, U'q'}},
    {"cut off at the end", "\xE2\x82", {bad, bad}},
    {"four bytes cut off", "a\xF0\x9F\xA7", {U'a', bad, bad, bad}},
    {"lead alone at the end", "q\xC3", {U'q', bad}},
    {"continuation missing mid-text", "\xE2q\x82\xACz", {bad, U'q', bad, bad, U'z'}},
    {"over-long q", "\xC1\xB1", {bad, bad}},
    {"over-long nul", "\xC0\x80", {bad, bad}},
    {"over-long in three bytes", "\xE0\x81\xB1", {bad, bad, bad}},
    {"over-long in four bytes", "\xF0\x8F\xBF\xBF", {bad, bad, bad, bad}},
    {"high surrogate", "\xED\xA0\x80", {bad, bad, bad}},
    {"low surrogate", "\xED\xBF\xBF", {bad, bad, bad}},
    {"just below the surrogates", "\xED\x9F\xBF", {0xD7FF}},
    {"past Unicode", "\xF4\x90\x80\x80", {bad, bad, bad, bad}},
    {"lead past Unicode", "\xF5\x80\x80\x80", {bad, bad, bad, bad}},
};

// Back to UTF-8, to draw what the decoder read.
std::string encode(const Chars& chars) {
    std::string out;
    for (const char32_t c : chars) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace

TEST(Utf8Decoder, ReadsEveryCharacterAndReplacesEveryMalformedByte) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf8Decoder::decode(c.text), c.chars);
        // Stepping one character at a time never leaves the text and reads the same.
        Chars stepped;
        std::size_t i = 0;
        while (i < c.text.size()) {
            const std::size_t before = i;
            stepped.push_back(Utf8Decoder::next(c.text, i));
            ASSERT_GT(i, before);
            ASSERT_LE(i, c.text.size());
        }
        EXPECT_EQ(stepped, c.chars);
    }
}

TEST(Utf8Decoder, GlyphsDrawTextAsTheDecoderReadsIt) {
    auto& glyphs = gfx::GlyphOutlines::instance();
    ASSERT_TRUE(glyphs.valid());
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string read = encode(c.chars);
        EXPECT_EQ(glyphs.advance(c.text, 24), glyphs.advance(read, 24));
        gfx::Path drawn;
        drawn.addString(c.text, 24, {10, 20});
        gfx::Path expected;
        expected.addString(read, 24, {10, 20});
        ASSERT_EQ(drawn.pointCount(), expected.pointCount());
        EXPECT_TRUE(std::ranges::equal(drawn.points(), expected.points()));
        EXPECT_TRUE(std::ranges::equal(drawn.types(), expected.types()));
    }
}
