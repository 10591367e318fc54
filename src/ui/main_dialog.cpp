#include "ui/main_dialog.h"

#include "framework/client_dc.h"
#include "framework/message_box.h"
#include "framework/paint_dc.h"
#include "framework/string_table.h"
#include "framework/wide_text.h"
#include "framework/win_app.h"
#include "resource.h"
#include "transfer/transfer_messages.h"
#include "transfer/web/proxy_sign_in.h"
#include "ui/about_dialog.h"
#include "ui/icon_origin.h"

BEGIN_MESSAGE_MAP(CMainDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_GRAB, &CMainDlg::GrabCommand)
    ON_MESSAGE(WM_APP_PAGE_FETCHED, &CMainDlg::OnPageFetched)
    ON_MESSAGE(WM_APP_TRANSFER_ENDED, &CMainDlg::OnTransferEnded)
    ON_MESSAGE(WM_APP_PROXY_SIGN_IN, &CMainDlg::OnProxySignIn)
    ON_WM_TIMER()
    ON_REGISTERED_MESSAGE(TaskbarProgress::ButtonCreatedMessage(), &CMainDlg::OnTaskbarButtonCreated)
    ON_MESSAGE(WM_APP_ADDRESSES_HANDED, &CMainDlg::OnAddressesHanded)
    ON_MESSAGE(WM_DESTROY, &CMainDlg::OnDestroy)
END_MESSAGE_MAP()

namespace {

constexpr UINT_PTR kRepaintTimer = 1;

}  // namespace

CMainDlg::CMainDlg(CWnd* parent) : CDialog(IDD_MAIN, parent)
{
    const CWinApp* app = AfxGetApp();
    m_hIcon = LoadIconA(app != nullptr ? app->m_hInstance : GetModuleHandleA(nullptr),
                        MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CMainDlg::~CMainDlg()
{
    m_transfers.Stop();
}

void CMainDlg::DoDataExchange(CDataExchange* exchange)
{
    CDialog::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_URL, m_urlEdit);
    DDX_Control(exchange, IDC_PROGRESS, m_progress);
    DDX_Control(exchange, IDC_STATUS, m_status);
    DDX_Control(exchange, IDC_GRAB, m_grabButton);
}

BOOL CMainDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_status.SetWindowText("");

    if (HMENU systemMenu = GetSystemMenu(FALSE)) {
        std::string help;
        std::string about;
        LoadResourceString(IDS_HELP, help);
        LoadResourceString(IDS_ABOUTBOX, about);
        if (!about.empty()) {
            AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            // Help is found here too: F1 is a key that no window shows.
            if (!help.empty())
                AppendMenuA(systemMenu, MF_STRING, IDM_HELP, help.c_str());
            AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    m_windowProgress.Attach(m_hWnd);
    if (m_startHanded)
        HandOn(*std::exchange(m_startHanded, std::nullopt));
    // Without OLE the window still takes typed and pasted addresses.
    m_drops.Register(m_hWnd, [this](HandedAddresses handed) { HandOn(std::move(handed)); });
    return TRUE;
}

void CMainDlg::TakeAddresses(HandedAddresses handed)
{
    if (m_transfers.Busy() || handed.addresses.size() != 1 || !handed.notAddresses.empty() ||
        !handed.unreadable.empty()) {
        m_transfers.Queue(std::move(handed));
        return;
    }
    std::wstring address;
    MultiByteToWide(handed.addresses.front(), CP_UTF8, 0, address);
    m_urlEdit.SetWindowText(address.c_str());
    // Enter's command: the grab takes the same way as a typed address.
    PostMessageA(m_hWnd, WM_COMMAND, IDOK, 0);
}

void CMainDlg::HandOn(HandedAddresses handed)
{
    m_handed.push_back(std::move(handed));
    PostMessageA(m_hWnd, WM_APP_ADDRESSES_HANDED, 0, 0);
}

LRESULT CMainDlg::OnAddressesHanded(WPARAM, LPARAM)
{
    if (m_handed.empty())
        return 0;
    HandedAddresses handed = std::move(m_handed.front());
    m_handed.erase(m_handed.begin());
    // One at a time: a grab this one starts is posted first, and has
    // started (the window busy) when the next one is taken.
    TakeAddresses(std::move(handed));
    if (!m_handed.empty())
        PostMessageA(m_hWnd, WM_APP_ADDRESSES_HANDED, 0, 0);
    return 0;
}

LRESULT CMainDlg::OnDestroy(WPARAM, LPARAM)
{
    // OLE holds the window's drop target until it is revoked.
    m_drops.Revoke();
    return 0;
}

void CMainDlg::OnOK()
{
    GrabCommand();
}

void CMainDlg::OnCancel()
{
    StopTransferForExit();
    CDialog::OnCancel();
}

void CMainDlg::GrabCommand()
{
    // UTF-8 keeps every character typed, in any script, until the request
    // spells the address as a browser does.
    m_transfers.Grab(WideToUtf8(m_urlEdit.GetWindowText()));
}

void CMainDlg::OnSysCommand(UINT id, LPARAM)
{
    // The system uses the four low bits of the command for itself.
    switch (id & 0xFFF0) {
    case IDM_ABOUTBOX: {
        CAboutDlg about;
        about.DoModal();
        break;
    }
    case IDM_HELP:
        // The way F1 takes, through the application's command table.
        SendMessage(WM_COMMAND, ID_HELP, 0);
        break;
    case SC_CLOSE:
        StopTransferForExit();
        EndDialog(IDOK);
        break;
    default:
        Default();
        break;
    }
}

void CMainDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
    const int cx = GetSystemMetrics(SM_CXICON);
    const int cy = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const IconOrigin origin = CentredIconOrigin(rect.right - rect.left, rect.bottom - rect.top, cx, cy);
    dc.DrawIcon(origin.x, origin.y, m_hIcon);
}

HCURSOR CMainDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}

LRESULT CMainDlg::OnPageFetched(WPARAM fetchId, LPARAM)
{
    m_transfers.PageFetched(static_cast<unsigned long>(fetchId));
    return 0;
}

LRESULT CMainDlg::OnTransferEnded(WPARAM transferId, LPARAM)
{
    m_transfers.TransferEnded(static_cast<unsigned long>(transferId));
    return 0;
}

LRESULT CMainDlg::OnProxySignIn(WPARAM, LPARAM question)
{
    return m_transfers.SignInToProxy(*reinterpret_cast<const ProxySignIn*>(question));
}

bool CMainDlg::ShowReport(const TransferReport& report)
{
    const UINT icon = report.kind == ReportKind::Failure       ? MB_ICONSTOP
                      : report.kind == ReportKind::Information ? MB_ICONINFORMATION
                                                               : MB_ICONEXCLAMATION;
    const UINT buttons = report.offerRetry ? MB_RETRYCANCEL : MB_OK;
    m_windowProgress.ShowFailure(icon == MB_ICONSTOP);
    const int answer = AfxMessageBox(ToWide(report.text).c_str(), icon | buttons);
    m_windowProgress.ShowFailure(false);
    return answer == IDRETRY;
}

void CMainDlg::ShowTransferRunning(bool running)
{
    // A disabled button that kept the focus would leave the keyboard with
    // nowhere to go: Enter and Escape move on to the address box.
    if (running && GetFocus() == m_grabButton.m_hWnd)
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(m_urlEdit.m_hWnd), TRUE);
    m_grabButton.EnableWindow(!running);
    if (!running)
        return;
    // Painting both controls on every 1024-byte update costs as much as the
    // rest of the transfer. Ten frames a second read well; each frame is
    // time the window's thread, and with it the transfer, spends painting.
    m_status.SetRedraw(FALSE);
    m_progress.SetRedraw(FALSE);
    SetTimer(m_hWnd, kRepaintTimer, 1000 / kRepaintsPerSecond, nullptr);
}

void CMainDlg::RepaintTransferControls()
{
    for (CWnd* control : {static_cast<CWnd*>(&m_status), static_cast<CWnd*>(&m_progress)}) {
        control->SetRedraw(TRUE);
        RedrawWindow(control->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    m_statusPrint.Release();
    m_progressPrint.Release();
}

void CMainDlg::PrintTransferControls()
{
    // Switching a control's painting on and off around each frame costs the
    // system more than the frame itself; printed, the controls draw as
    // they would paint, and their painting stays off.
    CClientDC dc(this);
    const std::pair<const CWnd*, ControlPrint*> controls[] = {{&m_status, &m_statusPrint},
                                                               {&m_progress, &m_progressPrint}};
    for (const auto& [control, print] : controls) {
        RECT place;
        ::GetWindowRect(control->m_hWnd, &place);
        MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
        print->Print(dc.m_hDC, control->m_hWnd, place);
    }
}

void CMainDlg::OnTimer(UINT_PTR id)
{
    if (id != kRepaintTimer) {
        Default();
        return;
    }
    // The last repaint after the transfer leaves painting on.
    const bool ended = !m_transfers.TransferActive();
    if (ended)
        RepaintTransferControls();
    else
        PrintTransferControls();
    m_windowProgress.Update(!ended, m_progress.m_hWnd, m_transfers.QueuePlace());
    if (ended)
        KillTimer(m_hWnd, kRepaintTimer);
}

LRESULT CMainDlg::OnTaskbarButtonCreated(WPARAM, LPARAM)
{
    m_windowProgress.ConnectTaskbar();
    return 0;
}

void CMainDlg::StopTransferForExit()
{
    // The user asked the window to go, so it goes now, whatever the grab
    // still waits for. The file is closed first, as hiding a window can take
    // the system seconds.
    const bool busy = m_transfers.Busy();
    const std::optional<TransferReport> report = m_transfers.Stop();
    if (busy)
        ShowWindow(SW_HIDE);
    if (report)
        ShowReport(*report);
}
