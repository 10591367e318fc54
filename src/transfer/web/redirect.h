#pragma once

#include <optional>
#include <string>

// The rules by which every request follows the server's redirects: which
// replies send it on, to which address, and how far. The library's own
// following is off; these rules are the same on every system.

// The most redirects one request follows. A loop therefore costs the server
// at most kMaxRedirects + 1 requests.
inline constexpr int kMaxRedirects = 10;

// True for the statuses that send the request on to their Location: 301,
// 302, 303, 307 and 308.
bool IsRedirectStatus(long status);

// The absolute http or https address that location sends a request for the
// address base on to. location may be absolute ("https://host/x"), without
// its scheme ("//host/x"), from the root ("/x"), a query ("?q") or relative
// to base's folder ("x", "../x"); dot segments are resolved, a fragment
// dropped, and raw bytes outside printable ASCII percent-encoded. Nothing
// when location is empty or leads to another scheme than http or https.
std::optional<std::string> ResolveLocation(const std::string& base, const std::string& location);

// Where a request for an http or https address goes.
struct WebTarget {
    bool secure = false;
    std::string host;
    unsigned short port = 0;  // the scheme's own when the address names none
    std::string object;       // the path and query, from its "/"
};

// The target of url; nothing when url is no http or https address with a
// host and a port that is a number.
std::optional<WebTarget> TargetOf(const std::string& url);
