#include "framework/string_table.h"

#include "framework/wide_text.h"

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
    text = WideToAnsi(ResourceString(id));
    return !text.empty();
}

bool LoadResourceString(unsigned id, std::u16string& text)
{
    text = ToUtf16(ResourceString(id));
    return !text.empty();
}
