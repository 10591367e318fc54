#pragma once

#include "fixture_client.h"
#include "message_boxes.h"
#include "resource.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Drives a real Clipwell process under Wine the way a person would: types
// into its URL box, clicks and presses keys, sends system commands, and
// reads its window, controls and message boxes. Knows no test framework:
// a failure to start throws std::runtime_error, and the waits say whether
// what they waited for came.
// How a grab is started: a click on "Grab!", or Enter typed on the keyboard
// (the dialog's OK command, which no control sends).
enum class GrabBy { Click, Enter };

struct ClipwellOptions {
    std::string exeName = "Clipwell.exe";  // copied to this name when different
    bool proxy = true;                     // reach video.example.com through a proxy:
    unsigned short proxyPort = 0;          // this loopback port, or the fixture server's
    std::string folder;                    // the working folder's name; one of its own by default
    bool keepFolder = false;               // found as an earlier Clipwell left it, not emptied
    std::string arguments;                 // the command line after the program's name, in UTF-8
};

class ClipwellDriver {
public:
    using Options = ClipwellOptions;

    struct MessageBoxInfo : ShownBox {
        std::string icon;  // "stop", "exclamation", "information", "question" or ""
    };

    // Starts Clipwell in a fresh working folder, waits for its main window
    // and brings it to the front, as a person clicks into a new window.
    // Throws std::runtime_error when it cannot.
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

    // Puts url, in UTF-8, into the URL box.
    void TypeUrl(const std::string& url);
    void ClickGrab();
    // Types url and starts its grab.
    void StartGrab(const std::string& url, GrabBy by = GrabBy::Click)
    {
        TypeUrl(url);
        if (by == GrabBy::Click)
            ClickGrab();
        else
            TypeKey(VK_RETURN);
    }
    // A key posted to one window, whichever has the focus.
    void PressKey(HWND window, WPARAM key);
    // A key typed on the keyboard: the system delivers it to whatever
    // window has the focus.
    void TypeKey(WORD key);
    // Keys pressed (false) and released (true) in order, on the keyboard.
    void TypeKeys(const std::vector<std::pair<WORD, bool>>& keys);
    void SysCommand(WPARAM command);

    std::string Status() const { return WindowText(Control(IDC_STATUS)); }
    bool GrabEnabled() const { return IsWindowEnabled(Control(IDC_GRAB)) != FALSE; }
    int ProgressLow() const;
    int ProgressHigh() const;
    int ProgressPos() const;
    HWND Focus() const;

    // Visible windows of the process of class #32770 other than the main
    // dialog (message boxes and the About box).
    std::vector<HWND> OtherDialogs() const;
    bool FindMessageBox(MessageBoxInfo& info) const;
    // Waits for a message box and describes it once its icon shows;
    // nothing on time-out.
    std::optional<MessageBoxInfo> WaitForMessageBox(DWORD timeoutMs = 30000) const;
    // Presses a button (OK unless told) of a message box; whether the box
    // went within ten seconds.
    bool CloseMessageBox(const MessageBoxInfo& box, int button = IDOK) const;
    // Waits for the About box; nullptr on time-out.
    HWND WaitForAbout(DWORD timeoutMs = 10000) const;

    // Waits until the transfer has ended: "Grab!" enabled again.
    bool WaitForGrabEnabled(DWORD timeoutMs = 60000) const;
    bool WaitForExit(DWORD timeoutMs) const;
    DWORD ExitCode() const;
    bool Running() const;

    // Waits for the end of a transfer into name: "Grab!" enabled again, or
    // the program gone, and the file closed (it cannot be read while
    // Clipwell has it open). Returns the file's bytes; nothing on time-out.
    std::optional<std::string> AwaitOutput(const std::string& name, DWORD timeoutMs = 60000) const;
    // The contents of a file in the working folder; false if it is missing
    // or still open.
    bool ReadOutput(const std::string& name, std::string& bytes) const;
    bool OutputExists(const std::string& name) const;

private:
    void Launch(const Options& options);
    // Makes the main window the active one, with the keyboard's focus.
    void BringToFront();
    // Ends the process if it still runs, and lets go of it.
    void End();

    std::string m_folder;
    HANDLE m_process = nullptr;
    DWORD m_processId = 0;
    HWND m_main = nullptr;
};

// Polls condition every 10 ms, carrying out this thread's messages, until
// it holds or timeoutMs pass; returns whether it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// The Windows path of the built Clipwell.exe (CLIPWELL_EXE, a Unix path).
std::string ClipwellExePath();

// A page of the video site with the given title line and player line.
std::string WatchPageHtml(const std::string& title, const std::string& videoQuery);

// The address of the video site's page v=id.
std::string PageUrl(const std::string& id);

// Serves the page v=id titled title, whose player asks for video_id=id,
// and video for that request.
void ServeVideoPage(FixtureServer& server, const std::string& id, const std::string& title, const std::string& video,
                    const FixtureServer::Route& route = {});
