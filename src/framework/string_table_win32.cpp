#include "framework/string_table.h"

#include <windows.h>

#include <string_view>

namespace {

// With a zero buffer size LoadStringW hands out a read-only pointer to the
// resource itself, so a string of any length loads whole. An empty view
// when there is no such string.
std::wstring_view ResourceString(unsigned id)
{
    const wchar_t* wide = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&wide), 0);
    if (length <= 0 || wide == nullptr)
        return {};
    return std::wstring_view(wide, static_cast<std::size_t>(length));
}

}  // namespace

bool LoadResourceString(unsigned id, std::string& text)
{
    text.clear();
    const std::wstring_view wide = ResourceString(id);
    const int length = static_cast<int>(wide.size());
    if (length == 0)
        return false;
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return false;
    text.resize(static_cast<std::size_t>(size));
    WideCharToMultiByte(CP_ACP, 0, wide.data(), length, text.data(), size, nullptr, nullptr);
    return true;
}

bool LoadResourceString(unsigned id, std::u16string& text)
{
    const std::wstring_view wide = ResourceString(id);
    text.assign(wide.begin(), wide.end());
    return !text.empty();
}
