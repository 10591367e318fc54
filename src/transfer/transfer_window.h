#pragma once

#include "transfer/transfer_report.h"
#include "transfer/transfer_state.h"

// What a TransferController needs of the window it runs in: where it shows
// a transfer and where its reports go.
class TransferWindow {
public:
    TransferWindow() = default;
    TransferWindow(const TransferWindow&) = delete;
    TransferWindow& operator=(const TransferWindow&) = delete;
    virtual ~TransferWindow() = default;

    // The status text and the progress bar, and the window that receives
    // WM_APP_PAGE_FETCHED and WM_APP_TRANSFER_ENDED.
    virtual TransferDisplay Display() const = 0;
    // A transfer has started (running true), or ended or been stopped
    // (running false): "Grab!"'s state, the painting of the two controls,
    // the progress in the caption and on the taskbar button.
    virtual void ShowTransferRunning(bool running) = 0;
    // Tells the user how a transfer ended; true when they asked for
    // another round (Retry, offered only when the report offers it).
    virtual bool ShowReport(const TransferReport& report) = 0;
};
