#include "core/Utf8Decoder.h"

namespace core {

namespace {

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

} // namespace

char32_t Utf8Decoder::next(std::string_view text, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        length = 1;
        value = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1Fu;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0Fu;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07u;
        smallest = 0x10000;
    }
    bool valid = length != 0 && length <= text.size() - i;
    for (std::size_t k = 1; valid && k < length; ++k) {
        const auto byte = static_cast<unsigned char>(text[i + k]);
        valid = isContinuation(byte);
        value = (value << 6) | (byte & 0x3Fu);
    }
    // Over-long forms, surrogates and values past Unicode are not characters.
    if (valid && (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)))
        valid = false;
    if (!valid) {
        ++i;
        return kReplacement;
    }
    i += length;
    return value;
}

std::vector<char32_t> Utf8Decoder::decode(std::string_view text) {
    std::vector<char32_t> out;
    std::size_t i = 0;
    while (i < text.size())
        out.push_back(next(text, i));
    return out;
}

} // namespace core
