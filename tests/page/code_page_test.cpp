// The page's code page under Wine: decoding, lead bytes, the declared
// charset and the output name made from the title.
#include "fixture_client.h"
#include "page/code_page.h"
#include "page/safe_file_name.h"
#include "transfer/web/web_access.h"
#include "watch_page_of.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "Café あ" in UTF-8, and "ソ表ポ" in Shift-JIS, whose trail bytes are '\\'
// and '|'.
constexpr char kCafeA[] = "Caf\xC3\xA9 \xE3\x81\x82";
constexpr char kSoHyoPo[] = "\x83\x5C\x95\x5C\x83\x7C";

TEST(CodePage, DecodesEachSequenceAndMarksInvalidOnes)
{
    const struct {
        const char* bytes;
        unsigned codePage;
        const wchar_t* text;
    } rows[] = {
        {kCafeA, CP_UTF8, L"Caf\u00e9 \u3042"},
        {"\xF0\x9F\x98\x80!", CP_UTF8, L"\U0001F600!"},
        // A cut sequence, a stray byte and a sequence for a surrogate.
        {"a\xE3\x81<b\xFF\xED\xA0\x80", CP_UTF8, L"a_<b__"},
        {kSoHyoPo, 932, L"\u30bd\u8868\u30dd"},
        {"x\x83", 932, L"x_"},
        {"Caf\xE9", 1252, L"Caf\u00e9"},
        {"\xC2\xE8\xE4\xE5\xEE", 1251, L"\u0412\u0438\u0434\u0435\u043e"},
        {"", CP_UTF8, L""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(DecodeText(row.bytes, row.codePage), row.text) << row.bytes;
}

TEST(CodePage, LeadBytesStepOverDoubleByteCharactersOnly)
{
    EXPECT_TRUE(LeadBytesOf(932).IsLead(0x83));
    EXPECT_FALSE(LeadBytesOf(932).IsLead(0x5C));
    EXPECT_TRUE(LeadBytesOf(936).IsLead(0xB0));
    // UTF-8 is scanned as plain bytes, so "あ" hides no '<' after it.
    EXPECT_FALSE(LeadBytesOf(CP_UTF8).IsLead(0x82));
    EXPECT_FALSE(LeadBytesOf(1252).IsLead(0x83));
    EXPECT_TRUE(CanConvert(CP_UTF8));
    EXPECT_FALSE(CanConvert(12345));
}

TEST(CodePage, OfAPageIsTheHeaderThenTheMetaTagThenTheAnsiOne)
{
    const unsigned ansi = GetACP();
    const LeadByteTable leadBytes = SystemLeadBytes();
    EXPECT_EQ(PageCodePage("text/html; charset=UTF-8", PageOf({"<meta charset=Shift_JIS>"}, leadBytes)), 65001u);
    EXPECT_EQ(PageCodePage("text/html", PageOf({"<meta charset=Shift_JIS>"}, leadBytes)), 932u);
    EXPECT_EQ(PageCodePage("", PageOf({"<meta http-equiv=Content-Type content='text/html; charset=koi8-r'>"}, leadBytes)),
              20866u);
    EXPECT_EQ(PageCodePage("", PageOf({"<title>x</title>"}, leadBytes)), ansi);
    // The UTF-8 byte-order mark wins over the header and the meta tag.
    EXPECT_EQ(PageCodePage("text/html; charset=Shift_JIS", PageOf({"\xEF\xBB\xBF<meta charset=koi8-r>"}, leadBytes)),
              65001u);
    // Names the table lacks give the ANSI code page, even with a meta tag.
    EXPECT_EQ(PageCodePage("text/html; charset=x-unknown", PageOf({"<meta charset=utf-8>"}, leadBytes)), ansi);
    EXPECT_EQ(PageCodePage("", PageOf({"<meta charset=utf-16>"}, leadBytes)), ansi);
}

TEST(CodePage, OutputNamesAreTheDecodedTitleMadeSafe)
{
    EXPECT_EQ(MakeOutputFileName(kCafeA, CP_UTF8), L"Caf\u00e9 \u3042.flv");
    EXPECT_EQ(MakeOutputFileName("a/b\xE3\x81", CP_UTF8), L"a_b_.flv");
    EXPECT_EQ(MakeOutputFileName("CONOUT$", CP_UTF8), L"_CONOUT$.flv");
    EXPECT_EQ(MakeOutputFileName(std::string(kSoHyoPo) + "?", 932), L"\u30bd\u8868\u30dd_.flv");
    EXPECT_EQ(MakeOutputFileName("", CP_UTF8), L".flv");
}

TEST(CodePage, AnsiPagesKeepTheNarrowName)
{
    // The wide name must create the very file that the narrow API creates
    // from the narrow safe name, undefined bytes of the code page included.
    for (const char* title : {"Caf\xE9 \x80 \x81\x8D\x9D", "A:B?<\x01>", "Com1", "x\x83"}) {
        CFile file;
        ASSERT_TRUE(file.Open(MakeOutputFileName(title, GetACP()).c_str(), CFile::modeCreate | CFile::modeWrite))
            << title;
        file.Close();
        const std::string narrow = MakeSafeFileName(std::string(title) + ".flv", SystemLeadBytes());
        EXPECT_TRUE(file.Open(narrow.c_str(), CFile::modeRead)) << title;
        file.Close();
        EXPECT_TRUE(DeleteFileA(narrow.c_str())) << title;
    }
}

TEST(CodePage, ComesWithTheResponseHeader)
{
    FixtureServer server;
    FixtureServer::Route utf8;
    utf8.headers = {"Content-Type: text/html; charset=utf-8"};
    server.Serve("/watch?v=cafe", std::string("<html>\n<title>") + kCafeA + "</title>\n", utf8);
    CInternetSession session;
    const std::unique_ptr<CStdioFile> stream = session.OpenURL(server.Url("/watch?v=cafe").c_str());
    std::string contentType;
    ASSERT_TRUE(dynamic_cast<CHttpFile&>(*stream).QueryInfo(HTTP_QUERY_CONTENT_TYPE, contentType));
    WatchPage page(SystemLeadBytes());
    for (std::string line; stream->ReadString(line);)
        page.AddLine(line);
    const unsigned codePage = PageCodePage(contentType, page);
    EXPECT_EQ(codePage, 65001u);
    page.UseLeadBytes(LeadBytesOf(codePage));
    EXPECT_EQ(MakeOutputFileName(page.FindTitle(), codePage), L"Caf\u00e9 \u3042.flv");
}

}  // namespace
