#include "app/command_line.h"
#include "transfer/grab_queue.h"
#include "transfer/transfer_progress.h"
#include "transfer/transfer_report.h"
#include "ui/progress_caption.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

TEST(TransferProgress, StatusTextUsesTheHeaderAsSent)
{
    TransferProgress sized("1500", 1500);
    EXPECT_EQ(sized.StatusText(1024), "1024 / 1500 B");
    EXPECT_EQ(sized.StatusText(1500), "1500 / 1500 B");
    EXPECT_EQ(sized.RangeHigh(), 1500);
    EXPECT_EQ(sized.Position(1500), 1500);

    TransferProgress unsized("", 0);
    EXPECT_EQ(unsized.StatusText(3072), "3072 /  B");
    EXPECT_EQ(unsized.RangeHigh(), 0);
    EXPECT_EQ(TransferProgress(" 0042", 42).StatusText(7), "7 /  0042 B");
}

// What the user is told after a transfer, by how it ended.
TEST(TransferReport, SaysEveryEndThatIsNotTheWholeVideo)
{
    const std::string ok = "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n";
    const struct {
        const char* statusCode;
        const char* statusText;
        std::string rawHeaders;
        const char* contentLength;
        std::int64_t received;
        bool failed;
        ReportKind kind;
        std::u16string text;
        bool refused = false;
        bool canContinue = false;  // Retry is then offered for a report
    } rows[] = {
        {"200", "OK", ok, "100", 100, false, ReportKind::None, u""},
        {"200", "OK", ok, "", 50, false, ReportKind::None, u""},
        {"200", "OK", ok, "100", 40, false, ReportKind::Warning,
         u"The connection ended early. Only 40 of 100 bytes arrived. The file \"v.flv\" keeps them."},
        {"206", "Partial", ok, "100", 100, false, ReportKind::None, u""},
        {"404", "Not Found", ok, "100", 100, false, ReportKind::Warning,
         u"The server answered \"404 Not Found\" instead of sending the video. The file \"v.flv\" holds its reply, "
         u"not a video."},
        {"0", "", "\r\n", "", 0, false, ReportKind::Warning,
         u"The server closed the connection without replying. The file \"v.flv\" is empty."},
        {"200", "OK", "HTTP/1.0 200 OK\r\n\r\n", "", 9, false, ReportKind::Warning,
         u"The server's reply had no status line. The file \"v.flv\" holds what it sent, which may not be a video."},
        {"200", "OK", ok, "100", 50, true, ReportKind::Failure,
         u"Timed out.\n\nThe file \"v.flv\" keeps 50 of the 100 bytes."},
        {"", "", "", "", 0, true, ReportKind::Failure, u"Timed out.\n\nThe file \"v.flv\" is empty."},
        {"200", "OK", ok, "", 7, true, ReportKind::Failure,
         u"Timed out.\n\nThe file \"v.flv\" keeps 7 bytes."},
        {"416", "Range Not Satisfiable", ok, "100", 40, false, ReportKind::Warning,
         u"The server answered \"416 Range Not Satisfiable\" when asked for the rest of the video. Only 40 of 100 "
         u"bytes arrived. The file \"v.flv\" keeps them.",
         true},
        {"206", "Partial", ok, "100", 90, false, ReportKind::Warning,
         u"The connection ended early. Only 90 of 100 bytes arrived. The file \"v.flv\" keeps them.", false, true},
        {"200", "OK", ok, "100", 100, false, ReportKind::None, u"", false, true},
    };
    for (const auto& row : rows) {
        TransferOutcome outcome;
        outcome.fileName = u"v.flv";
        outcome.statusCode = std::atoi(row.statusCode);
        outcome.statusText.assign(row.statusText, row.statusText + std::strlen(row.statusText));
        outcome.rawHeaders = row.rawHeaders;
        outcome.contentLength = row.contentLength;
        outcome.expected = outcome.contentLength.empty() ? 0 : 100;
        outcome.received = row.received;
        outcome.failed = row.failed;
        outcome.failure = u"Timed out.";
        outcome.refused = row.refused;
        outcome.canContinue = row.canContinue;
        const TransferReport report = ReportOf(outcome);
        EXPECT_EQ(report.kind, row.kind) << row.statusCode << " " << row.received;
        EXPECT_EQ(report.offerRetry, row.canContinue && row.kind != ReportKind::None) << row.statusCode;
        EXPECT_TRUE(report.text == row.text) << row.statusCode << " " << row.received;
    }
}

TEST(TransferProgress, CountsBeyondTheThirtyTwoBitRange)
{
    const std::int64_t fiveGiB = 5LL << 30;
    TransferProgress big("5368709120", fiveGiB);
    EXPECT_EQ(big.StatusText(fiveGiB - 1), "5368709119 / 5368709120 B");
    EXPECT_LE(big.RangeHigh(), 0x7fffffff);
    EXPECT_GT(big.RangeHigh(), 0x3fffffff);
    EXPECT_EQ(big.Position(fiveGiB), big.RangeHigh());
    EXPECT_EQ(big.Position(fiveGiB / 2), big.RangeHigh() / 2);
    // A stream longer than announced pins the bar at its end, not past it.
    TransferProgress small("10", 10);
    EXPECT_EQ(small.Position(1LL << 40), 0x7fffffff);
}

TEST(TransferProgress, CaptionShowsTheWholePercentDone)
{
    const struct {
        std::int64_t position, range;
        const char* caption;
    } rows[] = {{1024, 1500, "68% - Clipwell"}, {1499, 1500, "99% - Clipwell"}, {1500, 1500, "100% - Clipwell"},
                {0, 1500, "0% - Clipwell"},     {1600, 1500, "100% - Clipwell"}, {5, 0, "Clipwell"},
                {2000000000, 0x7fffffff, "93% - Clipwell"}};
    for (const auto& row : rows)
        EXPECT_EQ(ProgressCaption("Clipwell", PercentDone(row.position, row.range)), row.caption) << row.position;
}

// A queue grabs each address once, in order; its one report names what did
// not end whole, what it never got to and the lines that are no address.
TEST(GrabQueue, GrabsEachAddressOnceAndSaysWhatDidNotEndWhole)
{
    GrabQueue queue;
    queue.Adopt("a");
    queue.Add({{"b", "a", "c", "b", "d\xC3\xA9"}, {"not one"}, {u"The file \"x.url\" holds no address."}});
    EXPECT_EQ(queue.Size(), 4u);
    queue.Ended({ReportKind::None, {}, false});
    EXPECT_EQ(queue.Next(), "b");
    queue.PutFirst("typed");
    queue.PutBack();
    EXPECT_EQ(queue.Next(), "b");
    EXPECT_EQ(queue.Place(), 2u);
    queue.Ended({ReportKind::Warning, u"Only 5 of 9 bytes arrived.", false});
    EXPECT_EQ(queue.Next(), "typed");
    EXPECT_EQ(QueuePlaceText(std::pair<std::size_t, std::size_t>(queue.Place(), queue.Size())), u"3 of 5 \u00B7 ");
    const std::optional<TransferReport> report = queue.Finish(true);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->kind, ReportKind::Warning);
    EXPECT_EQ(report->text, u"1 of the 5 addresses were saved whole.\n\nb\nOnly 5 of 9 bytes arrived.\n\n"
                            u"The queue was stopped before these addresses were grabbed:\n\"typed\"\n\"c\"\n\"d\u00e9\"\n\n"
                            u"These lines are no addresses, so nothing was grabbed for them:\n\"not one\"\n\n"
                            u"The file \"x.url\" holds no address.");
    EXPECT_FALSE(queue.Active());
    queue.Add({{"e"}, {}, {}});
    queue.Next();
    queue.Ended({});
    EXPECT_FALSE(queue.Finish(false)) << "a queue that ended whole says nothing";
}

TEST(CommandLine, TakesTheArgumentsAfterTheProgramsName)
{
    const struct {
        const char* line;
        std::vector<std::string> arguments;
    } rows[] = {{"Clipwell.exe", {}},
                {"\"C:\\Program Files\\Clipwell.exe\"  \t", {}},
                {"\"C:\\Program Files\\Clipwell.exe\" http://v/w?v=1", {"http://v/w?v=1"}},
                {"Clipwell.exe  \"http://v/w?v=a b\" more", {"http://v/w?v=a b", "more"}},
                {"Clipwell.exe\thttp://v/w second \"C:\\My lists\\a.txt\" ",
                 {"http://v/w", "second", "C:\\My lists\\a.txt"}},
                {"Clipwell.exe \"unclosed", {"unclosed"}},
                {"Clipwell.exe \"\"", {""}}};
    for (const auto& row : rows)
        EXPECT_EQ(Arguments(row.line), row.arguments) << row.line;
}

}  // namespace
