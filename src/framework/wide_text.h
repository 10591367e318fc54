#pragma once

#include <string>
#include <string_view>

// Narrow text in the ANSI code page to UTF-16 and back, as the system's
// A and W functions convert it: a character the code page cannot hold
// becomes its default character. Windows builds only.
std::wstring AnsiToWide(std::string_view text);
// bytes in codePage as UTF-16, converted with MultiByteToWideChar's flags;
// false, with wide empty, when the system cannot convert them.
bool MultiByteToWide(std::string_view bytes, unsigned codePage, unsigned long flags, std::wstring& wide);
std::string WideToAnsi(std::wstring_view text);
// text as UTF-8, in which every character of any script has its bytes.
std::string WideToUtf8(std::wstring_view text);

// wchar_t is a UTF-16 code unit on Windows, so the program's char16_t
// strings and the system's wide strings are the same units copied over.
inline std::u16string ToUtf16(std::wstring_view text)
{
    return std::u16string(text.begin(), text.end());
}

inline std::wstring ToWide(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

// bytes that hold UTF-16 units (a clipboard block, a file after its byte
// order mark) as wide text; an odd last byte is dropped.
inline std::wstring WideOfBytes(std::string_view bytes)
{
    std::wstring wide(bytes.size() / sizeof(wchar_t), L'\0');
    bytes.copy(reinterpret_cast<char*>(wide.data()), wide.size() * sizeof(wchar_t));
    return wide;
}
