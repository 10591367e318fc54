#include "transfer/web/url_parts.h"

#include "framework/wide_text.h"

#include <shlwapi.h>

#include <cstdlib>
#include <cwctype>

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

// The byte that the percent escape at address[at] spells when it is one
// past ASCII; nothing else.
bool HighEscape(const std::wstring& address, std::size_t at, char& byte)
{
    if (at + 2 >= address.size() || address[at] != L'%' || !iswxdigit(address[at + 1]) || !iswxdigit(address[at + 2]))
        return false;
    const unsigned long value = std::wcstoul(address.substr(at + 1, 2).c_str(), nullptr, 16);
    byte = static_cast<char>(value);
    return value >= 0x80;
}

// address with each run of escapes past ASCII that spells UTF-8 put as the
// characters it spells, as a browser writes a file: address; the system
// would read each escape as a character of its own.
std::wstring ReadUtf8Escapes(const std::wstring& address)
{
    std::wstring read;
    for (std::size_t at = 0; at < address.size();) {
        std::string bytes;
        std::size_t end = at;
        for (char byte; HighEscape(address, end, byte); end += 3)
            bytes.push_back(byte);
        std::wstring characters;
        if (!bytes.empty() && MultiByteToWide(bytes, CP_UTF8, MB_ERR_INVALID_CHARS, characters)) {
            read += characters;
            at = end;
        } else {
            read += address[at++];
        }
    }
    return read;
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
    if (FAILED(PathCreateFromUrlW(ReadUtf8Escapes(address).c_str(), path, &size, 0)))
        return {};
    return path;
}
