#pragma once

#include "framework/controls.h"
#include "framework/dialog.h"
#include "transfer/transfer_window.h"
#include "ui/window_progress.h"

#include <optional>
#include <string>
#include <utility>

// The main window: the URL box, the status text, the progress bar and
// "Grab!". It provides the Grab command and the download worker with its
// controls and the transfer it runs.
class CMainDlg : public CDialog, private TransferWindow {
public:
    explicit CMainDlg(CWnd* parent = nullptr);
    // Stops a transfer that still runs before any member goes.
    ~CMainDlg() override;

    // An address to put in the URL box and grab as soon as the dialog
    // opens, as if typed and entered.
    void SetStartAddress(std::string address) { m_startAddress = std::move(address); }

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
    LRESULT OnTransferEnded(WPARAM transferId, LPARAM);
    void OnTimer(UINT_PTR id);
    LRESULT OnTaskbarButtonCreated(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    std::string Address() const override { return m_urlEdit.GetWindowText(); }
    HWND ReportWindow() const override { return m_hWnd; }
    TransferDisplay Display() const override { return {m_status.m_hWnd, m_progress.m_hWnd}; }
    bool Ending() const override { return m_ending; }
    void ShowTransferRunning(bool running) override;

    // Ends a running transfer before the dialog ends: hides the window at
    // once, then stops the worker.
    void StopTransferForExit();
    // Paints the two transfer controls now.
    void RepaintTransferControls();

    CEdit m_urlEdit;
    CProgressCtrl m_progress;
    CStatic m_status;
    CButton m_grabButton;
    HICON m_hIcon;
    bool m_ending = false;
    std::optional<std::string> m_startAddress;
    WindowProgress m_windowProgress;
};
