// Clipwell against a real web server: the sample site on nginx (started by
// the test run, see site/serve.sh), reached through the proxy setting.
#include "driver_checks.h"
#include "fixture_client.h"
#include "host_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// The site's state folder (a Unix path in CLIPWELL_SITE) as a Windows path.
std::string SitePath(const std::string& relative)
{
    return UnixToWindowsPath(std::string(std::getenv("CLIPWELL_SITE")) + "/" + relative);
}

// The contents of a file of the site's; none when it is missing.
std::string SiteFile(const std::string& relative)
{
    return ReadWholeFile(SitePath(relative)).value_or("");
}

ClipwellOptions ThroughNginx()
{
    ClipwellOptions options;
    options.proxyPort = static_cast<unsigned short>(std::atoi(SiteFile("port").c_str()));
    return options;
}

TEST(Nginx, SavesVideosOfEverySizeByteForByte)
{
    ClipwellDriver clipwell(ThroughNginx());
    for (const char* size : {"0", "1", "1023", "1024", "1025", "10m"}) {
        SCOPED_TRACE(size);
        const std::string id = std::string("size") + size;
        const std::string served = SiteFile("site/videos/" + id + ".flv");
        EXPECT_TRUE(SameBytes(ExpectGrab(clipwell, id, "Size " + id + ".flv"), served));
        const std::string count = std::to_string(served.size());
        // An empty body leaves the status text as the last transfer left it.
        if (!served.empty()) {
            EXPECT_EQ(clipwell.Status(), count + " / " + count + " B");
        }
        EXPECT_EQ(clipwell.ProgressHigh(), static_cast<int>(served.size()));
        EXPECT_EQ(clipwell.ProgressPos(), static_cast<int>(served.size()));
    }
    EXPECT_TRUE(clipwell.OtherDialogs().empty());
}

// A transfer that breaks off is continued, and nginx answers the request
// for the rest by its own rules: the fixture in front of it cuts the
// video's first reply short, then relays the 206 as nginx sends it.
TEST(Nginx, AnswersTheContinuation)
{
    FixtureServer fixture;
    FixtureServer::Route cut;
    cut.forward = ThroughNginx().proxyPort;
    cut.closeAfter = {-1, 300000, -1};  // the page, the video, the rest
    fixture.Serve("*", "", cut);
    ClipwellDriver clipwell;
    const std::string saved = ExpectGrab(clipwell, "mem1", "Memory mem1.flv");
    EXPECT_TRUE(SameBytes(saved, SiteFile("site/videos/mem1.flv")));
    const std::vector<std::string> requests = fixture.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(HeaderValue(requests[2], "Range"), "bytes=300000-") << requests[2];
    EXPECT_EQ(HeaderValue(requests[2], "If-Range").rfind('"', 0), 0u) << requests[2];
    EXPECT_TRUE(clipwell.OtherDialogs().empty());
}

// The first grab of a fresh Clipwell, for each kind of answer: empty, a
// chunk and one byte, 1 MiB, without Content-Length, a 404 page (whose
// body is saved), and a page whose http address is sent on to https.
TEST(NginxFirstGrab, SavesEachKindOfAnswer)
{
    const struct {
        const char* id;
        const char* file;
        const char* served;
    } rows[] = {
        {"size0", "Size size0.flv", "site/videos/size0.flv"},
        {"size1025", "Size size1025.flv", "site/videos/size1025.flv"},
        {"mem1", "Memory mem1.flv", "site/videos/mem1.flv"},
        {"unsized", "Unsized.flv", "site/unsized/unsized.flv"},
        {"missing", "Missing.flv.part", nullptr},
        {"https-size1025", "Size size1025.flv", "site/videos/size1025.flv"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        ClipwellDriver clipwell(ThroughNginx());
        const std::string saved = ExpectGrab(clipwell, row.id, row.file);
        if (row.served != nullptr) {
            EXPECT_TRUE(SameBytes(saved, SiteFile(row.served)));
            EXPECT_TRUE(clipwell.OtherDialogs().empty());
        } else {
            EXPECT_NE(saved.find("404 Not Found"), std::string::npos) << saved;
            ExpectClosed(clipwell, ExpectMessageBox(clipwell));
        }
    }
}

TEST(Nginx, SavesWhatTheServerAnswers)
{
    ClipwellDriver clipwell(ThroughNginx());
    const std::string unsized = SiteFile("site/unsized/unsized.flv");
    EXPECT_TRUE(SameBytes(ExpectGrab(clipwell, "unsized", "Unsized.flv"), unsized));
    EXPECT_EQ(clipwell.Status(), std::to_string(unsized.size()) + " /  B");

    EXPECT_TRUE(SameBytes(ExpectGrab(clipwell, "moved", "Moved.flv"), SiteFile("site/videos/moved-here.flv")));

    const std::string missing = ExpectGrab(clipwell, "missing", "Missing.flv.part");
    EXPECT_NE(missing.find("404 Not Found"), std::string::npos) << missing;
    // Saved, and said: the file holds the server's reply, not a video.
    const auto box = ExpectMessageBox(clipwell);
    EXPECT_NE(box.text.find("\"404 Not Found\""), std::string::npos) << box.text;
    EXPECT_EQ(box.icon, "exclamation");
    ExpectClosed(clipwell, box);
}

TEST(Nginx, ReadsPagesOfEveryShape)
{
    ClipwellDriver clipwell(ThroughNginx());
    const struct {
        const char* id;
        const char* file;
        const char* video;
    } pages[] = {
        {"crlf", "Windows lines.flv", "size1025"},
        {"longline", "Long line.flv", "size1023"},
        {"bigpage", "Big page.flv", "size1024"},
        {"chunked", "Chunked page.flv", "size1024"},
    };
    for (const auto& page : pages) {
        SCOPED_TRACE(page.id);
        const std::string served = SiteFile(std::string("site/videos/") + page.video + ".flv");
        EXPECT_TRUE(SameBytes(ExpectGrab(clipwell, page.id, page.file), served));
    }
}

// Run in a Japanese locale (ANSI code page 932), which Wine takes from the
// Unix locale of the test run and Clipwell inherits.
TEST(NginxJapanese, KeepsAJapaneseTitleWhole)
{
    ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8";
    ClipwellDriver clipwell(ThroughNginx());
    clipwell.StartGrab(PageUrl("japanese"));
    // The title's characters, two of whose trail bytes are '\' and one '|'.
    const std::wstring name = L"\u30bd\u8868\u30dd\u306e\u52d5\u753b.flv";
    const std::wstring folder = Widened(clipwell.Folder(), CP_ACP);
    const std::wstring path = folder + name;
    ASSERT_TRUE(WaitUntil([&] {
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(file);
        return clipwell.GrabEnabled();
    }, 60000)) << "no file of the title's name";
    std::ifstream saved(path.c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(saved)), {});
    EXPECT_TRUE(SameBytes(bytes, SiteFile("site/videos/size1025.flv")));
    // Nothing else appeared: no name with a trail byte replaced.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*.flv").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    int count = 0;
    do {
        ++count;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_EQ(count, 1);
}

// Titles in encodings other than the system's: each page's file, named as
// its title reads, compared as the Unix side stores the name (UTF-8). The
// undeclared page keeps the name the ANSI code page always gave it.
void ExpectNamesAsTitlesRead(bool japanese)
{
    const struct {
        const char* id;
        const char* western;
        const char* japanese;
    } pages[] = {
        {"utf8-cafe", u8"Caf\u00e9.flv", u8"Caf\u00e9.flv"},
        {"utf8-a", u8"\u6e2f\u306e\u3042.flv", u8"\u6e2f\u306e\u3042.flv"},
        {"utf8-emoji", u8"Cat \U0001F408.flv", u8"Cat \U0001F408.flv"},
        {"cats", u8"\u041a\u043e\u0448\u043a\u0438 \u043d\u0430 \u043a\u0440\u044b\u0448\u0435 \U0001F408.flv",
         u8"\u041a\u043e\u0448\u043a\u0438 \u043d\u0430 \u043a\u0440\u044b\u0448\u0435 \U0001F408.flv"},
        {"japanese", u8"\u30bd\u8868\u30dd\u306e\u52d5\u753b.flv", u8"\u30bd\u8868\u30dd\u306e\u52d5\u753b.flv"},
        {"cp1252", u8"Caf\u00e9 cr\u00e8me.flv", u8"Caf\u00e9 cr\u00e8me.flv"},
        {"undeclared", u8"\u0192_x.flv", u8"\u30bdx.flv"},
    };
    ClipwellDriver clipwell(ThroughNginx());
    std::vector<std::string> expected;
    for (const auto& page : pages) {
        SCOPED_TRACE(page.id);
        const std::string name = japanese ? page.japanese : page.western;
        expected.push_back(name);
        clipwell.StartGrab(PageUrl(page.id));
        EXPECT_TRUE(WaitUntil([&] {
            const std::string listing = UnixFolderListing(clipwell.Folder()).value_or("");
            return listing.find(name + "\n") != std::string::npos && clipwell.GrabEnabled();
        }, 60000)) << UnixFolderListing(clipwell.Folder()).value_or("(no listing)");
    }
    std::sort(expected.begin(), expected.end());
    std::string names;
    for (const std::string& name : expected)
        names += name + "\n";
    EXPECT_EQ(UnixFolderListing(clipwell.Folder()).value_or(""), names);
    EXPECT_TRUE(clipwell.OtherDialogs().empty());
}

TEST(Nginx, NamesFilesAsTheirTitlesRead)
{
    ASSERT_EQ(GetACP(), 1252u);
    ExpectNamesAsTitlesRead(false);
}

TEST(NginxJapanese, NamesFilesAsTheirTitlesRead)
{
    ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8";
    ExpectNamesAsTitlesRead(true);
}

TEST(Nginx, LogsTheProgramsHeaders)
{
    {
        ClipwellDriver clipwell(ThroughNginx());
        ExpectGrab(clipwell, "size1", "Size size1.flv");
    }
    std::string log = SiteFile("access.log");
    const std::string video = "GET http://video.example.com:80/get_video?video_id=size1 HTTP/1.0\tClipwell\tvideo/flv\t200";
    const std::string plain = "GET http://video.example.com/get_video?video_id=size1 HTTP/1.0\tClipwell\tvideo/flv\t200";
    EXPECT_TRUE(log.find(video) != std::string::npos || log.find(plain) != std::string::npos) << log.substr(0, 2000);
    EXPECT_NE(log.find("/watch?v=size1 HTTP/1.1\tClipwell\t"), std::string::npos);
}

}  // namespace
