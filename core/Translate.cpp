#include "core/Translate.h"

#include "core/Utf8Decoder.h"

namespace core {

namespace {

// Not printf: a translation is text from outside the program, and a stray conversion in it
// must not read what is not there. Each marker takes the next value; markers beyond the values
// stay as they are.
std::string fillIn(std::string text, std::string_view marker,
                   std::initializer_list<std::string_view> values) {
    std::size_t from = 0;
    for (const std::string_view value : values) {
        const std::size_t at = text.find(marker, from);
        if (at == std::string::npos)
            break;
        text.replace(at, marker.size(), value);
        from = at + value.size();
    }
    return text;
}

} // namespace

std::string trNumber(const char* english, int number) {
    return fillIn(tr(english), "%d", {std::to_string(number)});
}

std::string trFill(const char* english, std::initializer_list<std::string_view> values) {
    return fillIn(tr(english), "%s", values);
}

std::string firstLetter(std::string_view text) {
    if (text.empty())
        return {};
    std::size_t end = 0;
    Utf8Decoder::next(text, end);
    return std::string(text.substr(0, end));
}

} // namespace core
