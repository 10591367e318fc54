#pragma once

#include "framework/unique_handle.h"
#include "transfer/transfer_state.h"

#include <windows.h>

#include <memory>
#include <string>

// The controls that show a running transfer: the worker sets the status
// text and the progress bar through views of its own of these windows.
struct TransferDisplay {
    HWND status = nullptr;
    HWND progress = nullptr;
};

// The whole of what the Grab command and the download worker need of the
// window that runs them. The window provides the address, the window that
// takes the transfer's messages and reports, and the display; it keeps the
// running transfer, its worker thread and the fetching flag here, and
// enables and disables "Grab!" itself when told.
class TransferWindow {
public:
    TransferWindow() = default;
    TransferWindow(const TransferWindow&) = delete;
    TransferWindow& operator=(const TransferWindow&) = delete;
    virtual ~TransferWindow() = default;

    // The address to grab, as the user gave it.
    virtual std::string Address() const = 0;
    // The window that owns the reports and receives WM_APP_TRANSFER_ENDED.
    virtual HWND ReportWindow() const = 0;
    // Views of the status text and the progress bar.
    virtual TransferDisplay Display() const = 0;
    // True once the window has been asked to end; a grab then goes no
    // further.
    virtual bool Ending() const = 0;
    // Called on the window's thread when a transfer starts (running true)
    // and when it is over or stopped (running false).
    virtual void ShowTransferRunning(bool running) = 0;

    // True while the transfer's flag is set.
    bool TransferActive() const { return m_transfer && m_transfer->Active(); }

    std::shared_ptr<TransferState> m_transfer;
    UniqueHandle m_worker;
    // Set while the Grab command waits for a page.
    bool m_fetchingPage = false;
};
