// The line reader end to end: page bodies served over HTTP, read through
// the URL opener, in every way the server may frame them.
#include "fixture_client.h"
#include "transfer/web/web_access.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

struct Framing {
    const char* name;
    bool contentLength;
    bool chunked;
};

constexpr Framing kFramings[] = {{"length", true, false}, {"no length", false, false}, {"chunked", false, true}};

Lines ReadPage(FixtureServer& server, const std::string& body, const Framing& framing)
{
    FixtureServer::Route route;
    route.contentLength = framing.contentLength;
    route.chunked = framing.chunked;
    server.Serve("/page", body, route);
    CInternetSession session;
    const std::unique_ptr<CStdioFile> page = session.OpenURL(server.Url("/page").c_str());
    Lines lines;
    std::string line = "stale";
    while (page->ReadString(line))
        lines.push_back(line);
    EXPECT_EQ(line, "");
    EXPECT_FALSE(page->ReadString(line));
    return lines;
}

TEST(LineReaderOverHttp, GivesTheLinesOfEveryEdgeCase)
{
    std::string line200(200, 'b');
    line200[2] = '\r';
    const std::string big(5000, 'q');
    const struct {
        std::string body;
        Lines lines;
    } cases[] = {
        {"a\r\nb", {"a", "b"}},
        {"a\n\nb\n", {"a", "", "b"}},
        {"", {}},
        {"last", {"last"}},
        {std::string(300, 'x') + "\n", {std::string(300, 'x')}},
        {std::string(127, 'y') + "\n", {std::string(127, 'y')}},
        {std::string(126, 'c') + "\r\n", {std::string(126, 'c'), ""}},
        {line200 + "\n", {"bb" + std::string(124, 'b'), std::string(73, 'b')}},
        {std::string("ab\0cd\nz\n", 8), {"ab", "z"}},
        {big + "\r\n" + big, {big, big}},
    };
    FixtureServer server;
    for (const Framing& framing : kFramings) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(framing.name) + ": " + c.body.substr(0, 20));
            EXPECT_EQ(ReadPage(server, c.body, framing), c.lines);
        }
    }
}

}  // namespace
