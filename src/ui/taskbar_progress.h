#pragma once

#include <windows.h>

struct ITaskbarList3;

// The progress bar on a window's taskbar button, through the shell's
// ITaskbarList3. It is set up once the system says the button exists
// (ButtonCreatedMessage); until then, and wherever the system has no
// taskbar list, every call does nothing. Owns the list and, when it started
// COM on its thread for it, that start: never copied, and ended on the
// thread that connected it.
class TaskbarProgress {
public:
    TaskbarProgress() = default;
    TaskbarProgress(const TaskbarProgress&) = delete;
    TaskbarProgress& operator=(const TaskbarProgress&) = delete;
    ~TaskbarProgress();

    // The message the system sends a window once its taskbar button has
    // been made ("TaskbarButtonCreated"), and again after the shell has
    // restarted.
    static UINT ButtonCreatedMessage();

    // Takes a new taskbar list for window's button; a list from before a
    // restart of the shell is let go.
    void Connect(HWND window);

    // A normal bar at percent.
    void ShowProgress(int percent);
    // The bar in the error state at percent.
    void ShowError(int percent);
    // No bar.
    void Clear();

private:
    void Show(int state, int percent);
    void ReleaseList();
    void End();

    ITaskbarList3* m_list = nullptr;
    HWND m_window = nullptr;
    bool m_comStarted = false;
};
