#include "framework/wnd.h"

#include "framework/exception.h"
#include "framework/win_app.h"

#include <new>

namespace {

thread_local MSG t_lastSentMessage = {};

}  // namespace

CWnd::~CWnd() = default;

std::wstring CWnd::GetWindowText() const
{
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

const MessageMap* CWnd::GetThisMessageMap()
{
    static const MessageMapEntry entries[] = {
        {WM_HELP, 0, 0, &message_thunks::HelpInfo<CWnd, &CWnd::OnHelpInfo>},
        {0, 0, 0, nullptr},
    };
    static const MessageMap map = {nullptr, entries};
    return &map;
}

const MessageMap* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

const MessageMapEntry* CWnd::FindEntry(UINT message, WPARAM wParam) const
{
    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base ? map->base() : nullptr) {
        for (const MessageMapEntry* entry = map->entries; entry->thunk != nullptr; ++entry) {
            if (entry->message != message)
                continue;
            if (message != WM_COMMAND || (entry->id == LOWORD(wParam) && entry->code == HIWORD(wParam)))
                return entry;
        }
    }
    return nullptr;
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    const MessageMapEntry* entry = FindEntry(message, wParam);
    if (entry == nullptr) {
        // A command no window handles goes on to the application's table.
        CWinApp* app = AfxGetApp();
        if (message == WM_COMMAND && app != nullptr && app->OnCmdMsg(LOWORD(wParam), HIWORD(wParam))) {
            result = 0;
            return true;
        }
        return false;
    }
    const bool outer = m_defaultRequested;
    m_defaultRequested = false;
    result = entry->thunk(*this, wParam, lParam);
    const bool handled = !m_defaultRequested;
    m_defaultRequested = outer;
    return handled;
}

BOOL CWnd::OnHelpInfo(HELPINFO*)
{
    const bool topLevel = (GetWindowLongA(m_hWnd, GWL_STYLE) & WS_CHILD) == 0;
    const bool modifier = GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
    CWnd* main = AfxGetMainWnd();
    if (topLevel && !modifier && main != nullptr && main->m_hWnd != nullptr)
        ::SendMessageA(main->m_hWnd, WM_COMMAND, ID_HELP, 0);
    return TRUE;
}

MSG& AfxGetCurrentMessage()
{
    return t_lastSentMessage;
}

bool AfxCallWndProc(CWnd& window, HWND handle, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    const MSG previous = t_lastSentMessage;
    t_lastSentMessage = {handle, message, wParam, lParam, 0, {0, 0}};
    bool handled = true;
    // The one catch site of the user-interface thread: nothing may travel
    // on into the system's code.
    try {
        handled = window.OnWndMsg(message, wParam, lParam, result);
    } catch (const CException& error) {
        result = AfxProcessWndProcException(error, t_lastSentMessage);
    } catch (const std::bad_alloc&) {
        result = AfxProcessWndProcException(CMemoryException(), t_lastSentMessage);
    } catch (...) {
        result = AfxProcessWndProcException(CException(), t_lastSentMessage);
    }
    t_lastSentMessage = previous;
    return handled;
}
