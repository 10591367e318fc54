// Whole grabs through the real window: the page and the video come from the
// fixture server, reached through the proxy setting.
#include "driver_checks.h"
#include "fixture_client.h"
#include "host_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

const char kPage[] = "http://video.example.com/watch?v=abc";
const char kVideoPath[] = "/get_video?video_id=abc&t=xyz";

std::string VideoBytes(std::size_t size)
{
    std::string bytes = "FLV\x01\x05";
    for (std::size_t i = bytes.size(); i < size; ++i)
        bytes += static_cast<char>((i * 131) ^ (i >> 8));
    bytes.resize(size);
    return bytes;
}

void ServeVideo(FixtureServer& server, const std::string& title, const std::string& body,
                const FixtureServer::Route& route = {})
{
    server.Serve("/watch?v=abc", WatchPageHtml(title, "video_id=abc&t=xyz"));
    server.Serve(kVideoPath, body, route);
}

// Serves a watch page titled title for the video body, grabs it by click
// and returns the saved file's bytes.
std::string Grab(ClipwellDriver& clipwell, FixtureServer& server, const std::string& title, const std::string& body,
                 const FixtureServer::Route& route = {})
{
    ServeVideo(server, title, body, route);
    clipwell.TypeUrl(kPage);
    clipwell.ClickGrab();
    return ExpectOutput(clipwell, title + ".flv");
}

// The requests for the video, as the server received them.
std::vector<std::string> VideoRequests(const FixtureServer& server)
{
    std::vector<std::string> found;
    for (const std::string& request : server.Requests()) {
        if (request.find("/get_video?") != std::string::npos)
            found.push_back(request);
    }
    return found;
}

TEST(StartUp, ShowsAnEmptyIdleDialog)
{
    ClipwellDriver clipwell;
    EXPECT_EQ(clipwell.Text(clipwell.Main()), "Clipwell");
    EXPECT_EQ(clipwell.Status(), "");
    EXPECT_TRUE(clipwell.GrabEnabled());
    EXPECT_EQ(clipwell.Focus(), clipwell.Control(1000));
    EXPECT_EQ(clipwell.Text(clipwell.Control(IDC_GRAB)), "Grab!");
    EXPECT_TRUE(clipwell.OtherDialogs().empty());
}

TEST(StartUp, GrabsTheAddressOnItsCommandLine)
{
    FixtureServer server;
    const std::string video = VideoBytes(5000);
    ServeVideo(server, "Started", video);
    ClipwellOptions options;
    options.arguments = std::string("\"") + kPage + "\"";
    ClipwellDriver clipwell(options);
    EXPECT_TRUE(SameBytes(ExpectOutput(clipwell, "Started.flv"), video));
    EXPECT_EQ(clipwell.Text(clipwell.Control(IDC_URL)), kPage);
    EXPECT_TRUE(clipwell.OtherDialogs().empty());
}

TEST(Grab, SavesTheVideoUnderThePageTitleWithItsProgress)
{
    FixtureServer server;
    ClipwellDriver clipwell;
    const std::string video = VideoBytes(1500);
    // The server pauses after the first kilobyte, so the first status shows.
    FixtureServer::Route route;
    route.stallAfter = {1024};
    route.stallSeconds = 2;
    ServeVideo(server, "Site - Little Battle", video, route);
    // As the shell says once the taskbar button exists: Wine's list shows nothing.
    PostMessageA(clipwell.Main(), RegisterWindowMessageA("TaskbarButtonCreated"), 0, 0);
    clipwell.TypeUrl(kPage);
    clipwell.ClickGrab();
    EXPECT_TRUE(WaitUntil([&] { return clipwell.Status() == "1024 / 1500 B"; }, 10000)) << clipwell.Status();
    const auto caption = [&] { return clipwell.Text(clipwell.Main()); };
    EXPECT_TRUE(WaitUntil([&] { return caption() == "68% - Clipwell"; }, 1000)) << caption();
    EXPECT_FALSE(clipwell.GrabEnabled());
    EXPECT_EQ(clipwell.ProgressHigh(), 1500);
    EXPECT_EQ(clipwell.ProgressPos(), 1024);
    EXPECT_TRUE(SameBytes(ExpectOutput(clipwell, "Site - Little Battle.flv"), video));
    EXPECT_EQ(clipwell.Status(), "1500 / 1500 B");
    EXPECT_TRUE(WaitUntil([&] { return caption() == "Clipwell"; }, 1000)) << caption();
    EXPECT_EQ(clipwell.ProgressLow(), 0);
    EXPECT_EQ(clipwell.ProgressPos(), 1500);
    EXPECT_TRUE(clipwell.OtherDialogs().empty());
}

TEST(Grab, SendsTheVideoRequestAsTheSiteExpects)
{
    FixtureServer server;
    ClipwellDriver clipwell;
    Grab(clipwell, server, "Request", VideoBytes(10));
    const auto requests = VideoRequests(server);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_NE(requests[0].find("GET http://video.example.com"), std::string::npos) << requests[0];
    EXPECT_NE(requests[0].find("/get_video?video_id=abc&t=xyz HTTP/1.0\r\n"), std::string::npos) << requests[0];
    const auto headers = HeaderLines(requests[0]);
    EXPECT_EQ(std::count(headers.begin(), headers.end(), "Accept: video/flv"), 1);
    EXPECT_EQ(std::count(headers.begin(), headers.end(), "User-Agent: Clipwell"), 1);
}

TEST(Grab, SavesWhateverBodyComes)
{
    FixtureServer server;
    ClipwellDriver clipwell;

    // Without Content-Length: the count alone, and a range of 0 .. 0.
    FixtureServer::Route unsized;
    unsized.contentLength = false;
    const std::string video = VideoBytes(3000);
    EXPECT_TRUE(SameBytes(Grab(clipwell, server, "Unsized", video, unsized), video));
    EXPECT_EQ(clipwell.Status(), "3000 /  B");
    EXPECT_EQ(clipwell.ProgressHigh(), 0);

    // An empty body: an empty file, the range set, the status left as it was.
    EXPECT_EQ(Grab(clipwell, server, "Empty", ""), "");
    EXPECT_EQ(clipwell.Status(), "3000 /  B");
    EXPECT_EQ(clipwell.ProgressHigh(), 0);
    EXPECT_TRUE(clipwell.OtherDialogs().empty());
}

TEST(Grab, RunsByEnterAndNamesAPageWithoutTitle)
{
    FixtureServer server;
    server.Serve("/watch?v=untitled", "<p>\r\nx embed src=\"/player2.swf?video_id=u\" y\r\n");
    server.Serve("/get_video?video_id=u", "untitled video");
    ClipwellDriver clipwell;
    clipwell.TypeUrl("http://video.example.com/watch?v=untitled");
    clipwell.TypeKey(VK_RETURN);
    EXPECT_EQ(ExpectOutput(clipwell, ".flv"), "untitled video");
    EXPECT_TRUE(IsWindowVisible(clipwell.Main()));
}

TEST(GrabFixes, OutputNamesStayInTheFolderAndAvoidDevices)
{
    FixtureServer server;
    ClipwellDriver clipwell;
    ServeVideo(server, "..\\..\\up: one", "escaped?");
    clipwell.TypeUrl(kPage);
    clipwell.ClickGrab();
    EXPECT_EQ(ExpectOutput(clipwell, ".._.._up_ one.flv"), "escaped?");

    for (const char* device : {"con", "CONOUT$", "com\xB9.x"}) {
        ServeVideo(server, device, "not the console");
        clipwell.ClickGrab();
        EXPECT_EQ(ExpectOutput(clipwell, std::string("_") + device + ".flv"), "not the console") << device;
    }
    // Too long for a name: cut so that the partial and its record fit too.
    const std::string longTitle = std::string(283, 'x') + " an end";
    ServeVideo(server, longTitle, "long");
    clipwell.ClickGrab();
    EXPECT_TRUE(WaitUntil([&] {
        return UnixFolderListing(clipwell.Folder()).value_or("").find("\n" + longTitle.substr(0, 244) + ".flv\n") !=
                   std::string::npos && clipwell.GrabEnabled();
    }, 20000)) << UnixFolderListing(clipwell.Folder()).value_or("");
}

TEST(GrabFixes, AnUncreatableFileStopsTheGrabBeforeTheRequest)
{
    FixtureServer server;
    ClipwellDriver clipwell;
    const std::string blocker = clipwell.Folder() + "Blocked.flv";
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    ServeVideo(server, "Blocked", "never sent");
    clipwell.TypeUrl(kPage);
    clipwell.ClickGrab();
    const auto box = ExpectMessageBox(clipwell);
    EXPECT_EQ(box.text, "Access to Blocked.flv was denied.");
    EXPECT_EQ(box.icon, "stop");
    EXPECT_TRUE(VideoRequests(server).empty());
    ExpectClosed(clipwell, box);
    EXPECT_TRUE(clipwell.GrabEnabled());
    EXPECT_EQ(clipwell.Status(), "");
}

}  // namespace
