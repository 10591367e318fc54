// Ending, restarting and interrupting transfers, the system menu and the
// About box.
#include "driver_checks.h"
#include "fixture_client.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr std::size_t kVideoSize = 300000;
constexpr long kPauseAt = 100 * 1024;

TEST(Transfer, EnterDuringATransferStartsTheNextOne)
{
    FixtureServer server;
    ClipwellDriver clipwell;
    const std::string first = VideoBytes(kVideoSize, 'a');
    StartStalledGrab(clipwell, server, "one", "First", first, kPauseAt);

    const std::string second = VideoBytes(kVideoSize, 'b');
    ServeVideoPage(server, "two", "Second", second);
    clipwell.StartGrab(PageUrl("two"), GrabBy::Enter);
    EXPECT_TRUE(SameBytes(ExpectOutput(clipwell, "Second.flv"), second));
    EXPECT_TRUE(clipwell.WaitForGrabEnabled());
    // The first transfer's current read ends when the stall does; it stops
    // after it, dropping that chunk and keeping every byte before it.
    server.Resume("/get_video?video_id=one");
    const std::string kept = ExpectOutput(clipwell, "First.flv.part");
    EXPECT_EQ(kept.size(), static_cast<std::size_t>(kPauseAt));
    EXPECT_TRUE(SameBytes(kept, first.substr(0, kept.size())));
    EXPECT_TRUE(clipwell.OtherDialogs().empty());
}

TEST(SystemCommands, CloseAndEscapeWithoutTransferEndQuietly)
{
    for (const bool escape : {false, true}) {
        ClipwellDriver clipwell;
        if (escape)
            clipwell.TypeKey(VK_ESCAPE);
        else
            clipwell.SysCommand(SC_CLOSE);
        EXPECT_TRUE(clipwell.WaitForExit(30000)) << escape;
        EXPECT_EQ(clipwell.ExitCode(), 0u) << escape;
    }
}

TEST(SystemCommands, MaskedIdsActAsTheirCommands)
{
    ClipwellDriver clipwell;
    clipwell.SysCommand(SC_CLOSE + 1);
    EXPECT_TRUE(clipwell.WaitForExit(30000));

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
    EXPECT_EQ(WindowText(GetDlgItem(about, IDOK)), "OK");
    EXPECT_EQ(clipwell.Focus(), GetDlgItem(about, IDOK));

    clipwell.TypeKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 10000));
    EXPECT_TRUE(IsWindowEnabled(clipwell.Main()));
    EXPECT_EQ(WindowText(clipwell.Control(IDC_URL)), "http://video.example.com/watch?v=kept");
    EXPECT_EQ(clipwell.Status(), "");
    EXPECT_TRUE(clipwell.Running());
}

TEST(AboutBox, IsTheLastItemOfTheSystemMenu)
{
    ClipwellDriver clipwell;
    // Alt+Space opens the system menu (SC_KEYMENU, which the dialog leaves
    // to the default handling); End selects its last item.
    clipwell.TypeKeys({{VK_MENU, false}, {VK_SPACE, false}, {VK_SPACE, true}, {VK_MENU, true}});
    const auto menuShown = [] {
        HWND menu = FindWindowExA(nullptr, nullptr, "#32768", nullptr);
        while (menu != nullptr && !IsWindowVisible(menu))
            menu = FindWindowExA(nullptr, menu, "#32768", nullptr);
        return menu != nullptr;
    };
    ASSERT_TRUE(WaitUntil(menuShown, 10000)) << "the system menu did not open";
    clipwell.TypeKeys({{VK_END, false}, {VK_END, true}, {VK_RETURN, false}, {VK_RETURN, true}});
    const HWND about = clipwell.WaitForAbout();
    ASSERT_NE(about, nullptr);
    PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 10000));
}

TEST(AboutBox, ATransferGoesOnWhileItIsOpen)
{
    FixtureServer server;
    ClipwellDriver clipwell;
    const std::string video = VideoBytes(kVideoSize, 'e');
    StartStalledGrab(clipwell, server, "about", "Under About", video, kPauseAt);
    clipwell.SysCommand(0x10);
    const HWND about = clipwell.WaitForAbout();
    ASSERT_NE(about, nullptr);
    server.Resume("/get_video?video_id=about");
    EXPECT_TRUE(SameBytes(ExpectOutput(clipwell, "Under About.flv"), video));
    EXPECT_EQ(clipwell.Status(), std::to_string(kVideoSize) + " / " + std::to_string(kVideoSize) + " B");
    EXPECT_TRUE(IsWindow(about));
    clipwell.PressKey(GetDlgItem(about, IDOK), VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about) && IsWindowEnabled(clipwell.Main()); }, 10000));
    EXPECT_TRUE(clipwell.GrabEnabled());
}

}  // namespace
