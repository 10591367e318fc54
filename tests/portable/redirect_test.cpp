#include "transfer/web/redirect.h"
#include "transfer/web/wire_address.h"

#include <gtest/gtest.h>

namespace {

TEST(Redirect, ResolvesEveryKindOfLocation)
{
    const std::string base = "http://video.example.com/a/b/get_video?video_id=x";
    const struct {
        const char* location;
        const char* resolved;  // nullptr: no address to go on to
    } rows[] = {
        {"https://cdn.example.com:8443/v.flv?s=1", "https://cdn.example.com:8443/v.flv?s=1"},
        {"HTTP://Other.example.com", "http://Other.example.com/"},
        {"//cdn.example.com/x", "http://cdn.example.com/x"},
        {"/x", "http://video.example.com/x"},
        {"x", "http://video.example.com/a/b/x"},
        {"../x", "http://video.example.com/a/x"},
        {"../../../x/./y", "http://video.example.com/x/y"},
        {"?video_id=y", "http://video.example.com/a/b/get_video?video_id=y"},
        {" /x#part ", "http://video.example.com/x"},
        {"/caf\xc3\xa9 2.flv", "http://video.example.com/caf%C3%A9%202.flv"},
        {"", nullptr},
        {"file:///C:/boot.ini", nullptr},
        {"ftp://video.example.com/x", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.location);
        const std::optional<std::string> resolved = ResolveLocation(base, row.location);
        EXPECT_EQ(resolved.value_or("(none)"), row.resolved ? row.resolved : "(none)");
    }
    for (const long status : {300L, 301L, 302L, 303L, 304L, 307L, 308L})
        EXPECT_EQ(IsRedirectStatus(status), status != 300 && status != 304) << status;
}

TEST(WireAddress, SpellsAnyScriptAsABrowserSendsIt)
{
    // The system's IDNA form, as far as these rows need it.
    const auto idna = [](std::string_view host) {
        return host == "b\xc3\xbc" "cher.example" ? std::string("xn--bcher-kva.example") : std::string();
    };
    const struct {
        const char* typed;  // UTF-8
        const char* wire;   // nullptr: no network address
    } rows[] = {
        {"http://video.example.com/watch?v=abc&from=\xce\xa9mega-\xe6\xb8\xaf",
         "http://video.example.com/watch?v=abc&from=%CE%A9mega-%E6%B8%AF"},
        {"HTTPS://b\xc3\xbc" "cher.example:8443/\xc3\xa9t\xc3\xa9?q=%41 b#\xc3\xa0",
         "HTTPS://xn--bcher-kva.example:8443/%C3%A9t%C3%A9?q=%41 b#%C3%A0"},
        {"http://\xc3\xbc:pw@b\xc3\xbc" "cher.example/", "http://%C3%BC:pw@xn--bcher-kva.example/"},
        {"http://\xce\xa9.example?\xce\xa9", "http://%CE%A9.example?%CE%A9"},
        {"http://[::1]/\xce\xa9", "http://[::1]/%CE%A9"},
        {"file:///C:/\xce\xa9.html", nullptr},
        {"C:\\pages\\\xce\xa9.html", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        EXPECT_EQ(WireAddress(row.typed, idna).value_or("(none)"), row.wire ? row.wire : "(none)");
    }
}

}  // namespace
