#pragma once

#include "framework/wnd.h"

// A device context for drawing in a window's client area outside WM_PAINT:
// GetDC at construction, ReleaseDC at destruction.
class CClientDC {
public:
    explicit CClientDC(CWnd* window) : m_window(window->m_hWnd) { m_hDC = GetDC(m_window); }
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    ~CClientDC() { ReleaseDC(m_window, m_hDC); }

    HDC m_hDC;

private:
    HWND m_window;
};
