#include "transfer/download_worker.h"

#include "framework/error_message.h"
#include "framework/framework_resource.h"
#include "framework/string_table.h"
#include "framework/thread.h"
#include "framework/wide_text.h"
#include "transfer/continuation.h"
#include "transfer/transfer_resource.h"
#include "transfer/video_copy.h"
#include "transfer/web/internet_exception.h"

#include <new>

namespace {

// How long a stop waits for the worker: a flowing transfer notices the
// stop at its next chunk, well within it.
constexpr DWORD kStopWaitMs = 250;

constexpr unsigned kOutputMode = CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite | CFile::typeBinary |
                                 CFile::shareExclusive;

std::u16string TextOf(const CException& error)
{
    return ToUtf16(ErrorMessageText(error, AFX_IDP_INTERNAL_FAILURE));
}

// One request of the round; what it raised is turned into a step here, the
// one catch site of the worker's thread. The failure's text is formed on
// the thread that met it.
VideoCopy::Step Attempt(VideoCopy& copy, int attempt)
{
    try {
        return copy.Attempt(attempt);
    } catch (const CInternetException& error) {
        return copy.Failed(TextOf(error), true);
    } catch (const CException& error) {
        return copy.Failed(TextOf(error), false);
    } catch (const std::bad_alloc&) {
        return copy.Failed(TextOf(CMemoryException()), false);
    } catch (...) {
        return copy.Failed(TextOf(CException()), false);
    }
}

unsigned __stdcall DownloadWorker(void* argument)
{
    const std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(argument));
    VideoCopy copy(*start);
    VideoCopy::Step step = VideoCopy::Step::Broken;
    for (int attempt = 1; step == VideoCopy::Step::Broken && attempt <= kTries; ++attempt) {
        if (attempt > 1 && !copy.WaitBeforeTry(attempt))
            return 0;
        step = Attempt(copy, attempt);
    }
    copy.Finish(step);
    return 0;
}

}  // namespace

void StartWorker(TransferWindow& window, std::shared_ptr<TransferState> transfer)
{
    auto start = std::make_unique<WorkerStart>();
    start->transfer = transfer;
    start->endWindow = window.ReportWindow();
    const TransferDisplay display = window.Display();
    start->status.Attach(display.status);
    start->progress.Attach(display.progress);
    LoadResourceString(IDS_TRANSFER_WAITING, start->waitingPattern);
    start->fileName = ToUtf16(transfer->m_outputFile.GetWideFileName());
    // Set before the worker exists, so that a stop request made at any time
    // from now on reaches it.
    transfer->Begin();
    window.ShowTransferRunning(true);
    window.m_worker = AfxBeginThread(&DownloadWorker, start.get());
    if (!window.m_worker) {
        transfer->Stop();
        window.ShowTransferRunning(false);
        throw CMemoryException();
    }
    start.release();
    window.m_transfer = std::move(transfer);
}

void StopWorker(TransferWindow& window)
{
    if (!window.m_transfer)
        return;
    window.m_transfer->Stop();
    WaitForThreadEnd(window.m_worker.Get(), kStopWaitMs);
    window.m_worker.Close();
    window.m_transfer.reset();
    window.ShowTransferRunning(false);
}

std::optional<TransferReport> TakeEndedTransfer(TransferWindow& window, unsigned long id)
{
    if (!window.m_transfer || window.m_transfer->Id() != id)
        return std::nullopt;
    // It has posted its last word and is ending.
    WaitForThreadEnd(window.m_worker.Get(), kStopWaitMs);
    window.m_worker.Close();
    window.ShowTransferRunning(false);
    return ReportOf(window.m_transfer->Outcome());
}

void ContinueTransfer(TransferWindow& window)
{
    const std::shared_ptr<TransferState> ended = window.m_transfer;
    if (!ended || ended->Active() || !ended->Reached())
        return;
    const TransferPoint reached = *ended->Reached();
    auto transfer = std::make_shared<TransferState>();
    transfer->m_request = ended->m_request;
    CFileException error;
    if (!transfer->m_outputFile.Open(ToWide(ended->Outcome().fileName).c_str(), kOutputMode, &error))
        throw error;
    if (transfer->m_outputFile.SeekToEnd() == static_cast<unsigned long long>(reached.written))
        transfer->m_continueFrom = reached;
    else
        transfer->m_outputFile.SetLength(0);
    StopWorker(window);
    StartWorker(window, std::move(transfer));
}
