#pragma once

#include "framework/controls.h"
#include "framework/unique_handle.h"
#include "transfer/transfer_state.h"

#include <memory>

// What the Grab command and the download worker need of the window that
// runs them: its four transfer controls, the transfer it has running and
// that transfer's worker thread. The main dialog provides it.
class TransferWindow {
public:
    TransferWindow() = default;
    TransferWindow(const TransferWindow&) = delete;
    TransferWindow& operator=(const TransferWindow&) = delete;
    virtual ~TransferWindow() = default;

    // The window that shows the transfer's reports.
    virtual HWND ReportWindow() const = 0;
    // True once the window has been asked to end; a grab then goes no
    // further.
    virtual bool Ending() const = 0;
    // Called once the worker of a new transfer runs.
    virtual void BeginTransferDisplay() = 0;

    // True while the transfer's flag is set.
    bool TransferActive() const { return m_transfer && m_transfer->m_transferActive; }

    CEdit m_urlEdit;
    CProgressCtrl m_progress;
    CStatic m_status;
    CButton m_grabButton;
    std::shared_ptr<TransferState> m_transfer;
    UniqueHandle m_worker;
    // Set while the Grab command waits for a page.
    bool m_fetchingPage = false;
};
