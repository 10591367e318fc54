#include "transfer/download_worker.h"

#include "framework/framework_resource.h"
#include "framework/string_table.h"
#include "framework/thread.h"
#include "page/code_page.h"
#include "transfer/decimal.h"
#include "transfer/transfer_messages.h"
#include "transfer/transfer_progress.h"
#include "transfer/transfer_report.h"

#include <new>
#include <string>

namespace {

constexpr unsigned kChunkSize = 1024;
// How long a stop waits for the worker: a flowing transfer notices the
// stop at its next chunk, well within it.
constexpr DWORD kStopWaitMs = 250;

// What the worker's thread holds: its transfer, and its own views of the
// window's controls, so that it never touches the window object, which may
// be gone by the time a stalled read returns.
struct WorkerStart {
    WorkerStart(TransferWindow& window, std::shared_ptr<TransferState> state) : transfer(std::move(state))
    {
        reportWindow = window.ReportWindow();
        status.Attach(window.m_status.m_hWnd);
        progress.Attach(window.m_progress.m_hWnd);
        grabButton.Attach(window.m_grabButton.m_hWnd);
    }

    std::shared_ptr<TransferState> transfer;
    HWND reportWindow;
    CStatic status;
    CProgressCtrl progress;
    CButton grabButton;
};

std::u16string AnsiToUtf16(const std::string& text)
{
    const std::wstring wide = DecodeText(text, GetACP());
    return std::u16string(wide.begin(), wide.end());
}

// The error's text for the report, in UTF-16; the framework's fallback for
// an error without one.
std::u16string TextOf(const CException& error)
{
    std::u16string wide;
    if (error.GetWideErrorMessage(wide))
        return wide;
    char text[CException::kErrorTextCapacity] = "";
    std::string narrow;
    if (error.GetErrorMessage(text, CException::kErrorTextCapacity) && text[0] != '\0')
        narrow = text;
    else
        LoadResourceString(AFX_IDP_INTERNAL_FAILURE, narrow);
    return AnsiToUtf16(narrow);
}

// The reply's status and length, as the worker reports and shows them.
void ReadReply(const CHttpFile& response, TransferOutcome& outcome)
{
    response.QueryInfo(HTTP_QUERY_STATUS_CODE, outcome.statusCode);
    response.QueryInfo(HTTP_QUERY_STATUS_TEXT, outcome.statusText);
    response.QueryInfo(HTTP_QUERY_RAW_HEADERS_CRLF, outcome.rawHeaders);
    if (response.QueryInfo(HTTP_QUERY_CONTENT_LENGTH, outcome.contentLength))
        outcome.expected = ParseDecimal(outcome.contentLength);
}

// Sends the request and copies the body; raises whatever fails.
void CopyResponse(WorkerStart& start, TransferOutcome& outcome)
{
    TransferState& transfer = *start.transfer;
    start.grabButton.EnableWindow(FALSE);
    transfer.m_response->SendRequest();
    ReadReply(*transfer.m_response, outcome);
    TransferProgress progress(outcome.contentLength, outcome.expected);
    start.progress.SetRange32(0, progress.RangeHigh());

    char chunk[kChunkSize];
    const auto read = [&] { return transfer.m_response->ReadAvailable(chunk, kChunkSize); };
    for (unsigned n = read(); n > 0; n = read()) {
        if (!transfer.m_transferActive)
            break;
        outcome.received += n;
        start.status.SetWindowText(progress.StatusText(outcome.received).c_str());
        start.progress.SetPos(progress.Position(outcome.received));
        if (!transfer.Write(chunk, n))
            break;
    }
}

unsigned __stdcall DownloadWorker(void* argument)
{
    const std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(argument));
    TransferState& transfer = *start->transfer;
    TransferOutcome outcome;
    // The Grab command opens the file by its UTF-16 name.
    const std::wstring& wideName = transfer.m_outputFile.GetWideFileName();
    outcome.fileName.assign(wideName.begin(), wideName.end());
    // The one catch site of the worker's thread. The failure's text is
    // formed here, on the thread that met it.
    try {
        CopyResponse(*start, outcome);
    } catch (const CException& error) {
        outcome.failed = true;
        outcome.failure = TextOf(error);
    } catch (const std::bad_alloc&) {
        outcome.failed = true;
        outcome.failure = TextOf(CMemoryException());
    } catch (...) {
        outcome.failed = true;
        outcome.failure = TextOf(CException());
    }
    // Every transfer ends with the file closed, keeping every byte written.
    transfer.CloseFile();
    // A stopped worker leaves the window alone: the window has taken over.
    if (!transfer.m_transferActive.exchange(false))
        return 0;
    start->grabButton.EnableWindow(TRUE);
    const TransferReport report = ReportOf(outcome);
    if (report.kind != ReportKind::None) {
        const WPARAM icon = report.kind == ReportKind::Failure ? MB_ICONSTOP : MB_ICONEXCLAMATION;
        SendMessageW(start->reportWindow, WM_APP_TRANSFER_REPORT, icon, reinterpret_cast<LPARAM>(report.text.c_str()));
    }
    return 0;
}

}  // namespace

void StartWorker(TransferWindow& window, std::shared_ptr<TransferState> transfer)
{
    // Set before the worker exists, so that a stop request made at any time
    // from now on reaches it.
    transfer->m_transferActive = true;
    auto start = std::make_unique<WorkerStart>(window, transfer);
    window.m_worker = AfxBeginThread(&DownloadWorker, start.get());
    if (!window.m_worker) {
        transfer->m_transferActive = false;
        transfer->CloseFile();
        throw CMemoryException();
    }
    start.release();
    window.m_transfer = std::move(transfer);
    window.BeginTransferDisplay();
}

void StopWorker(TransferWindow& window)
{
    if (!window.m_transfer)
        return;
    window.m_transfer->m_transferActive = false;
    if (!WaitForThreadEnd(window.m_worker.Get(), kStopWaitMs)) {
        // Blocked in a read: it will find the flag clear when the read
        // returns, and end without touching file or window.
        window.m_transfer->CloseFile();
    }
    window.m_worker.Close();
    window.m_transfer.reset();
    window.m_grabButton.EnableWindow(TRUE);
}
