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

TEST(MessageText, ShortTextIsUnchanged) {
    EXPECT_EQ(MessageText::wrap("Hit 'a'.", 20), "Hit 'a'.");
}

TEST(MessageText, BreaksAtTheLastSpaceThatFits) {
    EXPECT_EQ(MessageText::wrap("one two three four", 9), "one two\nthree\nfour");
    EXPECT_EQ(MessageText::wrap("one two three four", 7), "one two\nthree\nfour");
}

TEST(MessageText, AWordLongerThanALineStandsAlone) {
    EXPECT_EQ(MessageText::wrap("a extraordinarily b", 5), "a\nextraordinarily\nb");
}

TEST(MessageText, KeepsParagraphBreaksAndStartsCountingAfterThem) {
    EXPECT_EQ(MessageText::wrap("aaa bbb\n\nccc ddd", 7), "aaa bbb\n\nccc ddd");
    EXPECT_EQ(MessageText::wrap("aaa\nbbb ccc ddd", 7), "aaa\nbbb ccc\nddd");
}

TEST(MessageText, TheAboutTextKeepsItsWordsAndFitsTheBox) {
    const std::string about = Game::kAboutText;
    const std::string wrapped = MessageText::wrap(about, 64);
    EXPECT_LE(longestLine(wrapped), 64u);
    EXPECT_EQ(joined(wrapped), joined(about));
    EXPECT_NE(wrapped.find("\n\nHit 'a'"), std::string::npos);
}
