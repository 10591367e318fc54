#include "framework/utf8_text.h"

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsTrail(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The character starting at text[i] and its length in bytes; 0 for a
// byte that starts none.
char32_t TakeCharacter(std::string_view text, std::size_t i, std::size_t& length)
{
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || i + length > text.size())
        return length = 0;
    char32_t point = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char byte = static_cast<unsigned char>(text[i + k]);
        if (!IsTrail(byte))
            return length = 0;
        point = (point << 6) | (byte & 0x3F);
    }
    // Overlong forms, surrogates and points past Unicode's end start nothing.
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < kLeast[length] || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF)
        return length = 0;
    return point;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string wide;
    wide.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 0;
        const char32_t point = TakeCharacter(text, i, length);
        if (length == 0) {
            wide += kReplacement;
            ++i;
            continue;
        }
        if (point >= 0x10000) {
            wide += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
            wide += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<char16_t>(point);
        }
        i += length;
    }
    return wide;
}
