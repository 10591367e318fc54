#include "transfer/download_worker.h"

#include "framework/app_messages.h"
#include "framework/framework_resource.h"
#include "framework/thread.h"
#include "transfer/decimal.h"
#include "transfer/transfer_progress.h"
#include "ui/main_dialog.h"

#include <new>
#include <string>

namespace {

constexpr unsigned kChunkSize = 1024;
constexpr unsigned kErrorTextCapacity = 512;

// Steps 1 to 7 of a transfer: raises whatever fails.
void CopyResponse(CMainDlg& dialog)
{
    dialog.m_grabButton.EnableWindow(FALSE);

    std::string contentLength;
    std::int64_t expected = 0;
    if (dialog.m_response->QueryInfo(HTTP_QUERY_CONTENT_LENGTH, contentLength))
        expected = ParseDecimal(contentLength);
    TransferProgress progress(contentLength, expected);
    dialog.m_progress.SetRange32(0, progress.RangeHigh());

    char chunk[kChunkSize];
    std::int64_t received = 0;
    for (unsigned n = dialog.m_response->Read(chunk, kChunkSize); n > 0; n = dialog.m_response->Read(chunk, kChunkSize)) {
        if (!dialog.m_transferActive)
            break;
        received += n;
        dialog.m_status.SetWindowText(progress.StatusText(received).c_str());
        dialog.m_progress.SetPos(progress.Position(received));
        dialog.m_outputFile.Write(chunk, n);
    }
    dialog.m_outputFile.Close();
}

}  // namespace

unsigned __stdcall DownloadWorker(void* argument)
{
    CMainDlg& dialog = *static_cast<CMainDlg*>(argument);
    // The one catch site of the worker's thread. The failure's text is
    // formed here, on the thread that met it.
    char failure[kErrorTextCapacity] = "";
    bool failed = false;
    try {
        CopyResponse(dialog);
    } catch (const CException& error) {
        failed = true;
        error.GetErrorMessage(failure, kErrorTextCapacity);
    } catch (const std::bad_alloc&) {
        failed = true;
        CMemoryException().GetErrorMessage(failure, kErrorTextCapacity);
    } catch (...) {
        failed = true;
    }
    // A failed transfer ends like any other: the file closed with every
    // byte written so far, the flag cleared, "Grab!" enabled.
    if (failed)
        dialog.m_outputFile.Abort();
    const bool stopRequested = !dialog.m_transferActive.exchange(false);
    dialog.m_grabButton.EnableWindow(TRUE);
    if (failed && !stopRequested)
        SendMessageA(dialog.m_hWnd, WM_APP_TRANSFER_FAILED, 0, reinterpret_cast<LPARAM>(failure));
    return 0;
}

void StopWorker(CMainDlg& dialog)
{
    dialog.m_transferActive = false;
    AfxWaitForThread(dialog.m_worker.Get());
    dialog.m_worker.Close();
    dialog.m_response.reset();
}
