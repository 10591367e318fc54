#pragma once

#include "framework/wnd.h"

class CDialog;

// The context of a data exchange: the dialog whose controls it binds.
struct CDataExchange {
    CDialog* m_pDlgWnd;
};

// Binds control to the dialog's child window of id (once).
void DDX_Control(CDataExchange* exchange, int id, CWnd& control);

// A modal dialog made from a dialog template resource. It is centred (over
// its owner, or on the work area of the monitor where the mouse is) when
// first shown, within that monitor's work area, unless its template places
// it itself.
class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // Runs the dialog; returns its end code, or -1 when it could not be made.
    virtual INT_PTR DoModal();
    void EndDialog(int result) { ::EndDialog(m_hWnd, result); }

    virtual BOOL OnInitDialog();
    // Enter: the data exchange, then IDOK.
    virtual void OnOK();
    // Escape: IDCANCEL.
    virtual void OnCancel();

protected:
    virtual void DoDataExchange(CDataExchange* exchange);
    // Binds the control members (DoDataExchange); no values move.
    void UpdateData();

    LRESULT HandleInitDialog(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void CentreOnFirstShow();
    HWND OwnerWindow() const;

    UINT m_nIDHelp;
    CWnd* m_pParentWnd;
};
