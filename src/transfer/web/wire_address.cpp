#include "transfer/web/wire_address.h"

#include "transfer/web/percent_escape.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsAsciiByte(unsigned char byte)
{
    return byte < 0x80;
}

// text with each byte outside ASCII as its percent escape.
std::string Escaped(std::string_view text)
{
    return PercentEscaped(text, &IsAsciiByte);
}

// The length of the scheme and "://" that typed starts with; 0 when it
// starts with none, or with the file: scheme.
std::size_t NetworkSchemeLength(std::string_view typed)
{
    const std::size_t colon = typed.find("://");
    if (colon == std::string_view::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(typed[0])))
        return 0;
    std::string scheme;
    for (const char c : typed.substr(0, colon)) {
        const auto byte = static_cast<unsigned char>(c);
        if (!std::isalnum(byte) && c != '+' && c != '-' && c != '.')
            return 0;
        scheme.push_back(static_cast<char>(std::tolower(byte)));
    }
    return scheme == "file" ? 0 : colon + 3;
}

}  // namespace

std::optional<std::string> WireAddress(std::string_view typed,
                                       const std::function<std::string(std::string_view)>& asciiHost)
{
    const std::size_t start = NetworkSchemeLength(typed);
    if (start == 0)
        return std::nullopt;
    const std::size_t authorityEnd = std::min(typed.find_first_of("/?#", start), typed.size());
    // The host follows the user name and password, if any, and goes on to
    // the port (an IPv6 literal in brackets is ASCII).
    const std::size_t at = typed.substr(0, authorityEnd).rfind('@');
    const std::size_t hostStart = at == std::string_view::npos || at < start ? start : at + 1;
    const std::size_t colon = typed.substr(0, authorityEnd).rfind(':');
    const std::size_t hostEnd = colon == std::string_view::npos || colon < hostStart ? authorityEnd : colon;
    const std::string_view host = typed.substr(hostStart, hostEnd - hostStart);
    // A host that needs no escape is ASCII already.
    std::string wireHost = Escaped(host) == host ? std::string(host) : asciiHost(host);
    if (wireHost.empty())
        wireHost = Escaped(host);
    return Escaped(typed.substr(0, hostStart)) + wireHost + Escaped(typed.substr(hostEnd));
}
