#include "framework/win_app.h"

#include "framework/app_name.h"
#include "framework/framework_resource.h"
#include "framework/message_box.h"
#include "framework/placeholders.h"
#include "framework/string_table.h"
#include "framework/wide_text.h"
#include "framework/wnd.h"

#include <shellapi.h>
#include <shlwapi.h>

namespace {

// The framework's report of an exception, by message number: creation
// fails, a paint is taken as done, a command counts as handled.
LRESULT DefaultProcessWndProcException(const CException& error, const MSG& message)
{
    if (message.message == WM_CREATE)
        return -1;
    if (message.message == WM_PAINT) {
        ValidateRect(message.hwnd, nullptr);
        return 0;
    }
    LRESULT result = 0;
    UINT fallback = AFX_IDP_INTERNAL_FAILURE;
    if (message.message == WM_COMMAND) {
        result = 1;
        // No control sent it (Enter, a menu): the command itself failed.
        if (message.lParam == 0)
            fallback = AFX_IDP_COMMAND_FAILURE;
    }
    if (dynamic_cast<const CMemoryException*>(&error) != nullptr)
        error.ReportError(MB_ICONEXCLAMATION | MB_SYSTEMMODAL, AFX_IDP_INTERNAL_FAILURE);
    else if (dynamic_cast<const CUserException*>(&error) == nullptr)
        error.ReportError(MB_ICONSTOP, fallback);
    return result;
}

}  // namespace

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

bool CWinApp::OnCmdMsg(UINT, UINT)
{
    return false;
}

LRESULT CWinApp::ProcessWndProcException(const CException& error, const MSG& message)
{
    return DefaultProcessWndProcException(error, message);
}

void CWinApp::OnHelp()
{
    // Windows Help (.hlp) has not come with Windows since Vista; the help
    // is a plain-text read-me, which every system can show.
    HWND main = m_pMainWnd != nullptr ? m_pMainWnd->m_hWnd : nullptr;
    const wchar_t* readMe = m_strHelpFilePath.c_str();
    const auto started = [main](const wchar_t* file, const wchar_t* parameters) {
        return reinterpret_cast<INT_PTR>(ShellExecuteW(main, nullptr, file, parameters, nullptr, SW_SHOWNORMAL)) > 32;
    };
    const HCURSOR previous = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    // A system that opens text files with nothing (Wine's prefixes know
    // no .txt) still has Notepad.
    const bool opened = GetFileAttributesW(readMe) != INVALID_FILE_ATTRIBUTES &&
                        (started(readMe, nullptr) || started(L"notepad.exe", (L'"' + m_strHelpFilePath + L'"').c_str()));
    SetCursor(previous);
    if (opened)
        return;
    std::u16string pattern;
    LoadResourceString(AFX_IDP_FAILED_TO_LAUNCH_HELP, pattern);
    const std::u16string text = FillPlaceholders<char16_t>(pattern, {ToUtf16(m_strHelpFilePath)});
    AfxMessageBox(ToWide(text).c_str(), MB_OK | MB_ICONINFORMATION);
}

void CWinApp::StartUp(HINSTANCE instance)
{
    SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    m_hInstance = instance;

    wchar_t path[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    m_strAppName = AppNameFromModulePath(path);
    SetAppName(m_strAppName);
    *PathFindFileNameW(path) = L'\0';
    m_strHelpFilePath = std::wstring(path) + L"README.txt";
}

CWinApp* AfxGetApp()
{
    // The user-interface thread's record is the application object.
    return dynamic_cast<CWinApp*>(AfxGetThread());
}

LRESULT AfxProcessWndProcException(const CException& error, const MSG& message) noexcept
{
    try {
        CWinApp* app = AfxGetApp();
        return app != nullptr ? app->ProcessWndProcException(error, message)
                              : DefaultProcessWndProcException(error, message);
    } catch (...) {
        // Even a failing report must not reach the system's code.
        return message.message == WM_COMMAND ? 1 : 0;
    }
}

int AfxWinMain(HINSTANCE instance)
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return -1;
    app->StartUp(instance);
    // Dialog-based: InitInstance runs the whole program and returns false.
    if (!app->InitInstance() && app->m_pMainWnd != nullptr && app->m_pMainWnd->m_hWnd != nullptr)
        DestroyWindow(app->m_pMainWnd->m_hWnd);
    return app->ExitInstance();
}
