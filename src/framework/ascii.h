#pragma once

#include <cstddef>
#include <string_view>

// Tests and case folding of ASCII characters alone. They give the same
// answer for a byte of any code page the program reads (a trail byte is
// never one of them) and for a UTF-16 unit, so declarations, device names
// and numbers can be read before, or without, knowing the encoding.

// Tab, line feed, vertical tab, form feed, carriage return and space.
constexpr bool IsAsciiSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// c in lower case when it is an ASCII capital letter; anything else as it is.
template <class Char>
constexpr Char LowerAscii(Char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c;
}

// True when a and b are the same but for the case of ASCII letters.
constexpr bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}
