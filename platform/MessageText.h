#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Texts for message boxes. Some of SDL's message boxes (the plain X11 one) never wrap lines,
// so a paragraph would run off the screen; the game wraps its texts itself.
class MessageText {
public:
    // Breaks each line at spaces so that none is longer than columns characters, unless a
    // single word is. Every break replaces one space; the words and paragraphs stay as written.
    static std::string wrap(std::string_view text, std::size_t columns);
};

} // namespace platform
