#pragma once

#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/file.h"
#include "framework/unique_handle.h"
#include "transfer/http_file.h"

#include <atomic>
#include <memory>

// The main window: the URL box, the status text, the progress bar and
// "Grab!". It also holds the state that the Grab command and the download
// worker share.
class CMainDlg : public CDialog {
public:
    explicit CMainDlg(CWnd* parent = nullptr);
    // Stops a transfer that still runs and waits for it before any member
    // goes.
    ~CMainDlg() override;

    HICON m_hIcon;
    CEdit m_urlEdit;
    CProgressCtrl m_progress;
    // Shared with the download worker, which owns the file and the
    // response while m_transferActive is set.
    CFile m_outputFile;
    std::unique_ptr<CHttpFile> m_response;
    std::atomic<bool> m_transferActive{false};
    CStatic m_status;
    CButton m_grabButton;
    UniqueHandle m_worker;

    // Called as a transfer starts: from then on the status text and the
    // progress bar take every update as before but are painted at most
    // kRepaintsPerSecond times a second, and once more when it has ended.
    void BeginTransferDisplay();

    static constexpr UINT kRepaintsPerSecond = 30;

protected:
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void GrabCommand();
    LRESULT OnTransferFailed(WPARAM, LPARAM text);
    void OnTimer(UINT_PTR id);

    DECLARE_MESSAGE_MAP()

private:
    // Ends a running transfer before the dialog ends: hides the window at
    // once, then stops the worker and waits for it.
    void StopTransferForExit();
    // Paints the two transfer controls now.
    void RepaintTransferControls();

    bool m_ending = false;
};
