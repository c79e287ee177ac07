#include "base/Utf8.h"

namespace {

// The length of the valid UTF-8 sequence at text[at], or 0 when none starts there: no overlong
// forms, no surrogates, nothing above U+10FFFF.
std::size_t sequenceLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;   // the range of the first continuation byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    return length;
}

} // namespace

std::string ValidUtf8(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (const std::size_t length = sequenceLength(text, at)) {
            result.append(text.substr(at, length));
            at += length;
            continue;
        }
        const auto latin1 = static_cast<unsigned char>(text[at++]);
        result += static_cast<char>(0xC0 | (latin1 >> 6));
        result += static_cast<char>(0x80 | (latin1 & 0x3F));
    }
    return result;
}
