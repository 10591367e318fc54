#include "transfer/full_path.h"

#include <windows.h>

#include <vector>

std::wstring FullPathOf(const std::wstring& name)
{
    std::vector<wchar_t> full(GetFullPathNameW(name.c_str(), 0, nullptr, nullptr) + 1, L'\0');
    const DWORD length = GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size())
        return {};
    return std::wstring(full.data(), length);
}
