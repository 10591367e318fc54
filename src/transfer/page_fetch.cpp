#include "transfer/page_fetch.h"

#include "framework/thread.h"
#include "page/code_page.h"
#include "transfer/video_site.h"
#include "transfer/web/http_file.h"

#include <exception>

namespace {

// What the fetching thread and the window's thread share: the thread's
// reference keeps it whole when the window stops waiting.
struct PageJob {
    std::string address;
    std::optional<FetchedPage> result;
    std::exception_ptr error;
};

// Reads the page at address into a line list.
FetchedPage ReadPage(const std::string& address)
{
    FetchedPage fetched{std::make_unique<CInternetSession>(nullptr, 1, INTERNET_OPEN_TYPE_PRECONFIG),
                        WatchPage(SystemLeadBytes()), {}};
    const std::unique_ptr<CStdioFile> stream =
        fetched.session->OpenURL(address.c_str(), 1, kPageRequestFlags);
    if (const auto* http = dynamic_cast<const CHttpFile*>(stream.get()))
        http->QueryInfo(HTTP_QUERY_CONTENT_TYPE, fetched.contentType);
    std::string line;
    while (stream->ReadString(line))
        fetched.page.AddLine(line);
    return fetched;
}

unsigned __stdcall FetchThread(void* argument)
{
    const std::unique_ptr<std::shared_ptr<PageJob>> owner(static_cast<std::shared_ptr<PageJob>*>(argument));
    PageJob& job = **owner;
    // The thread's one catch site: what fails is raised again on the
    // window's thread, which reports it.
    try {
        job.result = ReadPage(job.address);
    } catch (...) {
        job.error = std::current_exception();
    }
    return 0;
}

// Clears the window's fetching flag however the fetch ends.
struct FetchingFlag {
    explicit FetchingFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    FetchingFlag(const FetchingFlag&) = delete;
    FetchingFlag& operator=(const FetchingFlag&) = delete;
    ~FetchingFlag() { m_flag = false; }

    bool& m_flag;
};

}  // namespace

std::optional<FetchedPage> FetchPage(const std::string& address, TransferWindow& window)
{
    const FetchingFlag fetching(window.m_fetchingPage);
    auto job = std::make_shared<PageJob>();
    job->address = address;
    auto argument = std::make_unique<std::shared_ptr<PageJob>>(job);
    const UniqueHandle thread = AfxBeginThread(&FetchThread, argument.get());
    if (!thread)
        throw CMemoryException();
    argument.release();
    if (!PumpWhileRunning(thread.Get(), window.ReportWindow(), [&] { return window.Ending(); }))
        return std::nullopt;
    if (job->error)
        std::rethrow_exception(job->error);
    return std::move(job->result);
}
