// The line reader end to end: page bodies served over HTTP, read through
// the URL opener, in every way the server may frame them.
#include "fixture_client.h"
#include "transfer/web/web_access.h"

#include <gtest/gtest.h>

#include <fstream>
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

// One page, two readers, on purpose: a file: address is a local text file,
// read as Windows reads any text file (the C runtime's text mode, where only
// CR LF ends a line and a lone CR is text), and a server's page by the
// page's line rule, which drops every CR.
TEST(LineReaderOverHttp, AFileAddressKeepsTheRulesOfALocalTextFile)
{
    const std::string body = "a\rb\r\nc\n";
    std::ofstream("line_reader_page.txt", std::ios::binary) << body;
    char full[MAX_PATH];
    GetFullPathNameA("line_reader_page.txt", MAX_PATH, full, nullptr);
    const std::unique_ptr<CStdioFile> file = CInternetSession().OpenURL((std::string("file://") + full).c_str());
    Lines lines;
    for (std::string line; file->ReadString(line);)
        lines.push_back(line);
    EXPECT_EQ(lines, (Lines{"a\rb", "c"}));
    FixtureServer server;
    EXPECT_EQ(ReadPage(server, body, kFramings[0]), (Lines{"ab", "c"}));
}

}  // namespace
