#pragma once

#include "framework/wnd.h"
#include "ui/taskbar_progress.h"

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <utility>

// A transfer's progress where the user looks while the window is behind
// others: in the window's caption ("42% - Clipwell") and on its taskbar
// button. Both follow the progress bar when the dialog repaints it, never
// per chunk, and change only when the whole percent does, at most twice a
// second.
class WindowProgress {
public:
    // Takes window's caption as the plain one.
    void Attach(HWND window);
    // The window's taskbar button exists (again): it shows the progress
    // from now on.
    void ConnectTaskbar();
    // Shows how far bar has come while a transfer runs, after where its
    // queue is (place of size), if in one; the plain caption and no taskbar
    // progress once none runs or its length is unknown.
    void Update(bool running, HWND bar, std::optional<std::pair<std::size_t, std::size_t>> place);
    // The taskbar button in the error state while a failure report is up
    // (true), as before once it is closed (false).
    void ShowFailure(bool shown);

private:
    void ShowOnTaskbar();

    static constexpr DWORD kChangeIntervalMs = 500;

    CWnd m_window;
    std::wstring m_caption;
    std::optional<int> m_percent;
    std::optional<std::pair<std::size_t, std::size_t>> m_place;
    DWORD m_changedAt = 0;  // tick count of the last change
    // Where the last transfer of known length got to, for the error state.
    int m_reached = 100;
    bool m_failureShown = false;
    TaskbarProgress m_taskbar;
};
