#include "transfer/transfer_controller.h"

#include "framework/error_message.h"
#include "framework/framework_resource.h"
#include "framework/thread.h"
#include "framework/wide_text.h"
#include "page/code_page.h"
#include "page/watch_page.h"
#include "transfer/download_worker.h"
#include "transfer/video_site.h"

#include <utility>

namespace {

// How long a stop waits for the worker: a flowing transfer notices the
// stop at its next chunk, well within it. One blocked on a silent server
// is let go and ends by itself.
constexpr DWORD kStopWaitMs = 250;
// How long the window, once gone, or a new grab of the same video waits
// for a stopped transfer's file to reach the disk and close.
constexpr DWORD kCloseWaitMs = 30000;

}  // namespace

void TransferController::Grab(std::string address)
{
    if (m_stopped)
        return;
    if (m_queue.Active()) {
        m_queue.PutBack();
        m_queue.PutFirst(address);
        m_queue.Next();
    }
    StartFetch(std::move(address));
}

void TransferController::StartFetch(std::string address)
{
    m_address = address;
    m_fetch = PageFetch::Start(std::move(address), m_window.Display().window);
    m_grabCommand = AfxGetCurrentMessage();
}

void TransferController::Queue(HandedAddresses handed)
{
    if (m_stopped)
        return;
    const bool running = m_fetch || m_worker;
    m_queue.Add(std::move(handed));
    // A grab that runs is never stopped by a drop: it becomes the queue's
    // first, and the rest follow it.
    if (running && !m_queue.HasCurrent())
        m_queue.Adopt(m_address);
    if (!running)
        StartNextInQueue();
}

std::optional<std::pair<std::size_t, std::size_t>> TransferController::QueuePlace() const
{
    if (!m_queue.HasCurrent())
        return std::nullopt;
    return std::pair(m_queue.Place(), m_queue.Size());
}

void TransferController::PageFetched(unsigned long fetchId)
{
    if (!m_fetch || m_fetch->Id() != fetchId)
        return;
    AfxGetCurrentMessage() = m_grabCommand;
    const std::shared_ptr<PageFetch> fetch = std::exchange(m_fetch, nullptr);
    if (!m_queue.HasCurrent()) {
        StartFetched(fetch->Take());
        return;
    }
    // In a queue, what fails is this address's end, said in the queue's
    // one report.
    std::optional<TransferReport> failed;
    try {
        StartFetched(fetch->Take());
    } catch (const CException& error) {
        failed = TransferReport{ReportKind::Failure, ToUtf16(ErrorMessageText(error, AFX_IDP_INTERNAL_FAILURE)), false};
    }
    if (failed)
        QueuedEnded(std::move(*failed));
}

void TransferController::QueuedEnded(TransferReport report)
{
    m_queue.Ended(report);
    StartNextInQueue();
}

void TransferController::StartNextInQueue()
{
    if (std::optional<std::string> next = m_queue.Next()) {
        StartFetch(std::move(*next));
    } else if (const std::optional<TransferReport> report = m_queue.Finish(false)) {
        m_window.ShowReport(*report);
    }
}

void TransferController::StartFetched(FetchedPage fetched)
{
    WatchPage& page = fetched.page;
    const unsigned codePage = PageCodePage(fetched.contentType, page);
    page.UseLeadBytes(LeadBytesOf(codePage));
    std::string requestPath = WatchPage::MakeRequestPath(page.FindVideoQuery());
    const std::wstring fileName = MakeOutputFileName(page.FindTitle(), codePage, PartialFile::kLongestVideoName);
    std::shared_ptr<CHttpConnection> connection =
        fetched.session->GetHttpConnection(kVideoSiteHost, kVideoSitePort, nullptr, nullptr);
    // The report of a stop that could not keep its last bytes comes after
    // the new transfer has started (or failed to), so that nothing can run
    // in between.
    const std::optional<TransferReport> stopFailure = StopTransfer();
    // The same video's file is its own again only once closed.
    if (m_closing && m_closing->VideoName() == fileName)
        m_closing->AwaitClosed(kCloseWaitMs);
    try {
        Start(VideoRequest{std::move(connection), std::move(requestPath)}, fileName, std::nullopt);
    } catch (...) {
        ShowStopReport(stopFailure);
        throw;
    }
    ShowStopReport(stopFailure);
}

void TransferController::Start(VideoRequest request, const std::wstring& fileName,
                               const std::optional<TransferPoint>& from)
{
    auto transfer = std::make_shared<TransferState>(std::move(request), m_window.Display());
    transfer->Open(fileName, from);
    // Set before the worker exists, so that a stop made at any time from
    // now on reaches it.
    transfer->Begin();
    m_window.ShowTransferRunning(true);
    m_worker = StartDownloadWorker(transfer);
    if (!m_worker) {
        transfer->Stop();
        m_window.ShowTransferRunning(false);
        throw CMemoryException();
    }
    m_transfer = std::move(transfer);
}

void TransferController::TransferEnded(unsigned long transferId)
{
    if (!m_transfer || m_transfer->Id() != transferId || !m_worker)
        return;
    // It has posted its last word and is ending.
    LetWorkerGo();
    const std::shared_ptr<TransferState> ended = m_transfer;
    TransferReport report = ReportOf(ended->Outcome());
    if (m_queue.HasCurrent()) {
        report.offerRetry = false;
        QueuedEnded(std::move(report));
        return;
    }
    if (report.kind == ReportKind::None)
        return;
    // While the report is up, the user may start another grab or close
    // the window: Retry then continues nothing.
    if (m_window.ShowReport(report) && m_transfer == ended && ended->Reached())
        Start(ended->Request(), ended->VideoName(), ended->Reached());
}

TransferController::~TransferController()
{
    Stop();
    // The last record of the bytes kept must reach the disk before the
    // process ends.
    if (m_closing)
        m_closing->AwaitClosed(kCloseWaitMs);
}

DWORD TransferController::SignInToProxy(const ProxySignIn& question)
{
    const bool fetching = m_fetch && m_fetch->ThreadId() == question.threadId;
    const bool transferring = m_transfer && m_worker && GetThreadId(m_worker.Get()) == question.threadId;
    if (!fetching && !transferring)
        return ERROR_CANCELLED;
    return ShowProxySignIn(question);
}

std::optional<TransferReport> TransferController::Stop() noexcept
{
    m_stopped = true;
    m_fetch.reset();
    std::optional<TransferReport> report = StopTransfer(true);
    if (!m_queue.Active())
        return report;
    // The stopped grab's word, then every address the queue did not get
    // to; a grab stopped before it kept anything is one of those.
    if (report)
        m_queue.Ended(*report);
    return m_queue.Finish(true);
}

std::optional<TransferReport> TransferController::StopTransfer(bool telling) noexcept
{
    if (!m_transfer)
        return std::nullopt;
    const std::shared_ptr<TransferState> transfer = std::move(m_transfer);
    std::optional<TransferReport> failed = transfer->Stop(telling);
    m_closing = transfer;
    LetWorkerGo();
    return failed;
}

void TransferController::LetWorkerGo() noexcept
{
    if (!m_worker)
        return;
    WaitRunningSentMessages(m_worker.Get(), kStopWaitMs);
    m_worker.Close();
    m_window.ShowTransferRunning(false);
}

void TransferController::ShowStopReport(const std::optional<TransferReport>& report) noexcept
{
    if (report)
        m_window.ShowReport(*report);
}
