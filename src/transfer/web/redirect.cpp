#include "transfer/web/redirect.h"

#include "transfer/web/percent_escape.h"

#include <cctype>
#include <string_view>

namespace {

// An address cut into scheme ("http"), authority ("host:port"), path and
// query (with its "?"; empty when there is none).
struct Address {
    std::string scheme;
    std::string authority;
    std::string path;
    std::string query;
};

std::string Lower(std::string_view text)
{
    std::string lower;
    for (const char c : text)
        lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return lower;
}

// The servers' raw bytes (a blank, controls, anything past ASCII) as escapes.
std::string Escaped(std::string_view text)
{
    return PercentEscaped(text, [](unsigned char byte) { return byte > 0x20 && byte < 0x7F; });
}

// The scheme that text starts with, lower-cased; empty when it has none.
std::string SchemeOf(std::string_view text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(text[0])))
        return {};
    for (std::size_t i = 0; i < colon; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return {};
    }
    return Lower(text.substr(0, colon));
}

// Splits "//authority/path?query" (the part after the scheme's colon).
bool SplitNetworkPath(std::string_view rest, Address& address)
{
    if (rest.substr(0, 2) != "//")
        return false;
    rest.remove_prefix(2);
    const std::size_t end = rest.find_first_of("/?");
    address.authority = std::string(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
    const std::size_t query = rest.find('?');
    address.path = std::string(rest.substr(0, query));
    address.query = query == std::string_view::npos ? std::string() : std::string(rest.substr(query));
    return !address.authority.empty();
}

// The path with its "." and ".." segments resolved, as a browser does.
std::string WithoutDotSegments(std::string_view path)
{
    std::string output;
    while (!path.empty()) {
        if (path.substr(0, 3) == "../" || path.substr(0, 2) == "./") {
            path.remove_prefix(path[0] == '.' && path[1] == '.' ? 3 : 2);
        } else if (path.substr(0, 3) == "/./" || path == "/.") {
            path = path.size() == 2 ? std::string_view("/") : path.substr(2);
        } else if (path.substr(0, 4) == "/../" || path == "/..") {
            path = path.size() == 3 ? std::string_view("/") : path.substr(3);
            output.erase(output.empty() ? 0 : output.rfind('/'));
        } else if (path == "." || path == "..") {
            path = {};
        } else {
            const std::size_t next = path.find('/', 1);
            output.append(path.substr(0, next));
            path = next == std::string_view::npos ? std::string_view() : path.substr(next);
        }
    }
    return output;
}

bool IsWebScheme(const std::string& scheme)
{
    return scheme == "http" || scheme == "https";
}

}  // namespace

bool IsRedirectStatus(long status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::optional<WebTarget> TargetOf(const std::string& url)
{
    Address address;
    const std::string scheme = SchemeOf(url);
    if (!IsWebScheme(scheme) || !SplitNetworkPath(std::string_view(url).substr(scheme.size() + 1), address))
        return std::nullopt;
    WebTarget target;
    target.secure = scheme == "https";
    target.port = target.secure ? 443 : 80;
    target.object = (address.path.empty() ? "/" : address.path) + address.query;
    // The host may be an IPv6 literal in brackets, with colons of its own.
    const std::string authority = address.authority.substr(address.authority.rfind('@') + 1);
    const std::size_t colon = authority.rfind(':');
    const std::size_t bracket = authority.rfind(']');
    target.host = authority.substr(0, colon);
    if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
        const std::string digits = authority.substr(colon + 1);
        if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos ||
            std::stoul(digits) > 65535)
            return std::nullopt;
        target.port = static_cast<unsigned short>(std::stoul(digits));
    } else {
        target.host = authority;
    }
    if (target.host.empty())
        return std::nullopt;
    return target;
}

std::optional<std::string> ResolveLocation(const std::string& base, const std::string& location)
{
    Address from;
    const std::string baseScheme = SchemeOf(base);
    if (!IsWebScheme(baseScheme) || !SplitNetworkPath(std::string_view(base).substr(baseScheme.size() + 1), from))
        return std::nullopt;
    // Blanks around the value are the header's, not the address's.
    const std::size_t start = location.find_first_not_of(" \t");
    if (start == std::string::npos)
        return std::nullopt;
    const std::size_t end = location.find_last_not_of(" \t") + 1;
    const std::string target = Escaped(std::string_view(location).substr(start, end - start).substr(
        0, location.find('#', start) - start));
    if (target.empty())
        return std::nullopt;
    const std::string scheme = SchemeOf(target);
    from.scheme = baseScheme;
    Address to = from;
    if (!scheme.empty()) {
        if (!IsWebScheme(scheme) || !SplitNetworkPath(std::string_view(target).substr(scheme.size() + 1), to))
            return std::nullopt;
        to.scheme = scheme;
    } else if (target.rfind("//", 0) == 0) {
        if (!SplitNetworkPath(target, to))
            return std::nullopt;
    } else {
        const std::size_t query = target.find('?');
        std::string path = target.substr(0, query);
        to.query = query == std::string::npos ? std::string() : target.substr(query);
        if (path.empty() && query != std::string::npos)
            path = from.path;
        else if (path.empty() || path[0] != '/')
            path = from.path.substr(0, from.path.rfind('/') + 1).insert(0, from.path.empty() ? "/" : "") + path;
        to.path = path;
    }
    to.path = WithoutDotSegments(to.path);
    return to.scheme + "://" + to.authority + (to.path.empty() ? "/" : to.path) + to.query;
}
