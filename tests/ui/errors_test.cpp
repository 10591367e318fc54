// How failures reach the user, and what the application name decides.
#include "driver_checks.h"
#include "fixture_client.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// The text without the line break that message tables put at the end.
std::string Trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

// Runs a grab of url and returns the report it gave.
ClipwellDriver::MessageBoxInfo FailedGrab(ClipwellDriver& clipwell, const std::string& url, GrabBy by = GrabBy::Click)
{
    clipwell.StartGrab(url, by);
    const auto box = ExpectMessageBox(clipwell);
    ExpectClosed(clipwell, box);
    return box;
}

TEST(Errors, APageWithoutPlayerSaysSoByClickAndByEnter)
{
    FixtureServer server;
    server.Serve("/watch?v=none", "<html>\r\n<title>No player</title>\r\n</html>\r\n");
    ClipwellDriver clipwell;
    for (GrabBy by : {GrabBy::Click, GrabBy::Enter}) {
        const auto box = FailedGrab(clipwell, PageUrl("none"), by);
        EXPECT_EQ(box.text, "An invalid argument was encountered.");
        EXPECT_EQ(box.caption, "Clipwell");
        EXPECT_EQ(box.icon, "stop");
        EXPECT_EQ(box.owner, clipwell.Main());
        EXPECT_FALSE(box.topmost);
    }
    // Nothing was asked of the video host, nothing created, and the dialog
    // takes input again.
    EXPECT_EQ(server.Requests().size(), 2u);
    EXPECT_FALSE(clipwell.OutputExists("No player.flv"));
    EXPECT_TRUE(IsWindowEnabled(clipwell.Main()));
    EXPECT_TRUE(clipwell.GrabEnabled());
}

TEST(Errors, NetworkAndFileFailuresShowTheirOwnText)
{
    ClipwellOptions direct;
    direct.proxy = false;
    ClipwellDriver clipwell(direct);
    const auto unreachable =
        FailedGrab(clipwell, "http://127.0.0.1:" + std::to_string(ClosedLoopbackPort()) + "/watch");
    EXPECT_EQ(Trimmed(unreachable.text), "The attempt to connect to the server failed.");
    EXPECT_EQ(unreachable.icon, "stop");

    // Wine's library calls an empty address an invalid parameter.
    const auto empty = FailedGrab(clipwell, "");
    EXPECT_NE(Trimmed(empty.text), "");
    EXPECT_EQ(empty.icon, "stop");

    // A page that never ends: one report, and memory a 32-bit process has.
    FixtureServer server;
    FixtureServer::Route endless;
    endless.reply = "endless";
    server.Serve("/endless", WatchPageHtml("Endless", "video_id=endless"), endless);
    clipwell.StartGrab(server.Url("/endless"));
    const auto unending = ExpectMessageBox(clipwell, 60000);
    EXPECT_NE(unending.text.find("The page at " + server.Url("/endless") + " went on"), std::string::npos);
    ExpectClosed(clipwell, unending);
    PROCESS_MEMORY_COUNTERS memory = {};
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, clipwell.ProcessId());
    EXPECT_TRUE(GetProcessMemoryInfo(process, &memory, sizeof memory));
    CloseHandle(process);
    EXPECT_LT(memory.PeakWorkingSetSize, 256u << 20);

    const std::string missing = clipwell.Folder() + "missing page.html";
    const auto file = FailedGrab(clipwell, "file://" + missing, GrabBy::Enter);
    EXPECT_EQ(file.text, missing + " was not found.");
    EXPECT_EQ(file.icon, "stop");
}

TEST(Errors, ACodeNoTableKnowsFallsBackByHowTheGrabCame)
{
    // The stand-in FTP server refuses with a reply the library turns into
    // its extended error, for which Wine's tables hold no text.
    const std::string url = std::string("ftp://127.0.0.1:") + std::getenv("CLIPWELL_FIXTURE_FTP_PORT") + "/watch";
    ClipwellOptions direct;
    direct.proxy = false;
    ClipwellDriver clipwell(direct);
    const auto clicked = FailedGrab(clipwell, url);
    EXPECT_EQ(clicked.text, "Internal application error.");
    EXPECT_EQ(clicked.icon, "stop");
    const auto entered = FailedGrab(clipwell, url, GrabBy::Enter);
    EXPECT_EQ(entered.text, "Command failed.");
    EXPECT_EQ(entered.icon, "stop");
    // Given on the command line, it is grabbed as entered.
    direct.arguments = url;
    ClipwellDriver started(direct);
    const auto box = ExpectMessageBox(started);
    EXPECT_EQ(box.text, entered.text);
    EXPECT_EQ(box.icon, "stop");
    EXPECT_EQ(box.owner, started.Main());
    ExpectClosed(started, box);
}

TEST(AppName, ComesFromTheExecutablesName)
{
    FixtureServer server;
    server.Serve("/watch?v=demo", "x\r\n<title>Demo</title>\r\n  embed src=\"/player2.swf?video_id=d\"\r\n");
    server.Serve("/get_video?video_id=d", "demo video");
    server.Serve("/watch?v=none", "nothing here");
    {
        ClipwellOptions options;
        options.exeName = "Demo Tool.exe";
        ClipwellDriver clipwell(options);
        EXPECT_EQ(ExpectGrab(clipwell, "demo", "Demo.flv"), "demo video");
        const auto box = FailedGrab(clipwell, PageUrl("none"));
        EXPECT_EQ(box.caption, "Demo Tool");
        // The dialog's own caption comes from its template.
        EXPECT_EQ(WindowText(clipwell.Main()), "Clipwell");
    }
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    for (const std::string& request : requests) {
        const auto headers = HeaderLines(request);
        EXPECT_EQ(std::count(headers.begin(), headers.end(), "User-Agent: Demo Tool"), 1) << request;
    }

    ClipwellOptions dotted;
    dotted.exeName = "my.tool.exe";
    ClipwellDriver clipwell(dotted);
    EXPECT_EQ(FailedGrab(clipwell, PageUrl("none")).caption, "my.tool");
}

TEST(AppName, TheRegistryStaysUntouched)
{
    FixtureServer server;
    server.Serve("/watch?v=r", "a player2.swf?video_id=r\"\r\n<title>Reg</title>\r\n");
    server.Serve("/get_video?video_id=r", "r");
    {
        ClipwellDriver clipwell;
        EXPECT_EQ(ExpectGrab(clipwell, "r", "Reg.flv"), "r");
        clipwell.SysCommand(SC_CLOSE);
        ASSERT_TRUE(clipwell.WaitForExit(30000));
    }
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Local AppWizard-Generated Applications", 0, KEY_READ, &key),
              ERROR_SUCCESS);
}

TEST(Help, F1OpensTheReadMeBesideTheProgram)
{
    ClipwellOptions options;
    options.exeName = "Helped.exe";  // a copy in the working folder, beside the read-me
    ClipwellDriver clipwell(options);
    const std::string readMe = clipwell.Folder() + "README.txt";
    clipwell.TypeKey(VK_F1);
    const auto box = ExpectMessageBox(clipwell);
    EXPECT_EQ(box.text, "Help is the file README.txt that comes with the program in its package, kept in the "
                        "program's folder. It could not be opened from " + readMe + ".");
    ExpectClosed(clipwell, box);
    // With Shift held down, F1 does nothing; with the read-me, the system
    // menu's Help item has Notepad show it.
    clipwell.TypeKeys({{VK_SHIFT, false}, {VK_F1, false}, {VK_F1, true}, {VK_SHIFT, true}});
    EXPECT_FALSE(clipwell.WaitForMessageBox(1000).has_value());
    std::ofstream(readMe) << "Clipwell help\r\n";
    clipwell.SysCommand(IDM_HELP);
    HWND shown = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (shown = FindWindowA(nullptr, "README.txt - Notepad")) != nullptr; }, 10000));
    PostMessageA(shown, WM_CLOSE, 0, 0);
}

}  // namespace
