// Ending, restarting and interrupting transfers, the system menu and the
// About box.
#include "driver_checks.h"
#include "fixture_client.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::size_t kVideoSize = 300000;
constexpr long kPauseAt = 100 * 1024;

std::string VideoBytes(char seed)
{
    std::string bytes(kVideoSize, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(seed + i * 7 + (i >> 10));
    return bytes;
}

// Serves page v=ID titled title, whose video pauses after kPauseAt bytes
// for pauseSeconds, and starts grabbing it by click.
void StartPausingGrab(ClipwellDriver& clipwell, FixtureServer& server, const std::string& id, const std::string& title,
                      const std::string& video, double pauseSeconds)
{
    server.Serve("/watch?v=" + id, WatchPageHtml(title, "video_id=" + id));
    FixtureServer::Route route;
    route.stallAfter = {kPauseAt};
    route.stallSeconds = pauseSeconds;
    server.Serve("/get_video?video_id=" + id, video, route);
    clipwell.TypeUrl("http://video.example.com/watch?v=" + id);
    clipwell.ClickGrab();
    ASSERT_TRUE(WaitUntil([&] { return clipwell.Status() == std::to_string(kPauseAt) + " / " +
                                           std::to_string(kVideoSize) + " B"; },
                          15000))
        << "the transfer did not reach the pause: " << clipwell.Status();
    EXPECT_FALSE(clipwell.GrabEnabled());
}

std::string AwaitFile(const ClipwellDriver& clipwell, const std::string& name)
{
    std::string bytes;
    EXPECT_TRUE(WaitUntil([&] { return clipwell.ReadOutput(name, bytes); }, 20000)) << name << " stayed open";
    return bytes;
}

TEST(Transfer, EnterDuringATransferStartsTheNextOne)
{
    FixtureServer server;
    ClipwellDriver clipwell;
    const std::string first = VideoBytes('a');
    // The first transfer's current read ends when the pause does.
    StartPausingGrab(clipwell, server, "one", "First", first, 2);

    const std::string second = VideoBytes('b');
    server.Serve("/watch?v=two", WatchPageHtml("Second", "video_id=two"));
    server.Serve("/get_video?video_id=two", second);
    clipwell.TypeUrl("http://video.example.com/watch?v=two");
    clipwell.TypeKey(VK_RETURN);
    EXPECT_TRUE(SameBytes(AwaitFile(clipwell, "Second.flv"), second));
    EXPECT_TRUE(clipwell.WaitForGrabEnabled());
    // The first transfer stopped after its current read, dropping that
    // chunk and keeping every byte before it.
    const std::string kept = AwaitFile(clipwell, "First.flv.part");
    EXPECT_EQ(kept.size(), static_cast<std::size_t>(kPauseAt));
    EXPECT_TRUE(SameBytes(kept, first.substr(0, kept.size())));
    EXPECT_TRUE(clipwell.OtherDialogs().empty());
}

// Ends the dialog (by end) during a transfer that pauses for pauseSeconds;
// the window must go at once and the process end quietly afterwards.
void EndDuringTransfer(const std::function<void(ClipwellDriver&)>& end, double pauseSeconds)
{
    FixtureServer server;
    ClipwellDriver clipwell;
    const std::string video = VideoBytes('c');
    StartPausingGrab(clipwell, server, "end", "Ending", video, pauseSeconds);
    end(clipwell);
    ExpectClosed(clipwell, ExpectMessageBox(clipwell));  // where the bytes are kept
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(clipwell.Main()); }, 1000)) << "the window stayed";
    EXPECT_TRUE(clipwell.OtherDialogs().empty());
    EXPECT_TRUE(clipwell.WaitForExit(40000)) << "the process did not end";
    const std::string kept = AwaitFile(clipwell, "Ending.flv.part");
    EXPECT_GE(kept.size(), static_cast<std::size_t>(kPauseAt));
    EXPECT_TRUE(SameBytes(kept, video.substr(0, kept.size())));
}

TEST(Transfer, EscapeEndsTheDialogAndKeepsTheBytes)
{
    EndDuringTransfer([](ClipwellDriver& clipwell) { clipwell.TypeKey(VK_ESCAPE); }, 1);
}

TEST(Transfer, CloseEndsTheDialogAndKeepsTheBytes)
{
    EndDuringTransfer([](ClipwellDriver& clipwell) { clipwell.SysCommand(SC_CLOSE); }, 1);
}

TEST(SystemCommands, CloseWithoutTransferEndsQuietly)
{
    ClipwellDriver clipwell;
    clipwell.SysCommand(SC_CLOSE);
    EXPECT_TRUE(clipwell.WaitForExit(5000));
    EXPECT_EQ(clipwell.ExitCode(), 0u);
}

TEST(SystemCommands, EscapeWithoutTransferEndsQuietly)
{
    ClipwellDriver clipwell;
    clipwell.TypeKey(VK_ESCAPE);
    EXPECT_TRUE(clipwell.WaitForExit(5000));
}

TEST(SystemCommands, MaskedIdsActAsTheirCommands)
{
    ClipwellDriver clipwell;
    clipwell.SysCommand(SC_CLOSE + 1);
    EXPECT_TRUE(clipwell.WaitForExit(5000));

    ClipwellDriver another;
    another.SysCommand(0x10 + 3);
    EXPECT_NE(another.WaitForAbout(), nullptr);
    EXPECT_TRUE(another.Running());
}

TEST(AboutBox, OpensFromTheSystemMenuAndClosesWithEnter)
{
    ClipwellDriver clipwell;
    clipwell.TypeUrl("http://video.example.com/watch?v=kept");
    clipwell.SysCommand(0x10);
    const HWND about = clipwell.WaitForAbout();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(GetWindow(about, GW_OWNER), clipwell.Main());
    EXPECT_FALSE(IsWindowEnabled(clipwell.Main()));
    EXPECT_EQ(clipwell.Text(GetDlgItem(about, IDOK)), "OK");
    EXPECT_EQ(clipwell.Focus(), GetDlgItem(about, IDOK));

    clipwell.TypeKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000));
    EXPECT_TRUE(IsWindowEnabled(clipwell.Main()));
    EXPECT_EQ(clipwell.Text(clipwell.Control(IDC_URL)), "http://video.example.com/watch?v=kept");
    EXPECT_EQ(clipwell.Status(), "");
    EXPECT_TRUE(clipwell.Running());
}

TEST(AboutBox, IsTheLastItemOfTheSystemMenu)
{
    ClipwellDriver clipwell;
    // Alt+Space opens the system menu (SC_KEYMENU, which the dialog leaves
    // to the default handling); End selects its last item.
    clipwell.TypeKeys({{VK_MENU, false}, {VK_SPACE, false}, {VK_SPACE, true}, {VK_MENU, true}});
    WaitUntil([] { return false; }, 300);
    clipwell.TypeKeys({{VK_END, false}, {VK_END, true}, {VK_RETURN, false}, {VK_RETURN, true}});
    const HWND about = clipwell.WaitForAbout();
    ASSERT_NE(about, nullptr);
    PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000));
}

TEST(AboutBox, ATransferGoesOnWhileItIsOpen)
{
    FixtureServer server;
    ClipwellDriver clipwell;
    const std::string video = VideoBytes('e');
    StartPausingGrab(clipwell, server, "about", "Under About", video, 1);
    clipwell.SysCommand(0x10);
    const HWND about = clipwell.WaitForAbout();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(SameBytes(AwaitFile(clipwell, "Under About.flv"), video));
    EXPECT_EQ(clipwell.Status(), std::to_string(kVideoSize) + " / " + std::to_string(kVideoSize) + " B");
    EXPECT_TRUE(IsWindow(about));
    clipwell.PressKey(GetDlgItem(about, IDOK), VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about) && IsWindowEnabled(clipwell.Main()); }, 5000));
    EXPECT_TRUE(clipwell.GrabEnabled());
}

}  // namespace
