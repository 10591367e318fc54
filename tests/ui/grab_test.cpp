// Whole grabs through the real window: the page and the video come from the
// fixture server, reached through the proxy setting.
#include "driver_checks.h"
#include "fixture_client.h"
#include "host_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

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
    // The address itself, or a shortcut to it, is grabbed as entered.
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string shortcut = std::string(temp) + "Started page.url";
    std::ofstream(shortcut, std::ios::binary) << "[InternetShortcut]\r\nURL=" << PageUrl(kId) << "\r\n";
    for (const std::string& argument : {PageUrl(kId), shortcut}) {
        SCOPED_TRACE(argument);
        ClipwellOptions options;
        options.arguments = "\"" + argument + "\"";
        ClipwellDriver clipwell(options);
        EXPECT_TRUE(SameBytes(ExpectOutput(clipwell, "Started.flv"), video));
        EXPECT_EQ(WindowText(clipwell.Control(IDC_URL)), PageUrl(kId));
        EXPECT_TRUE(clipwell.OtherDialogs().empty());
    }
}

// Handed several at once, on the command line or in a list: grabbed one
// after another, each once; one report at the end names each that did not
// end whole and each line that is no address, and after a Close, each
// address not grabbed.
TEST(StartUp, GrabsEveryAddressItIsHandedOneAfterAnother)
{
    FixtureServer server;
    const std::string video = VideoBytes(5000);
    for (const char* id : {"q1", "q2", "q3"})
        ServeVideoPage(server, id, std::string("Queued ") + id, video);
    FixtureServer::Route missing;
    missing.status = 404;
    missing.reason = "Not Found";
    ServeVideoPage(server, "gone", "Gone", "<html>no such video</html>", missing);
    FixtureServer::Route stalls;
    stalls.stallAfter = {1024};
    stalls.stallSeconds = 600;
    ServeVideoPage(server, "slow", "Slow", video, stalls);
    char current[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, current);
    const std::string list = std::string(current) + "\\ui-work\\queue list.txt";
    std::ofstream(list, std::ios::binary) << PageUrl("q3") + "\r\nnot an address\r\n\r\n" + PageUrl("q2") + "\r\n";
    const struct {
        std::string arguments;
        std::vector<std::string> whole;
        std::string says;     // a part of the one report at the end
        bool close = false;   // closed once the first grab stalls
    } rows[] = {
        {PageUrl("q1") + " " + PageUrl("gone") + " " + PageUrl("q2") + " " + PageUrl("q1"), {"Queued q1", "Queued q2"},
         "2 of the 3 addresses were saved whole.\n\n" + PageUrl("gone") + "\nThe server answered \"404 Not Found\""},
        {"\"" + list + "\"", {"Queued q3", "Queued q2"},
         "These lines are no addresses, so nothing was grabbed for them:\n\"not an address\""},
        {PageUrl("slow") + " " + PageUrl("q1"), {},
         "kept in \"Slow.flv.part\".\n\nThe queue was stopped before these addresses were grabbed:\n\"" + PageUrl("q1") + "\"",
         true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments);
        ClipwellOptions options;
        options.arguments = row.arguments;
        ClipwellDriver clipwell(options);
        if (row.close) {
            ASSERT_TRUE(WaitUntil([&] { return clipwell.Status() == "1024 / 5000 B"; }, 30000)) << clipwell.Status();
            clipwell.SysCommand(SC_CLOSE);
        }
        const auto box = ExpectMessageBox(clipwell);
        EXPECT_NE(box.text.find(row.says), std::string::npos) << box.text;
        for (const std::string& name : row.whole)
            EXPECT_TRUE(SameBytes(ExpectOutput(clipwell, name + ".flv"), video)) << name;
        ExpectClosed(clipwell, box);
        EXPECT_FALSE(clipwell.WaitForMessageBox(500).has_value()) << "a report too many";
    }
    EXPECT_EQ(server.RequestsFor("/get_video?video_id=q1").size(), 1u);
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
    // Too long for a name: cut so that the partial and its record fit too,
    // in UTF-16 units and in the UTF-8 bytes of a Unix name: of 120 CJK
    // characters (360 bytes), 81.
    std::string cjk;
    for (int i = 0; i < 120; ++i)
        cjk += "\xE5\x8B\x95";
    const std::string longTitle = std::string(283, 'x') + " an end";
    for (const auto& [title, kept, charset] : {std::tuple(longTitle, longTitle.substr(0, 244), "windows-1252"),
                                               std::tuple(cjk, cjk.substr(0, 81 * 3), "utf-8")}) {
        std::string page = WatchPageHtml(title, "video_id=" + std::string(kId));
        page.replace(page.find("windows-1252"), 12, charset);
        ServeVideoPage(server, kId, title, "long");
        server.Serve("/watch?v=" + std::string(kId), page);
        clipwell.ClickGrab();
        EXPECT_TRUE(WaitUntil([&] {
            return UnixFolderListing(clipwell.Folder()).value_or("").find("\n" + kept + ".flv\n") !=
                       std::string::npos && clipwell.GrabEnabled();
        }, 20000)) << UnixFolderListing(clipwell.Folder()).value_or("");
    }
}

TEST(GrabFixes, AnUncreatableFileStopsTheGrabBeforeTheRequest)
{
    FixtureServer server;
    ClipwellDriver clipwell;
    // A folder of the video's name; a partial that another program holds.
    const std::string blocker = clipwell.Folder() + "Blocked.flv";
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const HANDLE held = CreateFileA((clipwell.Folder() + "Held.flv.part").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::pair<std::string, std::string> rows[] = {
        {"Blocked", "Access to Blocked.flv was denied."},
        {"Held", "Another program has \"Held.flv.part\" open, so this grab did not start. Close that program, and "
                 "grab the page again."}};
    for (const auto& [title, says] : rows) {
        ServeVideoPage(server, kId, title, "never sent");
        clipwell.StartGrab(PageUrl(kId));
        const auto box = ExpectMessageBox(clipwell);
        EXPECT_EQ(box.text, says);
        EXPECT_EQ(box.icon, "stop");
        EXPECT_TRUE(server.RequestsFor(kVideoPath).empty());
        ExpectClosed(clipwell, box);
        EXPECT_TRUE(clipwell.GrabEnabled());
        EXPECT_EQ(clipwell.Status(), "");
    }
    CloseHandle(held);
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
