#include "ui/window_progress.h"

#include "framework/wide_text.h"
#include "ui/progress_caption.h"

#include <commctrl.h>

void WindowProgress::Attach(HWND window)
{
    m_window.Attach(window);
    m_caption = m_window.GetWindowText();
}

void WindowProgress::ConnectTaskbar()
{
    m_taskbar.Connect(m_window.m_hWnd);
    ShowOnTaskbar();
}

void WindowProgress::Update(bool running, HWND bar, std::optional<std::pair<std::size_t, std::size_t>> place)
{
    std::optional<int> percent;
    if (running)
        percent = PercentDone(SendMessageA(bar, PBM_GETPOS, 0, 0), SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
    if (!running)
        place.reset();
    if (percent == m_percent && place == m_place)
        return;
    // While the share grows, at most two changes a second: each costs this
    // thread a repaint of the window's frame, and the transfer waits for
    // this thread. The start and the end show at once.
    const DWORD now = GetTickCount();
    if (percent && m_percent && place == m_place && now - m_changedAt < kChangeIntervalMs)
        return;
    m_changedAt = now;
    m_percent = percent;
    m_place = place;
    if (percent)
        m_reached = *percent;
    // The share goes before the caption, which may be in any script.
    m_window.SetWindowText((ToWide(QueuePlaceText(place)) + AnsiToWide(ProgressCaption({}, percent)) + m_caption).c_str());
    ShowOnTaskbar();
}

void WindowProgress::ShowFailure(bool shown)
{
    m_failureShown = shown;
    ShowOnTaskbar();
}

void WindowProgress::ShowOnTaskbar()
{
    if (m_failureShown)
        m_taskbar.ShowError(m_reached);
    else if (m_percent)
        m_taskbar.ShowProgress(*m_percent);
    else
        m_taskbar.Clear();
}
