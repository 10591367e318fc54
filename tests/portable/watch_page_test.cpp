#include "page/watch_page.h"

#include "code_page_932.h"
#include "watch_page_of.h"
#include "framework/exception.h"
#include "page/charset.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(WatchPageLines, AreTrimmedAndKeptEvenWhenEmpty)
{
    const WatchPage page = PageOf({"  \tabc \r", " \r\n\v\f ", "", "x y"});
    ASSERT_EQ(page.LineCount(), 4u);
    EXPECT_EQ(page.Line(0), "abc");
    EXPECT_EQ(page.Line(1), "");
    EXPECT_EQ(page.Line(2), "");
    EXPECT_EQ(page.Line(3), "x y");
    EXPECT_THROW(page.Line(4), CInvalidArgException);
    // A UTF-8 mark goes from the first line only, before the trimming.
    const WatchPage marked = PageOf({"\xEF\xBB\xBF <title>x", "\xEF\xBB\xBF"}, ShiftJisLeadBytes());
    EXPECT_TRUE(marked.HasUtf8Mark() && marked.Line(0) == "<title>x" && marked.Line(1) == "\xEF\xBB\xBF");
    EXPECT_FALSE(page.HasUtf8Mark());
}

TEST(WatchPageQuery, RunsFromVideoIdToTheQuote)
{
    const WatchPage page = PageOf({"<html>", "  embed src=/player2.swf?video_id=abc&t=xyz\" width=1", "x"});
    EXPECT_EQ(page.FindVideoQuery(), "video_id=abc&t=xyz");
    EXPECT_EQ(WatchPage::MakeRequestPath(page.FindVideoQuery()), "get_video?video_id=abc&t=xyz");
}

TEST(WatchPageQuery, OnlyTheFirstQualifyingLineCounts)
{
    const WatchPage page = PageOf({"player2.swf?video_id=first\"", "a player2.swf?video_id=second\"",
                                   "b player2.swf?video_id=third\""});
    EXPECT_EQ(page.FindVideoQuery(), "video_id=second");
}

TEST(WatchPageQuery, FailsWithoutAQualifyingLine)
{
    EXPECT_THROW(PageOf({}).FindVideoQuery(), CInvalidArgException);
    // At position 0 (after trimming) the player does not count.
    EXPECT_THROW(PageOf({"   player2.swf?video_id=abc\""}).FindVideoQuery(), CInvalidArgException);
    EXPECT_THROW(PageOf({"<title>x</title>", "Player2.swf video_id=1\""}).FindVideoQuery(), CInvalidArgException);
}

TEST(WatchPageQuery, CutsWhatIsThereWithoutVideoIdOrQuote)
{
    EXPECT_EQ(PageOf({"x player2.swf\"y"}).FindVideoQuery(), "x player2.swf");
    EXPECT_EQ(PageOf({"x player2.swf?video_id=abc"}).FindVideoQuery(), "");
    EXPECT_EQ(PageOf({"x player2.swf?\"video_id=abc"}).FindVideoQuery(), "");
    EXPECT_EQ(WatchPage::MakeRequestPath(""), "get_video?");
}

TEST(WatchPageTitle, IsTheLastTitleLineWithoutItsTags)
{
    EXPECT_EQ(PageOf({"<title>Site - Little Battle</title>"}).FindTitle(), "Site - Little Battle");
    EXPECT_EQ(PageOf({"<title>First</title>", "a", "<title>Second</title>"}).FindTitle(), "Second");
    // Tags are removed only at the very start and end; the rest stays.
    EXPECT_EQ(PageOf({"<head><title>A &amp; B: x?</title></head>"}).FindTitle(),
              "<head><title>A &amp; B: x?</title></head>");
    EXPECT_EQ(PageOf({"  <title>  spaced  </title>  "}).FindTitle(), "  spaced  ");
}

TEST(WatchPageTitle, IsEmptyWithoutATitleLine)
{
    EXPECT_EQ(PageOf({}).FindTitle(), "");
    EXPECT_EQ(PageOf({"<title>"}).FindTitle(), "");
    EXPECT_EQ(PageOf({"<TITLE>Caps</TITLE>"}).FindTitle(), "");
}

TEST(WatchPageCodePage932, TrailBytesNeverMatch)
{
    const LeadByteTable sjis = ShiftJisLeadBytes();
    // The lead byte 0x81 followed by 0x22 is one character, not a quote.
    const std::string player = std::string("a player2.swf?video_id=") + kSo + "\x81\x22" + kPo + "&t=1\" b";
    EXPECT_EQ(PageOf({player}, sjis).FindVideoQuery(), std::string("video_id=") + kSo + "\x81\x22" + kPo + "&t=1");
    // In a single-byte code page the same bytes hold a quote earlier.
    EXPECT_EQ(PageOf({player}).FindVideoQuery(), std::string("video_id=") + kSo + "\x81");

    const std::string title = std::string("<title>") + kSo + kHyo + kPo + "</title>";
    EXPECT_EQ(PageOf({title}, sjis).FindTitle(), std::string(kSo) + kHyo + kPo);
}

TEST(WatchPageCodePage932, SearchesAndTagsStepOverCharacters)
{
    const LeadByteTable sjis = ShiftJisLeadBytes();
    // "\x81<title>" hides the tag's '<' behind a lead byte in code page 932.
    EXPECT_EQ(PageOf({"\x81<title>x"}, sjis).FindTitle(), "");
    EXPECT_EQ(PageOf({"\x81<title>x"}).FindTitle(), "\x81<title>x");
    // A closing tag whose '<' is a trail byte is no closing tag.
    EXPECT_EQ(PageOf({"<title>a\x81</title>"}, sjis).FindTitle(), "a\x81</title>");
    // A lead byte at the very end of a line stands alone.
    EXPECT_EQ(PageOf({" x \x81"}, sjis).Line(0), "x \x81");
}

// "Café あ" in UTF-8. Code page 932 reads its 0xE3 0x81 as one character
// and its final 0x82 as a lead byte that swallows what follows.
constexpr char kCafeA[] = "Caf\xC3\xA9 \xE3\x81\x82";

TEST(WatchPageUtf8, PlainBytesFindTheClosingTag)
{
    const std::string line = std::string("<title>") + kCafeA + "</title>";
    EXPECT_EQ(PageOf({line}).FindTitle(), kCafeA);
    EXPECT_EQ(PageOf({line}, ShiftJisLeadBytes()).FindTitle(), std::string(kCafeA) + "</title>");
}

TEST(WatchPageUtf8, ChangingCodePageScansAndTrimsAgain)
{
    // The blank after the 0x82 is its trail byte in code page 932.
    WatchPage page = PageOf({std::string("<title>") + kCafeA + "</title>", std::string(kCafeA) + " \t"},
                            ShiftJisLeadBytes());
    EXPECT_EQ(page.Line(1), std::string(kCafeA) + " ");
    page.UseLeadBytes(LeadByteTable());
    EXPECT_EQ(page.Line(1), kCafeA);
    EXPECT_EQ(page.FindTitle(), kCafeA);
    page.UseLeadBytes(ShiftJisLeadBytes());
    EXPECT_EQ(page.FindTitle(), std::string(kCafeA) + "</title>");
}

struct CharsetRow {
    const char* text;
    const char* charset;
};

TEST(Charset, ComesFromTheContentTypeParameter)
{
    const CharsetRow rows[] = {
        {"text/html; charset=UTF-8", "UTF-8"},
        {"text/html;charset=\"Shift_JIS\"", "Shift_JIS"},
        {"text/html; CharSet = 'euc-jp' ", "euc-jp"},
        {"text/html; format=flowed; charset=koi8-r", "koi8-r"},
        {"text/html; charset=", ""},
        {"text/html; charsets=utf-8", ""},
        {"text/html", ""},
        {"", ""},
    };
    for (const CharsetRow& row : rows)
        EXPECT_EQ(charset::FromContentType(row.text), row.charset) << row.text;
}

TEST(Charset, ComesFromTheFirstDeclaringMetaTag)
{
    const CharsetRow rows[] = {
        {"<meta charset=\"utf-8\">", "utf-8"},
        {"<META CHARSET=Shift_JIS>", "Shift_JIS"},
        {"<meta charset='big5'/>", "big5"},
        {"<meta charset=utf-8/>", "utf-8"},
        {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-kr\">", "euc-kr"},
        {"<meta content='text/html; charset=koi8-r' HTTP-EQUIV=content-type>", "koi8-r"},
        {"<head><meta name=a content=b><Meta\tcharset = gbk ></head>", "gbk"},
        {"<meta charset=utf-8><meta charset=windows-1252>", "utf-8"},
        {"<meta http-equiv=refresh content=\"5; charset=utf-8\">", ""},
        {"<metadata charset=utf-8>", ""},
        {"<meta name=\"charset\" content=\"utf-8\">", ""},
        {"<meta charset=\"\">", ""},
        {"<meta charset", ""},
        {"<title>charset=utf-8</title>", ""},
    };
    for (const CharsetRow& row : rows)
        EXPECT_EQ(PageOf({"<head>", row.text}).FindDeclaredCharset(), row.charset) << row.text;
    EXPECT_EQ(PageOf({"<meta name=viewport>", "<meta charset=iso-8859-2>", "<meta charset=utf-8>"})
                  .FindDeclaredCharset(),
              "iso-8859-2");
    EXPECT_EQ(PageOf({}).FindDeclaredCharset(), "");
}

TEST(Charset, NamesMapToWindowsCodePages)
{
    const struct {
        const char* name;
        unsigned codePage;
    } rows[] = {
        {"UTF-8", 65001},       {" utf8 ", 65001},     {"Shift_JIS", 932},     {"sjis", 932},
        {"Windows-31J", 932},   {"EUC-JP", 20932},     {"ISO-8859-1", 1252},   {"latin1", 1252},
        {"windows-1252", 1252}, {"windows-1250", 1250}, {"windows-1258", 1258}, {"iso-8859-2", 28592},
        {"ISO-8859-5", 28595},  {"iso-8859-7", 28597}, {"iso-8859-15", 28605}, {"KOI8-R", 20866},
        {"koi8-u", 21866},      {"GBK", 936},          {"gb2312", 936},        {"Big5", 950},
        {"euc-kr", 949},        {"utf-16", charset::kUnknownCodePage},
        {"utf-8x", charset::kUnknownCodePage},         {"", charset::kUnknownCodePage},
    };
    for (const auto& row : rows)
        EXPECT_EQ(charset::CodePageOf(row.name), row.codePage) << row.name;
}

}  // namespace
