#include "page/safe_file_name.h"
#include "transfer/transfer_progress.h"
#include "transfer/transfer_report.h"
#include "ui/icon_origin.h"

#include "code_page_932.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

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
         u"Timed out.\n\nOnly 50 of 100 bytes arrived. The file \"v.flv\" keeps them."},
        {"", "", "", "", 0, true, ReportKind::Failure, u"Timed out.\n\nThe file \"v.flv\" is empty."},
        {"200", "OK", ok, "", 7, true, ReportKind::Failure,
         u"Timed out.\n\nThe file \"v.flv\" keeps the 7 bytes that arrived."},
    };
    for (const auto& row : rows) {
        TransferOutcome outcome;
        outcome.fileName = u"v.flv";
        outcome.statusCode = row.statusCode;
        outcome.statusText = row.statusText;
        outcome.rawHeaders = row.rawHeaders;
        outcome.contentLength = row.contentLength;
        outcome.expected = outcome.contentLength.empty() ? 0 : 100;
        outcome.received = row.received;
        outcome.failed = row.failed;
        outcome.failure = u"Timed out.";
        const TransferReport report = ReportOf(outcome);
        EXPECT_EQ(report.kind, row.kind) << row.statusCode << " " << row.received;
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

// Names made of ASCII and the Latin-1 superscripts, whose byte values in
// windows-1252 equal their UTF-16 units, so both rules must agree on them.
std::u16string Widened(std::string_view latin1)
{
    std::u16string wide;
    for (char c : latin1)
        wide += static_cast<char16_t>(static_cast<unsigned char>(c));
    return wide;
}

struct SafeNameRow {
    const char* name;
    const char* safe;
};

void ExpectBothRules(std::initializer_list<SafeNameRow> rows)
{
    for (const SafeNameRow& row : rows) {
        EXPECT_EQ(MakeSafeFileName(row.name, LeadByteTable()), row.safe) << row.name;
        EXPECT_EQ(MakeSafeFileName(Widened(row.name)), Widened(row.safe)) << row.name;
    }
}

TEST(SafeFileName, ReplacesWhatWindowsRefuses)
{
    ExpectBothRules({
        {"..\\..\\evil.flv", ".._.._evil.flv"},
        {"C:/x*y?\"<a>|b.flv", "C__x_y___a__b.flv"},
        {"tab\there\x1f\x01.flv", "tab_here__.flv"},
        {" Site - A & B (1).flv", " Site - A & B (1).flv"},
        {"\x7f\xa0\xff.flv", "\x7f\xa0\xff.flv"},
        {".flv", ".flv"},
    });
}

TEST(SafeFileName, PrefixesDeviceNames)
{
    ExpectBothRules({
        {"CON.flv", "_CON.flv"},
        {"nul.flv", "_nul.flv"},
        {"Com7.flv", "_Com7.flv"},
        {"lpt1.txt.flv", "_lpt1.txt.flv"},
        {"AUX .flv", "_AUX .flv"},
        {"PRN:.flv", "PRN_.flv"},
        {"CONIN$.flv", "_CONIN$.flv"},
        {"conout$ .flv", "_conout$ .flv"},
        {"COM0.flv", "_COM0.flv"},
        {"lpt0.flv", "_lpt0.flv"},
        {"COM\xb9.flv", "_COM\xb9.flv"},
        {"LPT\xb2.flv", "_LPT\xb2.flv"},
        {"com\xb3.flv", "_com\xb3.flv"},
        // Near misses stay as they are.
        {"COM\xb4.flv", "COM\xb4.flv"},
        {"COM10.flv", "COM10.flv"},
        {"CONSOLE.flv", "CONSOLE.flv"},
        {"CONOUT.flv", "CONOUT.flv"},
        {"x.CON.flv", "x.CON.flv"},
    });
}

TEST(SafeFileName, WideNamesKeepEveryOtherCharacter)
{
    // "あ", a pair for U+1F600, the full-width reverse solidus and the
    // superscript four pass; only the ASCII refused characters change.
    EXPECT_EQ(MakeSafeFileName(u"Caf\u00e9 \u3042\U0001F600\uFF3C?.flv"), u"Caf\u00e9 \u3042\U0001F600\uFF3C_.flv");
    EXPECT_EQ(MakeSafeFileName(u"\U0001F600/\U0001F600"), u"\U0001F600_\U0001F600");
    EXPECT_EQ(MakeSafeFileName(u"COM\u2074.flv"), u"COM\u2074.flv");
    EXPECT_EQ(MakeSafeFileName(u"\uFF23ON.flv"), u"\uFF23ON.flv");
    EXPECT_EQ(MakeSafeFileName(u"\U0001F600.flv"), u"\U0001F600.flv");
}

TEST(SafeFileName, LeavesTrailBytesAlone)
{
    const std::string title = std::string(kSo) + kHyo + kPo + "\\";
    EXPECT_EQ(MakeSafeFileName(title + ".flv", ShiftJisLeadBytes()), std::string(kSo) + kHyo + kPo + "_.flv");
    // In a single-byte code page the same bytes are separators.
    EXPECT_EQ(MakeSafeFileName(title + ".flv", LeadByteTable()), "\x83_\x95_\x83__.flv");
}

TEST(MinimisedIcon, IsCentredWithTruncatingDivision)
{
    EXPECT_EQ(CentredIconOrigin(0, 0, 32, 32).x, -15);
    EXPECT_EQ(CentredIconOrigin(0, 0, 32, 32).y, -15);
    EXPECT_EQ(CentredIconOrigin(100, 41, 32, 32).x, 34);
    EXPECT_EQ(CentredIconOrigin(100, 41, 32, 32).y, 5);
}

}  // namespace
