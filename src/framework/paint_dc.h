#pragma once

#include "framework/wnd.h"

// A device context for painting a window: BeginPaint at construction,
// EndPaint at destruction.
class CPaintDC {
public:
    explicit CPaintDC(CWnd* window) : m_window(window->m_hWnd) { m_hDC = BeginPaint(m_window, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    ~CPaintDC() { EndPaint(m_window, &m_ps); }

    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

    HDC m_hDC;
    PAINTSTRUCT m_ps = {};

private:
    HWND m_window;
};
