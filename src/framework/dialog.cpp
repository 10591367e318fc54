#include "framework/dialog.h"

#include "framework/placement.h"
#include "framework/win_app.h"

namespace {

// Messages whose result a dialog procedure returns itself instead of
// leaving it in DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message)
{
    switch (message) {
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
        return true;
    default:
        return false;
    }
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

void DDX_Control(CDataExchange* exchange, int id, CWnd& control)
{
    if (control.m_hWnd == nullptr)
        control.Attach(GetDlgItem(exchange->m_pDlgWnd->m_hWnd, id));
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDHelp(templateId), m_pParentWnd(parent) {}

HWND CDialog::OwnerWindow() const
{
    if (m_pParentWnd != nullptr)
        return m_pParentWnd->m_hWnd;
    // No parent: the application's main window owns the dialog, unless this
    // is the main window itself.
    const CWnd* main = AfxGetMainWnd();
    if (main == nullptr || main == this || main->m_hWnd == nullptr)
        return nullptr;
    return GetAncestor(main->m_hWnd, GA_ROOT);
}

INT_PTR CDialog::DoModal()
{
    // The system disables the owner while the dialog runs.
    const CWinApp* app = AfxGetApp();
    const HINSTANCE instance = app != nullptr ? app->m_hInstance : GetModuleHandleA(nullptr);
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(m_nIDHelp), OwnerWindow(), &CDialog::DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The dialog object travels in the last argument of DialogBoxParam and
    // lives in the window's DWLP_USER slot from WM_INITDIALOG on.
    CDialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        dialog->m_hWnd = window;
    } else {
        dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    }
    if (dialog == nullptr)
        return FALSE;

    if (message == WM_INITDIALOG)
        dialog->CentreOnFirstShow();
    LRESULT result = 0;
    const bool handled = AfxCallWndProc(*dialog, window, message, wParam, lParam, result);

    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, DWLP_USER, 0);
        dialog->m_hWnd = nullptr;
        // The end of the main window is the end of the application's thread.
        CWinApp* app = AfxGetApp();
        if (app != nullptr && app->m_pMainWnd == dialog) {
            app->m_pMainWnd = nullptr;
            PostQuitMessage(0);
        }
    }
    if (!handled)
        return FALSE;
    if (ReturnsResultDirectly(message))
        return static_cast<INT_PTR>(result);
    SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}

void CDialog::CentreOnFirstShow()
{
    const LONG style = GetWindowLongA(m_hWnd, GWL_STYLE);
    if ((style & (DS_ABSALIGN | DS_CENTER | DS_CENTERMOUSE)) != 0)
        return;
    // Over the owner, on the owner's monitor; without one to show over, on
    // the monitor where the mouse is, where the user is looking.
    const HWND owner = GetWindow(m_hWnd, GW_OWNER);
    const bool overOwner = owner != nullptr && IsWindowVisible(owner) && !::IsIconic(owner);
    RECT around = {};
    HMONITOR monitor = nullptr;
    if (overOwner) {
        GetWindowRect(owner, &around);
        monitor = MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST);
    } else {
        POINT cursor = {};
        GetCursorPos(&cursor);
        monitor = MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST);
    }
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &info.rcWork, 0);
    if (!overOwner)
        around = info.rcWork;
    RECT own;
    GetWindowRect(m_hWnd, &own);
    const auto screen = [](const RECT& r) { return ScreenRect{r.left, r.top, r.right, r.bottom}; };
    const ScreenPoint at =
        PlaceWithin(screen(around), screen(info.rcWork), own.right - own.left, own.bottom - own.top);
    SetWindowPos(m_hWnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDialog::UpdateData()
{
    CDataExchange exchange = {this};
    DoDataExchange(&exchange);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog()
{
    UpdateData();
    return TRUE;
}

void CDialog::OnOK()
{
    UpdateData();
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog();
}
