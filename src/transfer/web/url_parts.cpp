#include "transfer/web/url_parts.h"

#include "framework/wide_text.h"

#include <shlwapi.h>

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

std::wstring LocalFileName(const char* url)
{
    std::wstring address;
    if (!MultiByteToWide(url, CP_UTF8, MB_ERR_INVALID_CHARS, address))
        address = AnsiToWide(url);
    wchar_t path[kMaxUrlLength + 1] = {};
    DWORD size = kMaxUrlLength + 1;
    if (FAILED(PathCreateFromUrlW(address.c_str(), path, &size, 0)))
        return {};
    return path;
}
