#include "transfer/web/request_address.h"

#include "framework/wide_text.h"
#include "transfer/web/wire_address.h"

#include <windows.h>

#include <cstring>
#include <optional>
#include <string_view>

namespace {

// The IDNA (punycode) form of a host name in UTF-8, as the system spells
// it; empty when it has none.
std::string IdnaHost(std::string_view host)
{
    std::wstring wide;
    if (!MultiByteToWide(host, CP_UTF8, 0, wide) || wide.empty())
        return {};
    const int wideLength = static_cast<int>(wide.size());
    const int length = IdnToAscii(0, wide.data(), wideLength, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring ascii(static_cast<std::size_t>(length), L'\0');
    if (IdnToAscii(0, wide.data(), wideLength, ascii.data(), length) != length)
        return {};
    return std::string(ascii.begin(), ascii.end());
}

bool IsFileAddress(std::string_view typed)
{
    constexpr std::string_view scheme = "file:";
    return typed.size() >= scheme.size() && _strnicmp(typed.data(), scheme.data(), scheme.size()) == 0;
}

}  // namespace

std::string RequestAddress(const std::string& typed)
{
    if (std::optional<std::string> wire = WireAddress(typed, &IdnaHost))
        return *wire;
    if (IsFileAddress(typed))
        return typed;
    std::wstring wide;
    MultiByteToWide(typed, CP_UTF8, 0, wide);
    return WideToAnsi(wide);
}
