#include "page/watch_page.h"

#include "code_page_932.h"
#include "framework/exception.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace {

WatchPage PageOf(std::initializer_list<std::string> lines, const LeadByteTable& leadBytes = {})
{
    WatchPage page(leadBytes);
    for (const std::string& line : lines)
        page.AddLine(line);
    return page;
}

TEST(WatchPageLines, AreTrimmedAndKeptEvenWhenEmpty)
{
    const WatchPage page = PageOf({"  \tabc \r", " \r\n\v\f ", "", "x y"});
    ASSERT_EQ(page.LineCount(), 4u);
    EXPECT_EQ(page.Line(0), "abc");
    EXPECT_EQ(page.Line(1), "");
    EXPECT_EQ(page.Line(2), "");
    EXPECT_EQ(page.Line(3), "x y");
    EXPECT_THROW(page.Line(4), CInvalidArgException);
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

TEST(WatchPageName, TakesTheLastTitleLineWithoutItsTags)
{
    EXPECT_EQ(PageOf({"<title>Site - Little Battle</title>"}).FindOutputFileName(), "Site - Little Battle.flv");
    EXPECT_EQ(PageOf({"<title>First</title>", "a", "<title>Second</title>"}).FindOutputFileName(), "Second.flv");
    // Tags are removed only at the very start and end; the rest stays.
    EXPECT_EQ(PageOf({"<head><title>A &amp; B: x?</title></head>"}).FindOutputFileName(),
              "<head><title>A &amp; B: x?</title></head>.flv");
    EXPECT_EQ(PageOf({"  <title>  spaced  </title>  "}).FindOutputFileName(), "  spaced  .flv");
}

TEST(WatchPageName, IsJustTheExtensionWithoutATitle)
{
    EXPECT_EQ(PageOf({}).FindOutputFileName(), ".flv");
    EXPECT_EQ(PageOf({"<title>"}).FindOutputFileName(), ".flv");
    EXPECT_EQ(PageOf({"<TITLE>Caps</TITLE>"}).FindOutputFileName(), ".flv");
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
    EXPECT_EQ(PageOf({title}, sjis).FindOutputFileName(), std::string(kSo) + kHyo + kPo + ".flv");
}

TEST(WatchPageCodePage932, SearchesAndTagsStepOverCharacters)
{
    const LeadByteTable sjis = ShiftJisLeadBytes();
    // "\x81<title>" hides the tag's '<' behind a lead byte in code page 932.
    EXPECT_EQ(PageOf({"\x81<title>x"}, sjis).FindOutputFileName(), ".flv");
    EXPECT_EQ(PageOf({"\x81<title>x"}).FindOutputFileName(), "\x81<title>x.flv");
    // A closing tag whose '<' is a trail byte is no closing tag.
    EXPECT_EQ(PageOf({"<title>a\x81</title>"}, sjis).FindOutputFileName(), "a\x81</title>.flv");
    // A lead byte at the very end of a line stands alone.
    EXPECT_EQ(PageOf({" x \x81"}, sjis).Line(0), "x \x81");
}

}  // namespace
