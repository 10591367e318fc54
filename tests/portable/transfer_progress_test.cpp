#include "page/safe_file_name.h"
#include "transfer/transfer_progress.h"
#include "ui/icon_origin.h"

#include "code_page_932.h"

#include <gtest/gtest.h>

#include <string>

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

TEST(SafeFileName, ReplacesWhatWindowsRefuses)
{
    const LeadByteTable single;
    EXPECT_EQ(MakeSafeFileName("..\\..\\evil.flv", single), ".._.._evil.flv");
    EXPECT_EQ(MakeSafeFileName("C:/x*y?\"<a>|b.flv", single), "C__x_y___a__b.flv");
    EXPECT_EQ(MakeSafeFileName("tab\there\x1f.flv", single), "tab_here_.flv");
    EXPECT_EQ(MakeSafeFileName(" Site - A & B (1).flv", single), " Site - A & B (1).flv");
    EXPECT_EQ(MakeSafeFileName(".flv", single), ".flv");
}

TEST(SafeFileName, PrefixesDeviceNames)
{
    const LeadByteTable single;
    EXPECT_EQ(MakeSafeFileName("CON.flv", single), "_CON.flv");
    EXPECT_EQ(MakeSafeFileName("nul.flv", single), "_nul.flv");
    EXPECT_EQ(MakeSafeFileName("Com7.flv", single), "_Com7.flv");
    EXPECT_EQ(MakeSafeFileName("lpt1.txt.flv", single), "_lpt1.txt.flv");
    EXPECT_EQ(MakeSafeFileName("AUX .flv", single), "_AUX .flv");
    EXPECT_EQ(MakeSafeFileName("COM0.flv", single), "COM0.flv");
    EXPECT_EQ(MakeSafeFileName("CONSOLE.flv", single), "CONSOLE.flv");
    EXPECT_EQ(MakeSafeFileName("PRN:.flv", single), "PRN_.flv");
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
