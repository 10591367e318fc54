#pragma once

#include "framework/message_map.h"

#include <windows.h>

#include <string>

// A view of one window handle. Windows of the program's own dialogs also
// dispatch their messages through a message map; control members are plain
// views, attached to their control's handle.
class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    void Attach(HWND window) { m_hWnd = window; }

    // The window's text in UTF-16, which holds every script whatever the
    // system's code page.
    std::wstring GetWindowText() const;
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    void SetWindowText(const wchar_t* text) { ::SetWindowTextW(m_hWnd, text); }
    BOOL EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    // Turns painting on or off; messages that change the window still work.
    void SetRedraw(BOOL redraw) { SendMessage(WM_SETREDRAW, redraw, 0); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    HMENU GetSystemMenu(BOOL revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }

    // Handles message through the message maps; false when the window's
    // default handling is to follow.
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    HWND m_hWnd = nullptr;

protected:
    static const MessageMap* GetThisMessageMap();
    virtual const MessageMap* GetMessageMap() const;

    // Asks, from inside a handler, for the default handling of the message.
    void Default() { m_defaultRequested = true; }

    // F1: a top-level window asks the main window for help, unless Shift,
    // Ctrl or Alt is held down.
    BOOL OnHelpInfo(HELPINFO* info);

private:
    const MessageMapEntry* FindEntry(UINT message, WPARAM wParam) const;

    bool m_defaultRequested = false;
};

// The window-procedure wrapper: records the message as the thread's last
// sent message (restoring the previous record afterwards), has the window
// handle it, and reports every exception that leaves the handler through
// the application. True when the message was handled, with its result.
bool AfxCallWndProc(CWnd& window, HWND handle, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The message being handled on this thread. A handler that carries on
// the work of an earlier message may put that message here: a failure that
// leaves the handler is then reported as that message's.
MSG& AfxGetCurrentMessage();
