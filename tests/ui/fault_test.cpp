// A bad connection as the user meets it: one row per way a server can fail
// a grab, with what the user must be told, which bytes the file must keep
// and which requests it takes. The rows of a table run side by side, each
// in a Clipwell of its own.
#include "driver_checks.h"
#include "fixture_client.h"
#include "host_files.h"
#include "transfer/partial_record.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kVideoSize = 100000;
constexpr long kStallAt = 50000;
// The program's read time-out.
constexpr DWORD kTimeoutMs = 30000;
// How long a row may take to end: a read time-out and the rest of the
// transfer, with room for a slow machine or an emulated one.
constexpr DWORD kRowMs = 3 * kTimeoutMs;
// What a stalled worker may add to an exit or a new grab: well under the
// read time-out, after which an exit or grab that waited for it would go on.
constexpr DWORD kWithoutWaitingMs = kTimeoutMs / 3;

// The video as the fixture changes it (every byte XOR 0x5A).
std::string Revised(std::string bytes)
{
    for (char& byte : bytes)
        byte = static_cast<char>(byte ^ 0x5A);
    return bytes;
}

using RouteChange = std::function<void(FixtureServer::Route&)>;

struct FaultRow {
    std::string name;  // the page's id and title, and the working folder's name
    RouteChange route;
    std::string icon;  // of the report; "" when nothing is to be said
    std::string says;  // a part of the report's text
    std::size_t kept;  // the file holds this many bytes of what was served (npos: unchecked)
    std::string body = VideoBytes(kVideoSize);
    // Range and If-Range ("bytes=N-;validator") of each video request after
    // the first; checked when given.
    std::vector<std::string> continuations = {};
    bool retry = false;    // the report offers Retry
    bool revised = false;  // what is kept is the changed video (see the fixture)
    // Where the video is served, with what, when route sends its request on.
    std::string target = {};
    RouteChange targetRoute = nullptr;
    // A whole video of an earlier grab, under the name this one would take.
    std::string earlier = {};
    // Bytes of something else under the partial's name, and a record beside
    // them: kept under the free name "<name> (2).flv.part".
    std::string partial = {};
    std::string record = {};
};

// row, with a partial and record of something else beside it.
FaultRow Beside(FaultRow row, std::string partial, std::string record)
{
    row.partial = std::move(partial);
    row.record = std::move(record);
    return row;
}

const std::string kNotFound = "<html>no such video</html>";
const std::string kRaw = "no status line\r\njust bytes\r\n";

void ServeRow(FixtureServer& server, const FaultRow& row)
{
    FixtureServer::Route route;
    FixtureServer::Route target;
    if (row.route)
        row.route(route);
    if (row.targetRoute)
        row.targetRoute(target);
    ServeVideoPage(server, row.name, row.name, row.target.empty() ? row.body : "", route);
    if (!row.target.empty())
        server.Serve(row.target, row.body, target);
}

// Where the row's video is served.
std::string VideoPath(const FaultRow& row)
{
    return row.target.empty() ? "/get_video?video_id=" + row.name : row.target;
}

// "Range;If-Range" of each request for the row's video.
std::vector<std::string> VideoRanges(const FixtureServer& server, const FaultRow& row)
{
    std::vector<std::string> found;
    for (const std::string& request : server.RequestsFor(VideoPath(row))) {
        EXPECT_EQ(HeaderValue(request, "Accept"), "video/flv") << request;
        found.push_back(HeaderValue(request, "Range") + ";" + HeaderValue(request, "If-Range"));
    }
    return found;
}

ClipwellOptions InFolder(const std::string& name)
{
    ClipwellOptions options;
    options.folder = ::testing::UnitTest::GetInstance()->current_test_info()->name() + std::string(".") + name;
    return options;
}

// What one row must come to, once its grab has been started.
void CheckRow(const FaultRow& row, ClipwellDriver& clipwell, const FixtureServer& server)
{
    SCOPED_TRACE(row.name);
    const bool whole = row.icon.empty() || row.icon == "information";
    if (!row.icon.empty()) {
        const auto box = ExpectMessageBox(clipwell, kRowMs);
        EXPECT_EQ(box.icon, row.icon);
        EXPECT_NE(box.text.find(row.says), std::string::npos) << box.text;
        EXPECT_EQ(box.owner, clipwell.Main());
        EXPECT_EQ(GetDlgItem(box.window, IDRETRY) != nullptr, row.retry);
        // The transfer ended the ordinary way before the report.
        EXPECT_TRUE(clipwell.GrabEnabled());
        EXPECT_TRUE(clipwell.CloseMessageBox(box, row.retry ? IDCANCEL : IDOK));
    }
    // Only a whole video takes its name, replacing an earlier one; what
    // any other end keeps stays in the partial file.
    const std::string saved = ExpectOutput(clipwell, row.name + (whole ? ".flv" : ".flv.part"), kRowMs);
    std::string final;
    EXPECT_EQ(clipwell.ReadOutput(row.name + ".flv", final), whole || !row.earlier.empty());
    std::string setAside;
    EXPECT_EQ(clipwell.ReadOutput(row.name + " (2).flv.part", setAside), !row.partial.empty());
    EXPECT_TRUE(SameBytes(setAside, row.partial));
    if (!whole) {
        EXPECT_TRUE(SameBytes(final, row.earlier));
    } else {
        EXPECT_FALSE(clipwell.OutputExists(row.name + ".flv.part"));
    }
    if (row.kept != std::string::npos) {
        const std::string served = row.revised ? Revised(row.body) : row.body;
        EXPECT_TRUE(SameBytes(saved, served.substr(0, row.kept)));
    }
    EXPECT_FALSE(clipwell.WaitForMessageBox(500).has_value()) << "a report too many";
    if (!row.continuations.empty()) {
        std::vector<std::string> again = VideoRanges(server, row);
        again.erase(again.begin());
        EXPECT_EQ(again, row.continuations);
    }
}

// Starts the grabs of a few rows at a time, then checks each of them.
void RunRows(const std::vector<FaultRow>& rows)
{
    constexpr std::size_t kSideBySide = 3;
    FixtureServer server;
    for (std::size_t first = 0; first < rows.size(); first += kSideBySide) {
        std::vector<std::unique_ptr<ClipwellDriver>> clipwells;
        const std::size_t end = std::min(rows.size(), first + kSideBySide);
        for (std::size_t i = first; i < end; ++i) {
            ServeRow(server, rows[i]);
            clipwells.push_back(std::make_unique<ClipwellDriver>(InFolder(rows[i].name)));
            const std::string named = clipwells.back()->Folder() + rows[i].name + ".flv";
            if (!rows[i].earlier.empty())
                std::ofstream(named, std::ios::binary) << rows[i].earlier;
            if (!rows[i].partial.empty()) {
                std::ofstream(named + ".part", std::ios::binary) << rows[i].partial;
                std::ofstream(named + ".resume", std::ios::binary) << rows[i].record;
            }
            // Side by side, so that their reports, read off the screen, do
            // not cover each other.
            SetWindowPos(clipwells.back()->Main(), nullptr, static_cast<int>(i - first) * 420, 200, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            clipwells.back()->StartGrab(PageUrl(rows[i].name));
        }
        for (std::size_t i = first; i < end; ++i)
            CheckRow(rows[i], *clipwells[i - first], server);
    }
}

// The bytes before a stall that fill no whole chunk show nowhere, neither
// in the count nor in the file: the worker is given this long to take
// them in.
void LetTheWorkerTakeInTheBytesShortOfAChunk()
{
    Sleep(1000);
}

// The number at the front of text ("250880 / 400000 B"), or -1.
long long ParseCount(const std::string& text)
{
    return text.empty() || text[0] < '0' || text[0] > '9' ? -1 : std::atoll(text.c_str());
}

// Files in the system's internet cache that hold the video, as first served
// or changed. Other suites of the run, in the same Wine, cache bodies of
// their own of the same size.
std::size_t CachedCopies(const std::string& video)
{
    char cache[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_INTERNET_CACHE, nullptr, SHGFP_TYPE_CURRENT, cache)))
        throw std::runtime_error("no internet cache folder");
    std::size_t found = 0;
    std::error_code error;
    std::filesystem::recursive_directory_iterator entries(cache, error);
    if (error)
        throw std::runtime_error("the internet cache folder cannot be read: " + error.message());
    for (const auto& entry : entries) {
        std::error_code sizeError;
        if (entry.is_regular_file(sizeError) && entry.file_size(sizeError) == video.size()) {
            const std::string bytes = ReadWholeFile(entry.path().string()).value_or("");
            found += bytes == video || bytes == Revised(video) ? 1 : 0;
        }
    }
    return found;
}

// A route that cuts the first replies short by change, each request taking
// the next value (-1: whole).
RouteChange Cut(std::vector<long> FixtureServer::Route::*how, std::vector<long> values,
                std::vector<std::string> headers = {}, bool ranges = false, int reviseAfter = -1)
{
    return [=](FixtureServer::Route& r) {
        r.*how = values;
        r.headers = headers;
        r.ranges = ranges;
        r.reviseAfter = reviseAfter;
    };
}

const auto kClose = &FixtureServer::Route::closeAfter;
const std::string kDate = "Tue, 01 Dec 2026 10:00:00 GMT";

TEST(Faults, EveryEndIsCompleteOrSaid)
{
    // Without a validator, asking again asks for the whole video.
    const std::vector<std::string> againWhole(3, ";");
    std::vector<FaultRow> rows = {
        {"Whole", nullptr, "", "", kVideoSize, VideoBytes(kVideoSize), {}, false, false, {}, nullptr, VideoBytes(3000)},
        // Dropped every time: four requests, then the report offers Retry.
        {"Short", Cut(kClose, {40000}), "exclamation", "Only 40000 of 100000 bytes arrived", 40000,
         VideoBytes(kVideoSize), againWhole, true},
        {"HeadersOnly", Cut(kClose, {0}), "exclamation", "Only 0 of 100000 bytes arrived", 0,
         VideoBytes(kVideoSize), {";", ";", ";"}, true},
        {"Reset", Cut(&FixtureServer::Route::resetAfter, {40000}), "exclamation",
         "Only 40000 of 100000 bytes arrived", 40000, VideoBytes(kVideoSize), againWhole, true},
        {"HugeLength",
         [](FixtureServer::Route& r) {
             r.contentLength = false;
             r.headers = {"Content-Length: 3221225472"};
         },
         "exclamation", "Only 100000 of 3221225472 bytes arrived", kVideoSize, VideoBytes(kVideoSize), {},
         true},
        {"UnsizedDrop",
         [](FixtureServer::Route& r) {
             r.contentLength = false;
             r.closeAfter = {5000};
         },
         "", "", 5000},
        {"NotFound", [](FixtureServer::Route& r) { r.status = 404; r.reason = "Not Found"; }, "exclamation",
         "\"404 Not Found\" instead of sending the video. The file \"NotFound.flv.part\" holds its reply",
         kNotFound.size(), kNotFound, {}, false, false, {}, nullptr, VideoBytes(3000)},
        // Without a length only an orderly close ends the video.
        {"UnsizedReset",
         [](FixtureServer::Route& r) {
             r.contentLength = false;
             r.resetAfter = {40000};
         },
         "stop", "keeps 40000 bytes", 40000, VideoBytes(kVideoSize), againWhole, true},
        // Its words decoded from the ANSI code page, not widened byte by byte.
        {"Introuvable", [](FixtureServer::Route& r) { r.status = 404; r.reason = "Introuv\xC3\xA9"; }, "exclamation",
         "\"404 Introuv\xC3\xA9\"", kNotFound.size(), kNotFound},
        // What the library keeps of a reply without a status line is its
        // own affair (Wine's drops the first line).
        {"NoStatus", [](FixtureServer::Route& r) { r.reply = "raw"; }, "exclamation", "no status line",
         std::string::npos, kRaw},
        // Continued to the whole video: by a strong ETag; by Last-Modified
        // without an ETag, twice; from the start when the server ignores
        // the range or the video changed, or its 206 is of another date.
        {"DropThenRest", Cut(kClose, {40000, -1}, {"ETag: \"v1\""}, true), "", "", kVideoSize,
         VideoBytes(kVideoSize), {"bytes=40000-;\"v1\""}},
        {"TwoResets",
         Cut(&FixtureServer::Route::resetAfter, {30000, 60000, -1}, {"Last-Modified: " + kDate}, true),
         "", "", kVideoSize, VideoBytes(kVideoSize), {"bytes=30000-;" + kDate, "bytes=90000-;" + kDate}},
        {"IgnoresRange", Cut(kClose, {40000, -1}, {"ETag: \"v1\""}), "", "", kVideoSize,
         VideoBytes(kVideoSize), {"bytes=40000-;\"v1\""}},
        {"Changed", Cut(kClose, {40000, -1}, {"ETag: \"v1\""}, true, 1), "", "", kVideoSize,
         VideoBytes(kVideoSize), {"bytes=40000-;\"v1\""}, false, true},
        {"ChangedDate", [](FixtureServer::Route& r) { Cut(kClose, {40000, -1}, {"Last-Modified: " + kDate}, true, 1)(r);
                                                      r.ifRange = false; },
         "", "", kVideoSize, VideoBytes(kVideoSize), {"bytes=40000-;" + kDate, ";"}, false, true},
        // The server's trouble with the rest is waited out, then said.
        {"Troubled", [](FixtureServer::Route& r) { Cut(kClose, {40000}, {"ETag: \"t\""}, true)(r); r.refuseRanges = 503; },
         "exclamation", "answered \"503 Refused\" when asked for the rest of the video. Only 40000 of 100000", 40000,
         VideoBytes(kVideoSize), {"bytes=40000-;\"t\"", "bytes=40000-;\"t\"", "bytes=40000-;\"t\""}, true},
        // Unsized, then a 206 that ends in order short of its Content-Range.
        {"UnsizedShortRest", [](FixtureServer::Route& r) { Cut(&FixtureServer::Route::resetAfter, {40000, -1}, {"ETag: \"u\""}, true)(r);
                                                           r.contentLength = false; r.closeAfter = {-1, 30000, -1}; },
         "", "", kVideoSize, VideoBytes(kVideoSize), {"bytes=40000-;\"u\"", "bytes=70000-;\"u\""}},
    };
    // Beside the partial: another video's, and a record torn in its check line.
    const auto record = [](const std::string& id) {
        return FormatPartialRecord({"http://video.example.com/get_video?video_id=" + id, {60000, 100000, "100000", "\"o\""}});
    };
    const std::string torn = record("Torn");
    rows.push_back(Beside({"Foreign", nullptr, "information", "so it is kept as \"Foreign (2).flv.part\"", kVideoSize},
                          Revised(VideoBytes(60000)), record("Other")));
    rows.push_back(Beside({"Torn", nullptr, "information", "\"Torn.flv.part\" held something other than this video",
                           kVideoSize}, Revised(VideoBytes(60000)), torn.substr(0, torn.size() - 3) + "0\n"));
    const std::size_t cached = CachedCopies(VideoBytes(kVideoSize));
    RunRows(rows);
    EXPECT_EQ(CachedCopies(VideoBytes(kVideoSize)), cached) << "a video was stored again in the internet cache";
}

// A video request sent on to location; the video is served at target, if any.
FaultRow Redirected(std::string name, int redirectStatus, std::string location, std::string target,
                    std::string says = "")
{
    FaultRow row{std::move(name), [=](FixtureServer::Route& r) {
                     r.status = redirectStatus;
                     r.headers = {"Location: " + location};
                 }, says.empty() ? "" : "stop", says, target.empty() ? 0 : kVideoSize};
    row.target = std::move(target);
    return row;
}

// Redirects to any host, port and scheme; at most 10 in a row: a loop ends
// after 11 requests with one report and an empty file.
TEST(Faults, RedirectsAreFollowedAndEnd)
{
    const std::string loop = "http://video.example.com/get_video?video_id=Loop";
    std::vector<FaultRow> rows = {
        Redirected("Moved", 301, "http://other.example.com:8080/v/a.flv?x=1", "/v/a.flv?x=1"),
        Redirected("Found", 302, "x/../Found.flv", "/Found.flv"),
        Redirected("SeeOther", 303, "//cdn.example.com/v/303.flv", "/v/303.flv"),
        Redirected("Temporary", 307, "/v/307.flv", "/v/307.flv"),
        Redirected("Permanent", 308, "../v/308.flv", "/v/308.flv"),
        Redirected("ToHttps", 302, "https://video.example.com:4430/v/tls.flv", "/v/tls.flv"),
        Redirected("RawBytes", 302, "/v/caf\xc3\xa9 1.flv", "/v/caf%E9%201.flv"),
        Redirected("Loop", 302, loop, "", "kept redirecting: it still sent Clipwell on, from " + loop + " to " + loop),
        Redirected("Nowhere", 302, "", "", "answered \"302 Status\", a redirect, but named no"),
        Redirected("MovedThenDropped", 302, "http://cdn.example.com/v/b.flv", "/v/b.flv"),
    };
    rows.back().targetRoute = Cut(kClose, {40000, -1}, {"ETag: \"v1\""}, true);
    rows.back().continuations = {"bytes=40000-;\"v1\""};
    RunRows(rows);
    EXPECT_EQ(FixtureServer(false).RequestsFor("/get_video?video_id=Loop").size(), 11u);
}

// One plain report per untrusted certificate; no request for page or video.
// The port without TLS (the fixture's own) is reached directly: through a
// proxy, Wine 8 retries that handshake to a host it never looked up, and aborts.
TEST(Faults, CertificateFailuresAreSaidPlainly)
{
    const std::string secure = "https://video.example.com:4431/watch?v=x";
    const std::string plain = "https://127.0.0.1:" + std::string(std::getenv("CLIPWELL_FIXTURE_PORT")) + "/";
    const struct {
        std::string tls;  // the certificate of the server behind the proxy's tunnel
        std::string says;
    } rows[] = {
        {"unknown", "certificate of " + secure + " is signed by an authority that this computer does not trust"},
        {"nochain", "certificate of " + secure + " could not be checked up to an authority that this computer trusts"},
        {"wronghost", "certificate of " + secure + " is made out for another host name"},
        {"expired", "certificate of " + secure + " has expired or is not valid yet"},
        {"", "No secure connection could be made with " + plain + ": the server did not answer in TLS"},
    };
    FixtureServer server;
    for (const auto& [tls, says] : rows) {
        SCOPED_TRACE(says);
        FixtureServer::Route tunnel;
        tunnel.tls = tls;
        server.Serve("video.example.com:4431", "", tunnel);
        ClipwellOptions options;
        options.proxy = !tls.empty();
        ClipwellDriver clipwell(options);
        clipwell.StartGrab(tls.empty() ? plain : secure);
        const auto box = ExpectMessageBox(clipwell);
        EXPECT_NE(box.text.find(says), std::string::npos) << box.text;
        EXPECT_NE(box.text.find("nothing was saved"), std::string::npos) << box.text;
        EXPECT_EQ(box.icon, "stop");
        ExpectClosed(clipwell, box);
        EXPECT_TRUE(server.Requests().empty());
    }
}

// Dropped on every request of a round: Retry in the report starts another
// round from the bytes in the file, which then brings the rest. Whole, but
// its name held open by another program (a player of the earlier file):
// Retry, once that lets go, only renames it, asking for nothing.
TEST(Faults, RetryContinuesFromTheFile)
{
    const struct {
        FaultRow row;
        std::string says;
        std::vector<std::string> ranges;  // of every video request
    } rows[] = {
        {{"Retried", Cut(kClose, {20000}, {"ETag: \"r\""}, true), "", "", kVideoSize}, "Only 80000 of 100000 bytes arrived",
         {";", "bytes=20000-;\"r\"", "bytes=40000-;\"r\"", "bytes=60000-;\"r\"", "bytes=80000-;\"r\""}},
        {{"Held", nullptr, "", "", kVideoSize}, "could not take the name \"Held.flv\"", {";"}},
    };
    FixtureServer server;
    for (const auto& [row, says, ranges] : rows) {
        SCOPED_TRACE(row.name);
        ServeRow(server, row);
        ClipwellDriver clipwell(InFolder(row.name));
        const bool held = row.name == "Held";
        const std::string final = clipwell.Folder() + row.name + ".flv";
        if (held)
            std::ofstream(final, std::ios::binary) << "earlier";
        const HANDLE player = held ? CreateFileA(final.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                 0, nullptr) : nullptr;
        ASSERT_NE(player, INVALID_HANDLE_VALUE);
        clipwell.StartGrab(PageUrl(row.name));
        const auto box = ExpectMessageBox(clipwell);
        EXPECT_NE(box.text.find(says), std::string::npos) << box.text;
        if (held)
            CloseHandle(player);
        EXPECT_TRUE(clipwell.CloseMessageBox(box, IDRETRY));
        EXPECT_TRUE(WaitUntil([&] {
            std::string bytes;
            return clipwell.ReadOutput(row.name + ".flv", bytes) && bytes == row.body && clipwell.GrabEnabled();
        }, kRowMs));
        EXPECT_EQ(VideoRanges(server, row), ranges);
        EXPECT_TRUE(held || clipwell.ProgressPos() == clipwell.ProgressHigh());
        EXPECT_FALSE(clipwell.OutputExists(row.name + ".flv.part") || clipwell.OutputExists(row.name + ".flv.resume"));
    }
}

// A Clipwell that ended mid-transfer, closed or killed: a new one grabbing
// the same page continues from the bytes the record counts, asking with
// If-Range, exactly from what the file holds when killed in a stall; a
// video that changed meanwhile, or a refused range, comes whole. While the
// first still runs, a second on the same title says so and leaves it alone.
TEST(Faults, AGrabInANewClipwellContinuesWhatWasKept)
{
    constexpr std::size_t kSize = 400000;
    const struct {
        std::string name;
        bool killed;
        int reviseAfter;
        bool inStall = false;  // killed once the record has caught up in the stall
        int refuse = 0;        // the status of every answer to a range
    } rows[] = {{"Closed", false, -1}, {"Killed", true, -1}, {"ChangedMeanwhile", false, 1},
                {"KilledInStall", true, -1, true}, {"Refused", true, -1, false, 416}};
    FixtureServer server;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        // At most 50 000 bytes a second, the first reply stalling for good
        // at 300 000: the record has followed the bytes at least once
        // before 150 000 of them have come.
        FaultRow served{row.name, Cut(&FixtureServer::Route::stallAfter, {300000, -1}, {"ETag: \"v1\""}, true,
                                      row.reviseAfter), "", "", 0, VideoBytes(kSize)};
        const RouteChange stalls = served.route;
        served.route = [&](FixtureServer::Route& r) { stalls(r); r.pace = 100; r.stallSeconds = 600; r.refuseRanges = row.refuse; };
        ServeRow(server, served);
        auto first = std::make_unique<ClipwellDriver>(InFolder(row.name));
        const std::string folder = first->Folder();
        first->StartGrab(PageUrl(row.name));
        ASSERT_TRUE(WaitUntil([&] { return ParseCount(first->Status()) >= 150000; }, kRowMs)) << first->Status();
        const std::string caught = "\nwritten=" + std::to_string(300000 / 1024 * 1024) + "\n";
        EXPECT_TRUE(WaitUntil([&] { return !row.inStall || ReadWholeFile(folder + row.name + ".flv.resume").value_or("").find(caught) != std::string::npos; }, kRowMs));
        ClipwellOptions again = InFolder(row.name);
        again.keepFolder = true;
        if (row.killed) {
            first.reset();
        } else {
            ClipwellDriver second(again);
            second.StartGrab(PageUrl(row.name));
            const auto busy = ExpectMessageBox(second);
            EXPECT_NE(busy.text.find("Another Clipwell is already saving this video into \"" + row.name + ".flv.part\""),
                      std::string::npos) << busy.text;
            ExpectClosed(second, busy);
            first->SysCommand(SC_CLOSE);
            const auto box = ExpectMessageBox(*first);
            EXPECT_NE(box.text.find(".flv.part\". Grabbing the page again continues it."), std::string::npos) << box.text;
            ExpectClosed(*first, box);
            EXPECT_TRUE(first->WaitForExit(kRowMs));
        }
        const std::string kept = ReadWholeFile(folder + row.name + ".flv.part").value_or("");
        ClipwellDriver next(again);
        next.StartGrab(PageUrl(row.name));
        const std::string whole = row.reviseAfter < 0 ? served.body : Revised(served.body);
        EXPECT_TRUE(SameBytes(ExpectOutput(next, row.name + ".flv", kRowMs), whole));
        EXPECT_FALSE(next.OutputExists(row.name + ".flv.part") || next.OutputExists(row.name + ".flv.resume"));
        const std::vector<std::string> requests = VideoRanges(server, served);
        ASSERT_EQ(requests.size(), row.refuse ? 3u : 2u);
        EXPECT_EQ(requests.back(), row.refuse ? ";" : requests[1]);
        const long long from = ParseCount(requests[1].substr(6));
        EXPECT_EQ(requests[1], "bytes=" + std::to_string(from) + "-;\"v1\"");
        EXPECT_GT(from, 0);
        EXPECT_LE(from, static_cast<long long>(kept.size()));
        EXPECT_TRUE((row.killed && !row.inStall) || from == static_cast<long long>(kept.size()));
    }
}

// A new grab while the old one waits to continue, or for a reply that
// comes only after the stop: the old worker asks for nothing more and
// touches neither the new grab's bar and text nor its own file.
TEST(Faults, AStoppedWorkerLeavesTheNextGrabAlone)
{
    // How long after the first grab's click its worker, had the stop not
    // reached it, would have touched something: the late reply comes 3 s
    // after the request, the next try 2 s after the second drop.
    constexpr DWORD kStoppedWorkerWouldHaveActedMs = 4500;
    const struct {
        FaultRow row;
        std::regex waitFor;  // the whole status before the new grab
        std::size_t requests;
    } rows[] = {
        // After the second reply broke: the status of the first break
        // still shows while the second reply begins.
        {{"Waiting", Cut(kClose, {40000}), "", "", 40000},
         std::regex(R"(Connection lost at 40000 / 100000 B; continuing in \d+ s \(try 3 of 4\))"), 2},
        // Nothing has arrived: the status is still empty.
        {{"Late", [](FixtureServer::Route& r) { r.headStallSeconds = 3; }, "", "", 0}, std::regex(""), 1},
    };
    FixtureServer server;
    const std::string next = VideoBytes(200000);
    ServeVideoPage(server, "next", "Next", next);
    for (const auto& [row, waitFor, requests] : rows) {
        SCOPED_TRACE(row.name);
        ServeRow(server, row);
        ClipwellDriver clipwell(InFolder(row.name));
        clipwell.StartGrab(PageUrl(row.name));
        const DWORD started = GetTickCount();
        ASSERT_TRUE(WaitUntil([&] { return VideoRanges(server, row).size() == requests &&
                                           std::regex_match(clipwell.Status(), waitFor); }, kRowMs))
            << clipwell.Status();
        clipwell.StartGrab(PageUrl("next"), GrabBy::Enter);
        EXPECT_TRUE(SameBytes(ExpectOutput(clipwell, "Next.flv"), next));
        Sleep(kStoppedWorkerWouldHaveActedMs - std::min(kStoppedWorkerWouldHaveActedMs, GetTickCount() - started));
        EXPECT_EQ(clipwell.ProgressHigh(), 200000);
        EXPECT_EQ(clipwell.Status(), "200000 / 200000 B");
        std::string kept;
        EXPECT_TRUE(clipwell.ReadOutput(row.name + ".flv.part", kept));
        EXPECT_TRUE(SameBytes(kept, row.body.substr(0, row.kept)));
        EXPECT_EQ(VideoRanges(server, row).size(), requests);
        EXPECT_TRUE(clipwell.OtherDialogs().empty());
    }
}

// A disk that is always full (the output file a link to /dev/full), met by
// a chunk's write or by the write of a stop during a stall: the report says
// what the file holds, once, and the window goes on.
TEST(Faults, AFullDiskIsSaidOnceAndTheWindowGoesOn)
{
    const struct {
        std::string name;
        std::function<void(ClipwellDriver&)> stop;  // during a stall after 500 bytes
    } rows[] = {
        {"Full", nullptr},
        {"FullNewGrab", [](ClipwellDriver& c) { c.StartGrab(PageUrl("Whole"), GrabBy::Enter); }},
        {"FullClose", [](ClipwellDriver& c) { c.SysCommand(SC_CLOSE); }},
    };
    FixtureServer server;
    ServeRow(server, {"Whole", nullptr, "", "", kVideoSize});
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ServeRow(server, {row.name, [&](FixtureServer::Route& r) {
                              r.stallAfter = {row.stop ? 500 : -1};
                              r.stallSeconds = 600;
                          }, "", "", 0});
        ClipwellDriver clipwell(InFolder(row.name));
        const std::string link = WindowsToUnixPath(clipwell.Folder() + row.name + ".flv.part");
        // Wine can neither read nor delete the link: the Unix side removes
        // it, so that the next run finds an empty folder.
        const std::shared_ptr<void> unlink(nullptr, [&](void*) { RunOnUnixSide("rm " + link + " > $part", link + ".gone"); });
        ASSERT_TRUE(RunOnUnixSide("ln -s /dev/full " + link + " && : > $part", link + ".made"));
        clipwell.StartGrab(PageUrl(row.name));
        if (row.stop) {
            ASSERT_TRUE(WaitUntil([&] { return server.RequestsFor("/get_video?video_id=" + row.name).size() == 1; },
                                  kRowMs));
            LetTheWorkerTakeInTheBytesShortOfAChunk();
            row.stop(clipwell);
        }
        const auto box = ExpectMessageBox(clipwell);
        EXPECT_EQ(box.icon, "stop");
        EXPECT_NE(box.text.find("The file \"" + row.name + ".flv.part\" is empty."), std::string::npos) << box.text;
        ExpectClosed(clipwell, box);
        if (row.name == "FullClose") {
            EXPECT_TRUE(clipwell.WaitForExit(kRowMs)) << "the window stayed";
            continue;
        }
        if (row.name == "FullNewGrab") {
            EXPECT_TRUE(SameBytes(ExpectOutput(clipwell, "Whole.flv"), VideoBytes(kVideoSize)));
        }
        EXPECT_TRUE(clipwell.WaitForGrabEnabled());
        EXPECT_FALSE(clipwell.WaitForMessageBox(500).has_value()) << "said more than once";
    }
}

// A stalled server: the read times out, and the transfer goes on from every
// byte that arrived before the stall, to the whole video. The stall outlasts
// the read time-out: had the read waited it out, no second request came.
TEST(StalledFaults, AStallTimesOutAndTheTransferGoesOn)
{
    const auto stallAt = [](long bytes) {
        return [bytes](FixtureServer::Route& r) {
            r.stallAfter = {bytes, -1};
            r.stallSeconds = 45;
            r.ranges = true;
            r.headers = {"ETag: \"s\""};
        };
    };
    const std::string at = std::to_string(kStallAt);
    RunRows({
        {"Stall", stallAt(kStallAt), "", "", kVideoSize, VideoBytes(kVideoSize), {"bytes=" + at + "-;\"s\""}},
        {"OddStall", stallAt(kStallAt + 848), "", "", kVideoSize, VideoBytes(kVideoSize),
         {"bytes=" + std::to_string(kStallAt + 848) + "-;\"s\""}},
    });
}

// Starts grabbing a video that stalls for good after kStallAt bytes, all
// of which the worker has taken in.
void StartStallingForGood(ClipwellDriver& clipwell, FixtureServer& server, const std::string& name)
{
    StartStalledGrab(clipwell, server, name, name, VideoBytes(kVideoSize), kStallAt);
    LetTheWorkerTakeInTheBytesShortOfAChunk();
}

// How long Wine takes to end the least of dialog programs once its window
// is closed: the floor for any program's exit, Clipwell's included.
DWORD MinimalExitMs()
{
    const char* built = std::getenv("CLIPWELL_MINIMAL_EXE");
    if (built == nullptr)
        throw std::runtime_error("CLIPWELL_MINIMAL_EXE is not set");
    const std::string exe = UnixToWindowsPath(built);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        throw std::runtime_error("cannot start " + exe);
    CloseHandle(process.hThread);
    HWND box = nullptr;
    // Without its window or its end there is no floor, and every exit
    // would pass against a baseline of the waits' length.
    if (!WaitUntil([&] { return (box = FindWindowA(nullptr, "Minimal dialog")) != nullptr; }, 15000))
        throw std::runtime_error("the minimal program showed no window");
    const DWORD closed = GetTickCount();
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    if (!WaitUntil([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 15000))
        throw std::runtime_error("the minimal program did not end");
    CloseHandle(process.hProcess);
    return GetTickCount() - closed;
}

struct EndingRow {
    std::string name;
    std::function<void(ClipwellDriver&)> end;
};

// Ending the window during a stall: the file is closed at once with every
// byte that arrived, and the process goes as soon as Wine lets any go.
TEST(StalledFaults, EndingDuringAStallClosesTheFileAndEndsAtOnce)
{
    const DWORD floorMs = MinimalExitMs();
    const EndingRow rows[] = {
        {"Close", [](ClipwellDriver& c) { c.SysCommand(SC_CLOSE); }},
        {"Escape", [](ClipwellDriver& c) { c.TypeKey(VK_ESCAPE); }},
        {"AltF4", [](ClipwellDriver& c) { c.TypeKeys({{VK_MENU, false}, {VK_F4, false}, {VK_F4, true}, {VK_MENU, true}}); }},
    };
    FixtureServer server;
    for (const EndingRow& row : rows) {
        SCOPED_TRACE(row.name);
        ClipwellDriver clipwell(InFolder(row.name));
        StartStallingForGood(clipwell, server, row.name);
        row.end(clipwell);
        const auto box = ExpectMessageBox(clipwell);
        EXPECT_NE(box.text.find("The 50000 bytes that arrived are kept in \"" + row.name + ".flv.part\""),
                  std::string::npos) << box.text;
        EXPECT_FALSE(IsWindowVisible(clipwell.Main())) << "the window stayed under the report";
        const DWORD ended = GetTickCount();
        ExpectClosed(clipwell, box);
        EXPECT_TRUE(clipwell.OtherDialogs().empty());
        std::string kept;
        EXPECT_TRUE(WaitUntil([&] { return clipwell.ReadOutput(row.name + ".flv.part", kept); }, kWithoutWaitingMs))
            << "the file stayed open";
        EXPECT_TRUE(SameBytes(kept, VideoBytes(kVideoSize).substr(0, kStallAt)));
        EXPECT_TRUE(clipwell.WaitForExit(floorMs + kWithoutWaitingMs))
            << "still running " << GetTickCount() - ended << " ms after; a minimal program took " << floorMs;
    }
}

TEST(StalledFaults, ANewGrabDuringAStallStartsAtOnce)
{
    FixtureServer server;
    ClipwellDriver clipwell;
    StartStallingForGood(clipwell, server, "First");
    // Grabbed again at once, the stopped grab's file is the new one's, not
    // another Clipwell's.
    clipwell.StartGrab(PageUrl("First"), GrabBy::Enter);
    EXPECT_TRUE(WaitUntil([&] { return server.RequestsFor("/get_video?video_id=First").size() == 2; }, kRowMs));
    EXPECT_TRUE(clipwell.OtherDialogs().empty());
    ASSERT_TRUE(WaitUntil([&] { return clipwell.Status() == "49152 / 100000 B"; }, kRowMs)) << clipwell.Status();
    LetTheWorkerTakeInTheBytesShortOfAChunk();
    const std::string second = VideoBytes(3000);
    ServeVideoPage(server, "second", "Second", second);
    clipwell.StartGrab(PageUrl("second"), GrabBy::Enter);
    EXPECT_TRUE(WaitUntil([&] { return !server.RequestsFor("/watch?v=second").empty(); }, kWithoutWaitingMs))
        << "the new page waited for the stalled video";
    EXPECT_TRUE(SameBytes(ExpectOutput(clipwell, "Second.flv"), second));
    std::string first;
    EXPECT_TRUE(clipwell.ReadOutput("First.flv.part", first));
    EXPECT_TRUE(SameBytes(first, VideoBytes(kVideoSize).substr(0, kStallAt)));
    EXPECT_TRUE(clipwell.OtherDialogs().empty());
}

// A page server that stalls before replying: the window goes on answering,
// a second Grab abandons the first and asks again at once, Close works at
// once, and after the read time-out the user is told, once.
TEST(StalledFaults, AStalledPageNeitherFreezesTheWindowNorHangs)
{
    FixtureServer server;
    FixtureServer::Route stalled;
    stalled.headStallSeconds = 150;
    server.Serve("/watch?v=slow", WatchPageHtml("Slow", "video_id=slow"), stalled);
    const DWORD floorMs = MinimalExitMs();

    ClipwellDriver waiting(InFolder("waiting"));
    ClipwellDriver closing(InFolder("closing"));
    for (ClipwellDriver* clipwell : {&waiting, &closing})
        clipwell->StartGrab(PageUrl("slow"));
    const auto asked = [&] { return server.RequestsFor("/watch?v=slow").size(); };
    ASSERT_TRUE(WaitUntil([&] { return asked() == 2; }, kRowMs));
    waiting.ClickGrab();
    EXPECT_TRUE(WaitUntil([&] { return asked() == 3; }, kWithoutWaitingMs)) << "a new grab waited for the stalled page";
    // Asked again and again for two seconds, the window answers each time.
    constexpr DWORD kBetweenQuestionsMs = 100;
    for (int i = 0; i < 20; ++i) {
        DWORD_PTR result = 0;
        EXPECT_TRUE(SendMessageTimeoutA(waiting.Main(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result))
            << "the window stopped answering";
        Sleep(kBetweenQuestionsMs);
    }

    const DWORD ended = GetTickCount();
    closing.SysCommand(SC_CLOSE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(closing.Main()); }, kWithoutWaitingMs)) << "the window stayed";
    EXPECT_TRUE(closing.WaitForExit(floorMs + kWithoutWaitingMs))
        << "still running " << GetTickCount() - ended << " ms after; a minimal program took " << floorMs;

    // The page comes only after 150 s: a report of a time-out before then
    // is the read time-out's.
    const auto box = ExpectMessageBox(waiting, kRowMs);
    EXPECT_EQ(box.text.find("The request has timed out."), 0u) << box.text;
    EXPECT_EQ(box.icon, "stop");
    ExpectClosed(waiting, box);
    EXPECT_FALSE(waiting.WaitForMessageBox(2000).has_value()) << "the abandoned fetch was reported too";
    EXPECT_FALSE(waiting.OutputExists("Slow.flv"));
    EXPECT_FALSE(closing.OutputExists("Slow.flv"));
}

}  // namespace
