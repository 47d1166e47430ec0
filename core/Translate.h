#pragma once

#include <libintl.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace core {

// The game's words in the player's language. A program that never chose a locale (the tests,
// the headless runner) reads them in English, as written here.
inline const char* tr(const char* english) {
    return ::dgettext("hearthly", english);
}

// Marks a text to translate where it is written, for tr to translate where it is used.
constexpr const char* trLater(const char* english) {
    return english;
}

// A text with one number in it ("place %d"), translated as a whole; the number takes the
// place of the first %d.
std::string trNumber(const char* english, int number);

// A text with words put in ("cannot read %s"), translated as a whole; the values take the
// places of the %s in turn.
std::string trFill(const char* english, std::initializer_list<std::string_view> values);

// The first letter of a text (one UTF-8 character).
std::string firstLetter(std::string_view text);

} // namespace core
