#include "error_text.h"
#include "fixture_client.h"
#include "transfer/web/web_access.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

std::string ReadAll(CStdioFile& stream)
{
    std::string body;
    char buffer[1024];
    for (unsigned n; (n = stream.Read(buffer, sizeof buffer)) > 0;)
        body.append(buffer, n);
    return body;
}

TEST(OpenUrl, GivesAnHttpStreamForAnHttpAddress)
{
    FixtureServer server;
    server.Serve("/watch?v=1", "page");
    CInternetSession session;
    const std::unique_ptr<CStdioFile> stream = session.OpenURL(server.Url("/watch?v=1").c_str());
    const auto* http = dynamic_cast<CHttpFile*>(stream.get());
    ASSERT_NE(http, nullptr);
    EXPECT_EQ(http->GetVerb(), "GET");
    EXPECT_EQ(http->GetObject(), "/watch?v=1");
    EXPECT_EQ(http->GetServerName(), "127.0.0.1");
    EXPECT_EQ(http->GetContext(), 1u);
}

TEST(QueryInfo, GivesTheContentLengthAsSent)
{
    FixtureServer server;
    server.Serve("/sized", std::string(1500, 'v'));
    FixtureServer::Route noLength;
    noLength.contentLength = false;
    server.Serve("/unsized", "abc", noLength);
    FixtureServer::Route odd;
    odd.contentLength = false;
    odd.headers = {"Content-Length: 0042"};
    server.Serve("/odd", std::string(42, 'o'), odd);

    CInternetSession session;
    std::string text = "stale";
    auto sized = session.OpenURL(server.Url("/sized").c_str());
    EXPECT_TRUE(dynamic_cast<CHttpFile&>(*sized).QueryInfo(HTTP_QUERY_CONTENT_LENGTH, text));
    EXPECT_EQ(text, "1500");
    auto unsized = session.OpenURL(server.Url("/unsized").c_str());
    EXPECT_FALSE(dynamic_cast<CHttpFile&>(*unsized).QueryInfo(HTTP_QUERY_CONTENT_LENGTH, text));
    EXPECT_EQ(text, "");
    auto oddly = session.OpenURL(server.Url("/odd").c_str());
    EXPECT_TRUE(dynamic_cast<CHttpFile&>(*oddly).QueryInfo(HTTP_QUERY_CONTENT_LENGTH, text));
    EXPECT_EQ(text, "0042");
}

TEST(Read, GivesTheBodyThenZeroForever)
{
    FixtureServer server;
    std::string body;
    for (int i = 0; i < 3000; ++i)
        body += static_cast<char>(i * 7);
    server.Serve("/bytes", body);
    CInternetSession session;
    auto stream = session.OpenURL(server.Url("/bytes").c_str());
    EXPECT_EQ(ReadAll(*stream), body);
    char buffer[16];
    EXPECT_EQ(stream->Read(buffer, sizeof buffer), 0u);
    EXPECT_EQ(stream->Read(buffer, sizeof buffer), 0u);
    stream->Close();
    try {
        stream->Read(buffer, sizeof buffer);
        FAIL() << "a closed stream was read";
    } catch (const CInternetException& error) {
        // Wine's library calls a closed connection a handle of the wrong type.
        EXPECT_TRUE(error.m_dwError == ERROR_INVALID_HANDLE || error.m_dwError == ERROR_INTERNET_INCORRECT_HANDLE_TYPE)
            << error.m_dwError;
    }
}

TEST(InternetErrors, CarryTheLibraryCodeAndItsText)
{
    CInternetSession session;
    const std::string unreachable = "http://127.0.0.1:" + std::to_string(ClosedLoopbackPort()) + "/watch";
    try {
        session.OpenURL(unreachable.c_str());
        FAIL() << "opened an unreachable address";
    } catch (const CInternetException& error) {
        EXPECT_EQ(error.m_dwError, static_cast<DWORD>(ERROR_INTERNET_CANNOT_CONNECT));
        EXPECT_EQ(error.m_dwContext, 1u);
        const ErrorText text = ErrorTextOf(error);
        EXPECT_NE(text.text, "");
        EXPECT_TRUE(text.has);
    }
    try {
        session.OpenURL("http://no-such-host.invalid/watch");
        FAIL() << "opened an unknown host";
    } catch (const CInternetException& error) {
        EXPECT_EQ(error.m_dwError, static_cast<DWORD>(ERROR_INTERNET_NAME_NOT_RESOLVED));
        // The table's text as it stands, its line break included.
        EXPECT_EQ(ErrorTextOf(error).text, "The server name could not be resolved.\r\n");
    }
    EXPECT_THROW(session.OpenURL(""), CInternetException);
}

TEST(InternetErrors, TextsOfUnknownAndExtendedCodes)
{
    const ErrorText unknown = ErrorTextOf(CInternetException(0x7ffe1234, 1));
    EXPECT_EQ(unknown.text, "");
    EXPECT_FALSE(unknown.has);
    // Wine's tables hold no text for the extended error, so it has none
    // either, whatever the server said.
    const ErrorText extended = ErrorTextOf(CInternetException(ERROR_INTERNET_EXTENDED_ERROR, 1));
    EXPECT_EQ(extended.text, "");
    EXPECT_FALSE(extended.has);
    // A code only the system's table knows.
    const ErrorText system = ErrorTextOf(CInternetException(ERROR_FILE_NOT_FOUND, 1));
    EXPECT_FALSE(system.text.empty());
    EXPECT_TRUE(system.has);
    // A text with a place for an argument, which none comes with.
    EXPECT_NE(ErrorTextOf(CInternetException(ERROR_BAD_EXE_FORMAT, 1)).text.find("%1"), std::string::npos);
    char small[8];
    EXPECT_TRUE(CInternetException(ERROR_INTERNET_NAME_NOT_RESOLVED, 1).GetErrorMessage(small, sizeof small));
    EXPECT_STREQ(small, "The ser");
}

std::string FileUrl(const std::string& name)
{
    char full[MAX_PATH];
    GetFullPathNameA(name.c_str(), MAX_PATH, full, nullptr);
    return std::string("file://") + full;
}

TEST(OpenUrl, ReadsALocalFileAsText)
{
    std::ofstream("web_access_page.html", std::ios::binary) << "<title>Local</title>\r\n  line two \r\n";
    CInternetSession session;
    auto page = session.OpenURL(FileUrl("web_access_page.html").c_str());
    EXPECT_EQ(dynamic_cast<CInternetFile*>(page.get()), nullptr);
    std::string line;
    ASSERT_TRUE(page->ReadString(line));
    EXPECT_EQ(line, "<title>Local</title>");
    ASSERT_TRUE(page->ReadString(line));
    EXPECT_EQ(line, "  line two ");
    EXPECT_FALSE(page->ReadString(line));
}

TEST(OpenUrl, FindsLocalFilesByTheirRealNames)
{
    std::ofstream("web access page.html", std::ios::binary) << "spaced\n";
    CInternetSession session;
    std::string line;
    auto spaced = session.OpenURL(FileUrl("web access page.html").c_str());
    EXPECT_TRUE(spaced->ReadString(line));
    EXPECT_EQ(line, "spaced");
    spaced.reset();
    // The slashed form with a drive letter names the same file.
    std::string slashed = FileUrl("web access page.html");
    for (char& c : slashed) {
        if (c == '\\')
            c = '/';
    }
    slashed.insert(7, "/");
    std::unique_ptr<CStdioFile> again;
    try {
        again = session.OpenURL(slashed.c_str());
    } catch (const CException& error) {
        FAIL() << slashed << ": " << ErrorTextOf(error).text;
    }
    EXPECT_TRUE(again->ReadString(line));
    EXPECT_EQ(line, "spaced");
    // A name the ANSI code page cannot hold, in the address as UTF-8.
    std::ofstream(L"web access \u9801.html", std::ios::binary) << "paged\n";
    std::string paged = FileUrl("web access page.html");
    paged.replace(paged.rfind("page"), 4, "\xe9\xa0\x81");
    EXPECT_TRUE(session.OpenURL(paged.c_str())->ReadString(line)) << paged;
    EXPECT_EQ(line, "paged");
    paged.replace(paged.rfind("\xe9\xa0\x81"), 3, "%E9%A0%81");
    EXPECT_TRUE(session.OpenURL(paged.c_str())->ReadString(line)) << paged;
}

TEST(OpenUrl, NamesAMissingLocalFile)
{
    CInternetSession session;
    const std::string url = FileUrl("no_such_page.html");
    try {
        session.OpenURL(url.c_str());
        FAIL() << "opened a missing file";
    } catch (const CFileException& error) {
        EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
        const std::string text = ErrorTextOf(error).text;
        EXPECT_NE(text.find("no_such_page.html was not found."), std::string::npos) << text;
    }
    // A host before the path names a share on it.
    try {
        session.OpenURL("file://no-such-host/share/x.html");
        FAIL() << "opened a file on no host";
    } catch (const CFileException& error) {
        EXPECT_EQ(error.m_strFileName, "\\\\no-such-host\\share\\x.html");
    }
}

TEST(Response, StaysReadableAfterTheSessionIsGone)
{
    FixtureServer server;
    const std::string body(20000, 'r');
    server.Serve("/get_video?video_id=1", body);
    server.Serve("/page", "one\ntwo\n");
    std::unique_ptr<CHttpFile> response;
    std::unique_ptr<CStdioFile> page;
    {
        CInternetSession session;
        page = session.OpenURL(server.Url("/page").c_str());
        auto connection = session.GetHttpConnection("127.0.0.1", server.Port());
        response = connection->OpenRequest(CHttpConnection::HTTP_VERB_GET, "get_video?video_id=1");
        response->SendRequest();
    }
    EXPECT_EQ(ReadAll(*response), body);
    std::string line;
    EXPECT_TRUE(page->ReadString(line));
    EXPECT_EQ(line, "one");
}

// Reads a response from a server that stalls after 2000 bytes, with the
// given read timeout (none: the one the request was opened with); returns
// the seconds until the read failed with the library's timeout.
double SecondsUntilTimeout(DWORD timeoutMs)
{
    FixtureServer server;
    FixtureServer::Route stall;
    stall.stallAfter = {2000};
    stall.stallSeconds = 45;
    server.Serve("/get_video?video_id=2", std::string(5000, 's'), stall);
    CInternetSession session;
    auto connection = session.GetHttpConnection("127.0.0.1", server.Port());
    auto response = connection->OpenRequest(CHttpConnection::HTTP_VERB_GET, "get_video?video_id=2");
    if (timeoutMs != 0)
        response->SetReadTimeout(timeoutMs);
    response->SendRequest();
    char buffer[1024];
    unsigned total = 0;
    const DWORD start = GetTickCount();
    try {
        for (unsigned n; (n = response->Read(buffer, sizeof buffer)) > 0;)
            total += n;
        ADD_FAILURE() << "a stalled read ended quietly after " << total << " bytes";
    } catch (const CInternetException& error) {
        // Wine's library reports the socket's own time-out code, and its
        // synchronous read waits to fill the whole buffer, so the bytes
        // after the last full kilobyte never arrive.
        EXPECT_TRUE(error.m_dwError == ERROR_INTERNET_TIMEOUT || error.m_dwError == WSAETIMEDOUT) << error.m_dwError;
        EXPECT_GE(total, 1024u);
        EXPECT_LE(total, 2000u);
    }
    return (GetTickCount() - start) / 1000.0;
}

// The stall outlasts either time-out: a read that failed did not wait it out.
TEST(Response, AStalledReadFailsAfterTheReadTimeout)
{
    const double seconds = SecondsUntilTimeout(1000);
    EXPECT_GE(seconds, 0.9);
    EXPECT_LT(seconds, 20) << "not the given time-out, but the default 30 s";
}

TEST(SlowResponse, AStalledReadFailsAfterThirtySecondsByDefault)
{
    EXPECT_GE(SecondsUntilTimeout(0), 29);
}

// The sizes ReadChunk gives for 100000 bytes sent in pieces of 700,
// stalled for good after stallAfter of them (-1: never), with a read
// time-out of 1 s; -1 for a failure.
std::vector<long> ChunkSizes(long stallAfter)
{
    FixtureServer server;
    FixtureServer::Route stall;
    stall.stallAfter = {stallAfter};
    stall.stallSeconds = 45;
    stall.pace = 700;
    server.Serve("/get_video?video_id=3", std::string(100000, 'c'), stall);
    auto response = CInternetSession().GetHttpConnection("127.0.0.1", server.Port())
                        ->OpenRequest(CHttpConnection::HTTP_VERB_GET, "get_video?video_id=3");
    response->SetReadTimeout(1000);
    response->SendRequest();
    std::vector<long> sizes;
    char buffer[1024];
    try {
        for (unsigned n; (n = response->ReadChunk(buffer, sizeof buffer)) > 0;)
            sizes.push_back(static_cast<long>(n));
    } catch (const CInternetException& error) {
        sizes.push_back(error.m_dwError == ERROR_INTERNET_TIMEOUT ? -1 : 0);
    }
    return sizes;
}

// Chunks are full while the body flows, and a stall's failure comes only
// after every byte that arrived before it.
TEST(Response, ChunksAreFullAndNoByteIsLostToAFailure)
{
    std::vector<long> flowing(97, 1024);
    flowing.push_back(672);
    EXPECT_EQ(ChunkSizes(-1), flowing);
    std::vector<long> stalled(48, 1024);
    stalled.insert(stalled.end(), {848, -1});
    EXPECT_EQ(ChunkSizes(50000), stalled);
}

TEST(Request, WithoutAHandleFailsOnlyWhenSent)
{
    CHttpFile request(nullptr, "GET", "get_video?", "video.example.com", 1);
    EXPECT_FALSE(request.AddRequestHeaders("Accept : video/flv\r\n"));
    EXPECT_THROW(request.SendRequest(), CInternetException);
    std::string text = "stale";
    EXPECT_FALSE(request.QueryInfo(HTTP_QUERY_CONTENT_LENGTH, text));
    EXPECT_EQ(text, "");

    // A request the library refuses to open (here on a released connection
    // handle) raises its error at once.
    struct ReleasedConnection : CHttpConnection {
        using CHttpConnection::CHttpConnection;
        void Release() { m_hConnection.reset(); }
    };
    CInternetSession session;
    ReleasedConnection connection(session, "127.0.0.1", 80, nullptr, nullptr, 1);
    connection.Release();
    try {
        connection.OpenRequest(CHttpConnection::HTTP_VERB_GET, "get_video?");
        ADD_FAILURE() << "a refused request was opened";
    } catch (const CInternetException& error) {
        // Wine's library calls a closed connection a handle of the wrong type.
        EXPECT_TRUE(error.m_dwError == ERROR_INVALID_HANDLE || error.m_dwError == ERROR_INTERNET_INCORRECT_HANDLE_TYPE)
            << error.m_dwError;
    }
}

}  // namespace
