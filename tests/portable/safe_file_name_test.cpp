#include "page/safe_file_name.h"

#include "code_page_932.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace {

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
    // Cut at a character: never between the halves of a pair.
    EXPECT_EQ(CutAtCharacter(u"a\U0001F600b", 2), u"a");
    EXPECT_EQ(CutAtCharacter(u"a\U0001F600b", 3), u"a\U0001F600");
    EXPECT_EQ(CutAtCharacter(u"\u3042\u3044", 5), u"\u3042\u3044");
    // By UTF-8 bytes too: three a character here, four a pair.
    EXPECT_EQ(CutAtCharacter(u"\u3042\u3044\u3046", 3, 8), u"\u3042\u3044");
    EXPECT_EQ(CutAtCharacter(u"a\U0001F600", 3, 4), u"a");
}

TEST(SafeFileName, LeavesTrailBytesAlone)
{
    const std::string title = std::string(kSo) + kHyo + kPo + "\\";
    EXPECT_EQ(MakeSafeFileName(title + ".flv", ShiftJisLeadBytes()), std::string(kSo) + kHyo + kPo + "_.flv");
    // In a single-byte code page the same bytes are separators.
    EXPECT_EQ(MakeSafeFileName(title + ".flv", LeadByteTable()), "\x83_\x95_\x83__.flv");
}

}  // namespace
