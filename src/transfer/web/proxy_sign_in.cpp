#include "transfer/web/proxy_sign_in.h"

#include "framework/win_thread.h"
#include "framework/wnd.h"

namespace {

// The main window's handle; null when there is none.
HWND MainWindow()
{
    const CWnd* main = AfxGetMainWnd();
    return main != nullptr ? main->m_hWnd : nullptr;
}

}  // namespace

DWORD AskMainWindowToSignIn(HINTERNET request)
{
    HWND window = MainWindow();
    if (window == nullptr)
        return ERROR_CANCELLED;
    ProxySignIn question{request, GetCurrentThreadId()};
    // A window that is gone answers 0, which is a cancel too.
    return static_cast<DWORD>(SendMessageA(window, WM_APP_PROXY_SIGN_IN, 0, reinterpret_cast<LPARAM>(&question)));
}

DWORD ShowProxySignIn(const ProxySignIn& question)
{
    HWND window = MainWindow();
    HWND owner = window != nullptr ? GetLastActivePopup(window) : nullptr;
    // The dialog names the proxy and its realm, and gives what the user
    // typed to the request.
    return InternetErrorDlg(owner, question.request, ERROR_INTERNET_INCORRECT_PASSWORD,
                            FLAGS_ERROR_UI_FILTER_FOR_ERRORS | FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS |
                                FLAGS_ERROR_UI_FLAGS_GENERATE_DATA,
                            nullptr);
}
