#include "transfer/page_fetch.h"

#include "framework/thread.h"
#include "page/code_page.h"
#include "transfer/transfer_messages.h"
#include "transfer/video_site.h"
#include "transfer/web/http_file.h"
#include "transfer/web/internet_exception.h"
#include "transfer/web/request_address.h"

#include <cstdint>

namespace {

// A watch page is a few hundred KB in a few thousand lines. Reading stops
// far past that, at 16 MiB or a million lines: the text and the lines'
// records (24 or 32 bytes each) then stay within about 100 MB, small for a
// 32-bit process, and a server that never ends its page is told apart
// within seconds.
constexpr std::uint64_t kMaxPageBytes = 16 << 20;
constexpr std::size_t kMaxPageLines = 1 << 20;

// Reads the page at address (UTF-8, as typed) into a line list.
FetchedPage ReadPage(const std::string& address)
{
    FetchedPage fetched{std::make_unique<CInternetSession>(nullptr, 1, INTERNET_OPEN_TYPE_PRECONFIG),
                        WatchPage(SystemLeadBytes()), {}};
    const std::string wire = RequestAddress(address);
    const std::unique_ptr<CStdioFile> stream = fetched.session->OpenURL(wire.c_str(), 1, kPageRequestFlags);
    if (const auto* http = dynamic_cast<const CHttpFile*>(stream.get()))
        http->QueryInfo(HTTP_QUERY_CONTENT_TYPE, fetched.contentType);
    stream->LimitLines(kMaxPageBytes);
    std::string line;
    while (fetched.page.LineCount() < kMaxPageLines && stream->ReadString(line))
        fetched.page.AddLine(line);
    if (stream->ReadPastLimit() || fetched.page.LineCount() == kMaxPageLines)
        throw CInternetException::PageTooLong(1, wire);
    return fetched;
}

}  // namespace

std::atomic<unsigned long> PageFetch::s_lastId{0};

PageFetch::PageFetch(std::string address, HWND window) : m_id(++s_lastId), m_address(std::move(address)), m_window(window)
{
}

std::shared_ptr<PageFetch> PageFetch::Start(std::string address, HWND window)
{
    auto fetch = std::make_shared<PageFetch>(std::move(address), window);
    auto argument = std::make_unique<std::shared_ptr<PageFetch>>(fetch);
    const UniqueHandle thread = AfxBeginThread(&Run, argument.get());
    if (!thread)
        throw CMemoryException();
    argument.release();
    // Known before the window carries out any message, the thread's first
    // question about a proxy's password included.
    fetch->m_threadId = GetThreadId(thread.Get());
    return fetch;
}

unsigned __stdcall PageFetch::Run(void* argument)
{
    // The thread's reference keeps the fetch whole when the window no
    // longer waits for it.
    const std::unique_ptr<std::shared_ptr<PageFetch>> owner(static_cast<std::shared_ptr<PageFetch>*>(argument));
    PageFetch& fetch = **owner;
    // The thread's one catch site: what fails is raised again on the
    // window's thread, which reports it.
    try {
        fetch.m_result = ReadPage(fetch.m_address);
    } catch (...) {
        fetch.m_error = std::current_exception();
    }
    PostMessageA(fetch.m_window, WM_APP_PAGE_FETCHED, fetch.m_id, 0);
    return 0;
}

FetchedPage PageFetch::Take()
{
    if (m_error)
        std::rethrow_exception(m_error);
    return std::move(*m_result);
}
