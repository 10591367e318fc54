#pragma once

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
