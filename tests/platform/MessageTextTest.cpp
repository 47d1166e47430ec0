#include "platform/MessageText.h"

#include "game/Game.h"

#include <gtest/gtest.h>

#include <sstream>

using platform::MessageText;

namespace {

std::size_t longestLine(const std::string& text) {
    std::istringstream lines(text);
    std::size_t longest = 0;
    for (std::string line; std::getline(lines, line);)
        longest = std::max(longest, line.size());
    return longest;
}

// The text with every line break read as a space: what wrapping must leave unchanged.
std::string joined(std::string text) {
    for (char& c : text)
        if (c == '\n')
            c = ' ';
    return text;
}

} // namespace

TEST(MessageText, BreaksAtTheLastSpaceThatFitsAndKeepsParagraphs) {
    const struct {
        const char* text;
        std::size_t width;
        const char* wrapped;
    } cases[] = {
        {"Hit 'a'.", 20, "Hit 'a'."},
        {"one two three four", 9, "one two\nthree\nfour"},
        {"one two three four", 7, "one two\nthree\nfour"},
        {"a extraordinarily b", 5, "a\nextraordinarily\nb"}, // a long word stands alone
        {"aaa bbb\n\nccc ddd", 7, "aaa bbb\n\nccc ddd"},
        {"aaa\nbbb ccc ddd", 7, "aaa\nbbb ccc\nddd"}, // counting starts after a break
    };
    for (const auto& c : cases)
        EXPECT_EQ(MessageText::wrap(c.text, c.width), c.wrapped) << c.text;
}

TEST(MessageText, TheAboutTextKeepsItsWordsAndFitsTheBox) {
    const std::string about = game::Game::kAboutText;
    const std::string wrapped = MessageText::wrap(about, 64);
    EXPECT_LE(longestLine(wrapped), 64u);
    EXPECT_EQ(joined(wrapped), joined(about));
    EXPECT_NE(wrapped.find("\n\nHit 'a'"), std::string::npos);
}
