#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Drives a real Clipwell process under Wine the way a person would: types
// into its URL box, clicks and presses keys, sends system commands, and
// reads its window, controls and message boxes.
struct ClipwellOptions {
    std::string exeName = "Clipwell.exe";  // copied to this name when different
    bool proxy = true;                     // reach video.example.com through a proxy:
    unsigned short proxyPort = 0;          // this loopback port, or the fixture server's
    std::string folder;                    // the working folder's name; the test's by default
};

class ClipwellDriver {
public:
    using Options = ClipwellOptions;

    struct MessageBoxInfo {
        HWND window = nullptr;
        std::string caption;
        std::string text;
        std::string icon;  // "stop", "exclamation", "information", "question" or ""
        HWND owner = nullptr;
        bool topmost = false;
    };

    // Starts Clipwell in a fresh working folder named after the test and
    // waits for its main window.
    explicit ClipwellDriver(const Options& options = Options());
    ClipwellDriver(const ClipwellDriver&) = delete;
    ClipwellDriver& operator=(const ClipwellDriver&) = delete;
    // Ends the process if it still runs.
    ~ClipwellDriver();

    HWND Main() const { return m_main; }
    HWND Control(int id) const { return GetDlgItem(m_main, id); }
    DWORD ProcessId() const { return m_processId; }
    // The working folder, with a trailing backslash.
    const std::string& Folder() const { return m_folder; }

    void TypeUrl(const std::string& url);
    void ClickGrab();
    void PressKey(HWND window, WPARAM key);
    // A key typed on the keyboard, as the system delivers it to the window
    // that has the focus.
    void TypeKey(WORD key);
    // Keys pressed (false) and released (true) in order.
    void TypeKeys(const std::vector<std::pair<WORD, bool>>& keys);
    void PressEnter() { PressKey(Control(1000), VK_RETURN); }
    void PressEscape() { PressKey(Control(1000), VK_ESCAPE); }
    void SysCommand(WPARAM command);

    std::string Text(HWND window) const;
    std::string Status() const { return Text(Control(1003)); }
    bool GrabEnabled() const { return IsWindowEnabled(Control(1002)) != FALSE; }
    int ProgressLow() const;
    int ProgressHigh() const;
    int ProgressPos() const;
    HWND Focus() const;

    // Visible windows of the process of class #32770 other than the main
    // dialog (message boxes and the About box).
    std::vector<HWND> OtherDialogs() const;
    bool FindMessageBox(MessageBoxInfo& info) const;
    // Waits for a message box and describes it; fails the test on time-out.
    MessageBoxInfo WaitForMessageBox(DWORD timeoutMs = 10000);
    // Presses OK on a message box and waits until it is gone.
    void CloseMessageBox(const MessageBoxInfo& box);

    // Waits until the transfer has ended: "Grab!" enabled again.
    bool WaitForGrabEnabled(DWORD timeoutMs = 20000);
    bool WaitForExit(DWORD timeoutMs);
    DWORD ExitCode() const;
    bool Running() const;

    // Waits for the end of a transfer into name: "Grab!" enabled again and
    // the file closed (it cannot be read while Clipwell has it open).
    // Returns the file's bytes.
    std::string AwaitOutput(const std::string& name, DWORD timeoutMs = 20000) const;
    // The contents of a file in the working folder; false if it is missing.
    bool ReadOutput(const std::string& name, std::string& bytes) const;
    bool OutputExists(const std::string& name) const;

private:
    void Launch(const Options& options);
    static BOOL CALLBACK FindMain(HWND window, LPARAM self);

    std::string m_folder;
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
    HWND m_main = nullptr;
};

// The X window that shows a top-level window of Wine's, or 0.
unsigned long XWindowOf(HWND window);

// The whole contents of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Whether actual holds exactly the bytes expected; on failure says where
// they part, not the whole of both.
::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected);

// Polls condition every 10 ms, carrying out this thread's messages, until
// it holds or timeoutMs pass; returns whether it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// The Windows path of the built Clipwell.exe (CLIPWELL_EXE, a Unix path).
std::string ClipwellExePath();

// A Unix path as Wine's Windows programs name it (drive Z: is the root).
std::string UnixToWindowsPath(const std::string& unixPath);

// A page of the video site with the given title line and player line.
std::string WatchPageHtml(const std::string& title, const std::string& videoQuery);
