#include "transfer/transfer_controller.h"

#include "framework/thread.h"
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

}  // namespace

void TransferController::Grab(std::string address)
{
    if (m_stopped)
        return;
    m_fetch = PageFetch::Start(std::move(address), m_window.Display().window);
    m_grabCommand = AfxGetCurrentMessage();
}

void TransferController::PageFetched(unsigned long fetchId)
{
    if (!m_fetch || m_fetch->Id() != fetchId)
        return;
    AfxGetCurrentMessage() = m_grabCommand;
    FetchedPage fetched = std::exchange(m_fetch, nullptr)->Take();
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
    const TransferReport report = ReportOf(ended->Outcome());
    if (report.kind == ReportKind::None)
        return;
    // While the report is up, the user may start another grab or close
    // the window: Retry then continues nothing.
    if (m_window.ShowReport(report) && m_transfer == ended && ended->Reached())
        Start(ended->Request(), ended->VideoName(), ended->Reached());
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
    return StopTransfer(true);
}

std::optional<TransferReport> TransferController::StopTransfer(bool telling) noexcept
{
    if (!m_transfer)
        return std::nullopt;
    const std::shared_ptr<TransferState> transfer = std::move(m_transfer);
    std::optional<TransferReport> failed = transfer->Stop(telling);
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
