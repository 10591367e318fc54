#pragma once

#include "framework/controls.h"
#include "framework/dialog.h"
#include "transfer/handed_addresses.h"
#include "transfer/transfer_controller.h"
#include "transfer/transfer_window.h"
#include "ui/control_print.h"
#include "ui/drop_registration.h"
#include "ui/window_progress.h"

#include <optional>
#include <utility>
#include <vector>

// The main window: the URL box, the status text, the progress bar and
// "Grab!". Its grabs belong to its TransferController, to which it forwards
// the Grab command and the grab's messages; it shows what the controller
// tells it.
class CMainDlg : public CDialog, private TransferWindow {
public:
    explicit CMainDlg(CWnd* parent = nullptr);
    // Stops a transfer that still runs before any member goes.
    ~CMainDlg() override;

    // Addresses, lists and shortcuts to take as soon as the dialog opens,
    // as if dropped on it.
    void SetStartAddresses(HandedAddresses handed) { m_startHanded = std::move(handed); }

    // Addresses handed over at once: with nothing running, a single address
    // and nothing else is grabbed as if typed and entered; anything else is
    // queued, to be grabbed one after another.
    void TakeAddresses(HandedAddresses handed);

    // The status text and the progress bar take every update of a transfer
    // but are painted at most this often a second, and once more when it
    // has ended.
    static constexpr UINT kRepaintsPerSecond = 10;

protected:
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void GrabCommand();
    LRESULT OnPageFetched(WPARAM fetchId, LPARAM);
    LRESULT OnTransferEnded(WPARAM transferId, LPARAM);
    LRESULT OnProxySignIn(WPARAM, LPARAM question);
    void OnTimer(UINT_PTR id);
    LRESULT OnTaskbarButtonCreated(WPARAM, LPARAM);
    LRESULT OnAddressesHanded(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    TransferDisplay Display() const override { return {m_hWnd, m_status.m_hWnd, m_progress.m_hWnd}; }
    void ShowTransferRunning(bool running) override;
    bool ShowReport(const TransferReport& report) override;

    // Keeps handed for OnAddressesHanded, which a posted message runs.
    void HandOn(HandedAddresses handed);
    // Ends what the grab still does before the dialog ends, then hides the
    // window at once.
    void StopTransferForExit();
    // Turns painting of the two transfer controls back on and paints them.
    void RepaintTransferControls();
    // Paints the two transfer controls now, their painting left off.
    void PrintTransferControls();

    CEdit m_urlEdit;
    CProgressCtrl m_progress;
    CStatic m_status;
    CButton m_grabButton;
    // The bitmaps the status text and the bar print into during a transfer.
    ControlPrint m_statusPrint;
    ControlPrint m_progressPrint;
    HICON m_hIcon;
    std::optional<HandedAddresses> m_startHanded;
    // Handed over and not yet taken, in the order they came.
    std::vector<HandedAddresses> m_handed;
    DropRegistration m_drops;
    WindowProgress m_windowProgress;
    TransferController m_transfers{*this};
};
