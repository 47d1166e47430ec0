#include "platform/MessageText.h"

namespace platform {

std::string MessageText::wrap(std::string_view text, std::size_t columns) {
    std::string out(text);
    std::size_t lineStart = 0;
    std::size_t lastSpace = std::string::npos;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\n') {
            lineStart = i + 1;
            lastSpace = std::string::npos;
            continue;
        }
        if (out[i] == ' ')
            lastSpace = i;
        // Counting bytes is counting characters for the game's texts, which are plain ASCII.
        if (i - lineStart >= columns && lastSpace != std::string::npos) {
            out[lastSpace] = '\n';
            lineStart = lastSpace + 1;
            lastSpace = std::string::npos;
        }
    }
    return out;
}

} // namespace platform
