// Whole grabs through the real window: the page and the video come from the
// fixture server, reached through the proxy setting.
#include "driver_checks.h"
#include "fixture_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

// The page's id, which its player passes on whole as the video's query.
const char kId[] = "abc&t=xyz";
const char kVideoPath[] = "/get_video?video_id=abc&t=xyz";

// Serves a watch page titled title for the video body, grabs it by click
// and returns the saved file's bytes.
std::string Grab(ClipwellDriver& clipwell, FixtureServer& server, const std::string& title, const std::string& body,
                 const FixtureServer::Route& route = {})
{
    ServeVideoPage(server, kId, title, body, route);
    return ExpectGrab(clipwell, kId, title + ".flv");
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
    ServeVideoPage(server, kId, "Started", video);
    ClipwellOptions options;
    options.arguments = "\"" + PageUrl(kId) + "\"";
    ClipwellDriver clipwell(options);
    EXPECT_TRUE(SameBytes(ExpectOutput(clipwell, "Started.flv"), video));
    EXPECT_EQ(clipwell.Text(clipwell.Control(IDC_URL)), PageUrl(kId));
    EXPECT_TRUE(clipwell.OtherDialogs().empty());
}

TEST(Grab, SavesTheVideoUnderThePageTitleWithItsProgress)
{
    FixtureServer server;
    ClipwellDriver clipwell;
    const std::string video = VideoBytes(1500);
    // As the shell says once the taskbar button exists: Wine's list shows nothing.
    PostMessageA(clipwell.Main(), RegisterWindowMessageA("TaskbarButtonCreated"), 0, 0);
    // The server stalls after the first kilobyte, so the first status shows.
    StartStalledGrab(clipwell, server, kId, "Site - Little Battle", video, 1024);
    const auto caption = [&] { return clipwell.Text(clipwell.Main()); };
    EXPECT_TRUE(WaitUntil([&] { return caption() == "68% - Clipwell"; }, 30000)) << caption();
    EXPECT_EQ(clipwell.ProgressHigh(), 1500);
    EXPECT_EQ(clipwell.ProgressPos(), 1024);
    server.Resume(kVideoPath);
    EXPECT_TRUE(SameBytes(ExpectOutput(clipwell, "Site - Little Battle.flv"), video));
    EXPECT_EQ(clipwell.Status(), "1500 / 1500 B");
    EXPECT_TRUE(WaitUntil([&] { return caption() == "Clipwell"; }, 10000)) << caption();
    EXPECT_EQ(clipwell.ProgressLow(), 0);
    EXPECT_EQ(clipwell.ProgressPos(), 1500);
    EXPECT_TRUE(clipwell.OtherDialogs().empty());
}

TEST(Grab, SendsTheVideoRequestAsTheSiteExpects)
{
    FixtureServer server;
    ClipwellDriver clipwell;
    Grab(clipwell, server, "Request", VideoBytes(10));
    const auto requests = server.RequestsFor(kVideoPath);
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
    ServeVideoPage(server, kId, "..\\..\\up: one", "escaped?");
    EXPECT_EQ(ExpectGrab(clipwell, kId, ".._.._up_ one.flv"), "escaped?");

    for (const char* device : {"con", "CONOUT$", "com\xB9.x"}) {
        ServeVideoPage(server, kId, device, "not the console");
        clipwell.ClickGrab();
        EXPECT_EQ(ExpectOutput(clipwell, std::string("_") + device + ".flv"), "not the console") << device;
    }
}

TEST(GrabFixes, AnUncreatableFileStopsTheGrabBeforeTheRequest)
{
    FixtureServer server;
    ClipwellDriver clipwell;
    const std::string blocker = clipwell.Folder() + "Blocked.flv";
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    ServeVideoPage(server, kId, "Blocked", "never sent");
    clipwell.StartGrab(PageUrl(kId));
    const auto box = ExpectMessageBox(clipwell);
    EXPECT_EQ(box.text, "Access to Blocked.flv was denied.");
    EXPECT_EQ(box.icon, "stop");
    EXPECT_TRUE(server.RequestsFor(kVideoPath).empty());
    ExpectClosed(clipwell, box);
    EXPECT_TRUE(clipwell.GrabEnabled());
    EXPECT_EQ(clipwell.Status(), "");
}

}  // namespace
