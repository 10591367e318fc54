// Whole grabs through the real window: the page and the video come from the
// fixture server, reached through the proxy setting.
#include "clipwell_driver.h"
#include "fixture_client.h"

#include <gtest/gtest.h>

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

// Serves a watch page titled title for the video body, grabs it by click
// and waits for the end of the transfer: "Grab!" enabled again and the
// output file, title + ".flv", closed. Returns the file's bytes.
std::string Grab(ClipwellDriver& clipwell, FixtureServer& server, const std::string& title, const std::string& body,
                 const FixtureServer::Route& route = {})
{
    server.Serve("/watch?v=abc", WatchPageHtml(title, "video_id=abc&t=xyz"));
    server.Serve(kVideoPath, body, route);
    clipwell.TypeUrl(kPage);
    clipwell.ClickGrab();
    std::string saved;
    EXPECT_TRUE(WaitUntil([&] { return clipwell.ReadOutput(title + ".flv", saved) && clipwell.GrabEnabled(); }, 20000))
        << "the transfer did not end";
    return saved;
}

TEST(StartUp, ShowsAnEmptyIdleDialog)
{
    ClipwellDriver clipwell;
    EXPECT_EQ(clipwell.Text(clipwell.Main()), "Clipwell");
    EXPECT_EQ(clipwell.Status(), "");
    EXPECT_TRUE(clipwell.GrabEnabled());
    EXPECT_EQ(clipwell.Focus(), clipwell.Control(1000));
    EXPECT_EQ(clipwell.Text(clipwell.Control(1002)), "Grab!");
    EXPECT_TRUE(clipwell.OtherDialogs().empty());
}

TEST(Grab, SavesTheVideoUnderThePageTitle)
{
    FixtureServer server;
    ClipwellDriver clipwell;
    const std::string video = VideoBytes(1500);
    EXPECT_EQ(Grab(clipwell, server, "Site - Little Battle", video), video);
    EXPECT_EQ(clipwell.Status(), "1500 / 1500 B");
    EXPECT_EQ(clipwell.ProgressLow(), 0);
    EXPECT_EQ(clipwell.ProgressHigh(), 1500);
    EXPECT_EQ(clipwell.ProgressPos(), 1500);
}

TEST(Grab, ReportsAPageWithoutPlayer)
{
    FixtureServer server;
    server.Serve("/watch?v=none", "<html>\r\n<title>No player</title>\r\n</html>\r\n");
    ClipwellDriver clipwell;
    clipwell.TypeUrl("http://video.example.com/watch?v=none");
    clipwell.ClickGrab();
    const auto box = clipwell.WaitForMessageBox();
    EXPECT_EQ(box.text, "An invalid argument was encountered.");
    EXPECT_EQ(box.caption, "Clipwell");
    EXPECT_EQ(box.icon, "stop");
    EXPECT_EQ(box.owner, clipwell.Main());
    clipwell.CloseMessageBox(box);
}

}  // namespace
