#include "framework/wide_text.h"

#include <windows.h>

bool MultiByteToWide(std::string_view bytes, unsigned codePage, unsigned long flags, std::wstring& wide)
{
    wide.clear();
    if (bytes.empty())
        return true;
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (length <= 0)
        return false;
    wide.resize(static_cast<std::size_t>(length));
    if (MultiByteToWideChar(codePage, flags, bytes.data(), size, wide.data(), length) == length)
        return true;
    wide.clear();
    return false;
}

std::wstring AnsiToWide(std::string_view text)
{
    std::wstring wide;
    MultiByteToWide(text, CP_ACP, 0, wide);
    return wide;
}

namespace {

std::string WideToMultiByte(std::wstring_view text, unsigned codePage)
{
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

}  // namespace

std::string WideToAnsi(std::wstring_view text)
{
    return WideToMultiByte(text, CP_ACP);
}

std::string WideToUtf8(std::wstring_view text)
{
    return WideToMultiByte(text, CP_UTF8);
}
