#include "framework/string_table.h"

#include <windows.h>

bool LoadResourceString(unsigned id, std::string& text)
{
    text.clear();
    // With a zero buffer size LoadStringW hands out a read-only pointer to
    // the resource itself, so a string of any length loads whole.
    const wchar_t* wide = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&wide), 0);
    if (length <= 0 || wide == nullptr)
        return false;
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return false;
    text.resize(static_cast<std::size_t>(size));
    WideCharToMultiByte(CP_ACP, 0, wide, length, text.data(), size, nullptr, nullptr);
    return true;
}
