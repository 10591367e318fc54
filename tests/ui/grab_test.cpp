// Whole grabs through the real window: the page and the video come from the
// fixture server, reached through the proxy setting.
#include "driver_checks.h"
#include "fixture_client.h"
#include "host_files.h"

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
    EXPECT_EQ(WindowText(clipwell.Main()), "Clipwell");
    EXPECT_EQ(clipwell.Status(), "");
    EXPECT_TRUE(clipwell.GrabEnabled());
    EXPECT_EQ(clipwell.Focus(), clipwell.Control(1000));
    EXPECT_EQ(WindowText(clipwell.Control(IDC_GRAB)), "Grab!");
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
    EXPECT_EQ(WindowText(clipwell.Control(IDC_URL)), PageUrl(kId));
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
    const auto caption = [&] { return WindowText(clipwell.Main()); };
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
    clipwell.StartGrab("http://video.example.com/watch?v=untitled", GrabBy::Enter);
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
    // Too long for a name: cut so that the partial and its record fit too.
    const std::string longTitle = std::string(283, 'x') + " an end";
    ServeVideoPage(server, kId, longTitle, "long");
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

TEST(Grab, SendsAnAddressInAnyScriptAsABrowserDoes)
{
    // Typed or on the command line, on a Western system: the page is found
    // only at the path with the UTF-8 escapes, and the host goes in IDNA.
    const struct {
        bool commandLine;
        const char *address, *host, *path;
    } rows[] = {{false, "http://video.example.com/watch?v=abc&from=\xce\xa9mega-\xe6\xb8\xaf", "video.example.com",
                 "/watch?v=abc&from=%CE%A9mega-%E6%B8%AF"},
                {true, "http://video.example.com/w?q=\xce\xb5\xce\xbb \xe6\x97\xa5", "video.example.com",
                 "/w?q=%CE%B5%CE%BB%20%E6%97%A5"},
                {false, "http://b\xc3\xbc" "cher.example/watch?v=abc", "xn--bcher-kva.example", "/watch?v=abc"}};
    for (const auto& row : rows) {
        FixtureServer server;
        ServeVideoPage(server, kId, "Any script", "video");
        server.Serve(row.path, WatchPageHtml("Any script", "video_id=abc&t=xyz"));
        ClipwellOptions options;
        options.arguments = row.commandLine ? std::string("\"") + row.address + "\"" : "";
        ClipwellDriver clipwell(options);
        if (!row.commandLine)
            clipwell.StartGrab(row.address);
        EXPECT_EQ(ExpectOutput(clipwell, "Any script.flv"), "video") << row.address;
        EXPECT_EQ(WindowText(clipwell.Control(IDC_URL)), row.address);
        const auto headers = HeaderLines(server.Requests().at(0));
        EXPECT_EQ(std::count(headers.begin(), headers.end(), std::string("Host: ") + row.host), 1) << row.address;
    }
}

// Types a user name and password into the system's proxy dialog once it
// shows, and presses button; false when none shows, or when it runs on a
// thread other than the main window's.
bool AnswerProxyDialog(const ClipwellDriver& clipwell, int button)
{
    HWND user = nullptr;
    const auto shown = [&] {
        for (HWND dialog : clipwell.OtherDialogs())
            user = FindWindowExA(dialog, nullptr, "Edit", nullptr);
        return user != nullptr;
    };
    if (!WaitUntil(shown, 10000))
        return false;
    EXPECT_EQ(GetWindowThreadProcessId(GetParent(user), nullptr), GetWindowThreadProcessId(clipwell.Main(), nullptr));
    SendMessageA(user, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ann"));
    SendMessageA(GetNextDlgTabItem(GetParent(user), user, FALSE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("s3cret"));
    return PostMessageA(GetParent(user), WM_COMMAND, static_cast<WPARAM>(button), 0);
}

TEST(Proxy, AsksForItsPasswordThroughTheSystemsDialog)
{
    // The page's proxy asks, the video's, both, and the page's refused; none passes anything on without it.
    for (const int row : {0, 1, 3, 2}) {
        FixtureServer server;
        FixtureServer::Route asks;
        asks.proxyAuth = "ann:s3cret";
        ServeVideoPage(server, kId, "Signed in", "video", row % 2 == 1 ? asks : FixtureServer::Route());
        if (row != 1)
            server.Serve("/watch?v=abc&t=xyz", WatchPageHtml("Signed in", "video_id=abc&t=xyz"), asks);
        ClipwellDriver clipwell;
        clipwell.StartGrab(PageUrl(kId));
        ASSERT_TRUE(AnswerProxyDialog(clipwell, row == 2 ? IDCANCEL : IDOK)) << row;
        if (row == 2) {
            const auto box = ExpectMessageBox(clipwell);
            EXPECT_EQ(box.text, "The proxy 127.0.0.1:" + std::to_string(server.Port()) + " asks for a user name and "
                                "password before it lets Clipwell reach " + PageUrl(kId) + ", and none was given.");
            ExpectClosed(clipwell, box);
            EXPECT_FALSE(clipwell.WaitForMessageBox(2000).has_value()) << "a report too many";
            break;
        }
        EXPECT_EQ(ExpectOutput(clipwell, "Signed in.flv"), "video") << row;
    }
}

}  // namespace
