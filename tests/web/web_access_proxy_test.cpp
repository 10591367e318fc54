// Requests to the video site's host, which reach the fixture server through
// the system's proxy setting (http_proxy under Wine).
#include "fixture_client.h"
#include "transfer/web/web_access.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

TEST(ProxyVideoRequest, GoesOnTheWireAsTheProgramAsksForIt)
{
    ASSERT_NE(std::getenv("http_proxy"), nullptr) << "run with the fixture server as proxy";
    FixtureServer server;
    server.Serve("/get_video?video_id=abc&t=xyz", "FLV\x01 body");

    CInternetSession session;
    auto connection = session.GetHttpConnection("video.example.com", 80);
    auto response = connection->OpenRequest(CHttpConnection::HTTP_VERB_GET, "get_video?video_id=abc&t=xyz");
    EXPECT_TRUE(response->AddRequestHeaders("Accept : video/flv\r\n"));
    // Added only if new: a second Accept is refused.
    EXPECT_FALSE(response->AddRequestHeaders("Accept : text/html\r\n"));
    response->SendRequest();
    char buffer[64];
    const unsigned n = response->Read(buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, n), "FLV\x01 body");

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& request = requests[0];
    const std::string requestLine = request.substr(0, request.find("\r\n"));
    EXPECT_EQ(requestLine.substr(0, 4), "GET ");
    EXPECT_NE(requestLine.find("http://video.example.com"), std::string::npos) << requestLine;
    EXPECT_NE(requestLine.find("/get_video?video_id=abc&t=xyz HTTP/1.0"), std::string::npos) << requestLine;

    const auto headers = HeaderLines(request);
    EXPECT_EQ(std::count(headers.begin(), headers.end(), "Accept: video/flv"), 1) << request;
    EXPECT_EQ(std::count_if(headers.begin(), headers.end(),
                            [](const std::string& h) { return h.rfind("Accept", 0) == 0; }),
              1);
    EXPECT_EQ(std::count(headers.begin(), headers.end(), "User-Agent: web_tests"), 1) << request;
}

TEST(ProxyPageRequest, ReachesAnyHostThroughTheProxy)
{
    FixtureServer server;
    server.Serve("/watch?v=abc", "<title>Clip</title>\n");
    CInternetSession session;
    auto page = session.OpenURL("http://video.example.com/watch?v=abc");
    std::string line;
    ASSERT_TRUE(page->ReadString(line));
    EXPECT_EQ(line, "<title>Clip</title>");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto headers = HeaderLines(requests[0]);
    EXPECT_EQ(std::count(headers.begin(), headers.end(), "User-Agent: web_tests"), 1) << requests[0];
}

}  // namespace
