#include "transfer/web/url_parts.h"

#include <cctype>

namespace {

constexpr DWORD kMaxUrlLength = INTERNET_MAX_URL_LENGTH;  // 2084

bool Canonicalize(const char* address, std::string& canonical)
{
    DWORD size = kMaxUrlLength;
    canonical.assign(size, '\0');
    if (!InternetCanonicalizeUrlA(address, canonical.data(), &size, ICU_BROWSER_MODE)) {
        // The library reports the size it needs; try once more with that.
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return false;
        canonical.assign(size, '\0');
        if (!InternetCanonicalizeUrlA(address, canonical.data(), &size, ICU_BROWSER_MODE))
            return false;
    }
    canonical.resize(size);
    return true;
}

}  // namespace

bool SplitUrl(const char* address, UrlParts& parts)
{
    std::string canonical;
    if (!Canonicalize(address, canonical))
        return false;

    char host[kMaxUrlLength + 1] = {};
    char path[kMaxUrlLength + 1] = {};
    URL_COMPONENTSA components = {};
    components.dwStructSize = sizeof components;
    components.lpszHostName = host;
    components.dwHostNameLength = sizeof host;
    components.lpszUrlPath = path;
    components.dwUrlPathLength = sizeof path;
    if (!InternetCrackUrlA(canonical.c_str(), static_cast<DWORD>(canonical.size()), 0, &components))
        return false;

    parts.scheme = components.nScheme;
    parts.host.assign(host, components.dwHostNameLength);
    parts.path.assign(path, components.dwUrlPathLength);
    return true;
}

std::string LocalFileName(const std::string& urlPath)
{
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    std::string name;
    for (std::size_t i = 0; i < urlPath.size(); ++i) {
        if (urlPath[i] == '%' && i + 2 < urlPath.size() && hex(urlPath[i + 1]) >= 0 && hex(urlPath[i + 2]) >= 0) {
            name += static_cast<char>(hex(urlPath[i + 1]) * 16 + hex(urlPath[i + 2]));
            i += 2;
        } else {
            name += urlPath[i];
        }
    }
    if (name.size() >= 3 && (name[0] == '/' || name[0] == '\\') && isalpha(static_cast<unsigned char>(name[1])) &&
        name[2] == ':')
        name.erase(0, 1);
    return name;
}
