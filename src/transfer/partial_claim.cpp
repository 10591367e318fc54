#include "transfer/partial_claim.h"

#include "transfer/full_path.h"

#include <cstdint>

namespace {

// The mutex's name for path: its full form, upper-cased as the file
// system compares names, hashed, since a mutex's name holds no '\'.
std::wstring ClaimName(const std::wstring& path)
{
    std::wstring name = FullPathOf(path);
    if (name.empty())
        name = path;
    // Named with or without the long-path prefix, a file is one file.
    if (name.compare(0, 4, L"\\\\?\\") == 0)
        name.erase(0, 4);
    CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    std::uint64_t hash = 14695981039346656037ull;
    for (wchar_t unit : name) {
        hash ^= static_cast<std::uint16_t>(unit);
        hash *= 1099511628211ull;
    }
    std::wstring hex(16, L'0');
    for (std::size_t i = 16; i-- > 0; hash >>= 4)
        hex[i] = L"0123456789abcdef"[hash & 0xF];
    return L"Local\\Clipwell partial " + hex;
}

}  // namespace

std::optional<PartialClaim> PartialClaim::Take(const std::wstring& path)
{
    UniqueHandle mutex(CreateMutexW(nullptr, FALSE, ClaimName(path).c_str()));
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS)
        return std::nullopt;
    // Without a mutex at all (no memory for it) the file's own sharing
    // still keeps two writers apart; the claim then claims nothing.
    return PartialClaim(std::move(mutex));
}
