#include "clipwell_driver.h"

#include "host_files.h"
#include "icon_kind.h"

#include <commctrl.h>

#include <algorithm>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

constexpr DWORD kMessageTimeoutMs = 5000;

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

// The environment block for Clipwell: ours, with http_proxy set to the
// proxy or removed.
std::string EnvironmentBlock(const ClipwellOptions& options)
{
    std::string block;
    char* strings = GetEnvironmentStringsA();
    for (const char* entry = strings; *entry != '\0'; entry += std::strlen(entry) + 1) {
        if (_strnicmp(entry, "http_proxy=", 11) != 0)
            block.append(entry).push_back('\0');
    }
    FreeEnvironmentStringsA(strings);
    const char* fixture = std::getenv("CLIPWELL_FIXTURE_PORT");
    const std::string port = options.proxyPort != 0 ? std::to_string(options.proxyPort) : fixture ? fixture : "";
    if (options.proxy && !port.empty())
        block.append("http_proxy=http://127.0.0.1:").append(port).push_back('\0');
    block.push_back('\0');
    return block;
}

// A working folder name of this driver's own: the test program's name and
// how many drivers it has started, the same from one run to the next.
std::string DefaultFolderName()
{
    static unsigned started = 0;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    name = name.substr(name.find_last_of('\\') + 1);
    name = name.substr(0, name.find_last_of('.'));
    return name + "." + std::to_string(++started);
}

// Deletes every file in folder, by the names as they are on disk: an
// earlier test's file may bear a name that the ANSI code page of this run
// cannot spell. Nothing of an earlier test or run may pass for output or
// stand in a grab's way, so a file that stays is an error.
void EmptyFolder(const std::string& folder)
{
    const std::wstring wide = Widened(folder, CP_ACP);
    std::string left;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((wide + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && !DeleteFileW((wide + found.cFileName).c_str()))
            left += " " + std::to_string(GetLastError());
    } while (FindNextFileW(search, &found));
    FindClose(search);
    if (!left.empty())
        throw std::runtime_error("cannot empty " + folder + ": error" + left);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(10);
    }
}

std::string ClipwellExePath()
{
    const char* unixPath = std::getenv("CLIPWELL_EXE");
    return unixPath == nullptr ? "Clipwell.exe" : UnixToWindowsPath(unixPath);
}

std::string WatchPageHtml(const std::string& title, const std::string& videoQuery)
{
    return "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<meta charset=\"windows-1252\">\r\n<title>" + title +
           "</title>\r\n</head>\r\n<body>\r\n<div id=\"player\">\r\n"
           "  <embed src=\"/player2.swf?" +
           videoQuery + "\" width=\"450\" height=\"370\"></embed>\r\n</div>\r\n</body>\r\n</html>\r\n";
}

std::string PageUrl(const std::string& id)
{
    return "http://video.example.com/watch?v=" + id;
}

void ServeVideoPage(FixtureServer& server, const std::string& id, const std::string& title, const std::string& video,
                    const FixtureServer::Route& route)
{
    server.Serve("/watch?v=" + id, WatchPageHtml(title, "video_id=" + id));
    server.Serve("/get_video?video_id=" + id, video, route);
}

ClipwellDriver::ClipwellDriver(const Options& options)
{
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    const std::string root = std::string(current) + "\\ui-work\\";
    CreateDirectoryA(root.c_str(), nullptr);
    m_folder = root + (options.folder.empty() ? DefaultFolderName() : options.folder) + "\\";
    CreateDirectoryA(m_folder.c_str(), nullptr);
    if (!options.keepFolder)
        EmptyFolder(m_folder);
    try {
        Launch(options);
    } catch (...) {
        End();
        throw;
    }
}

void ClipwellDriver::Launch(const Options& options)
{
    std::string exe = ClipwellExePath();
    if (options.exeName != "Clipwell.exe") {
        const std::string copy = m_folder + options.exeName;
        if (!CopyFileA(exe.c_str(), copy.c_str(), FALSE))
            throw std::runtime_error("cannot copy " + exe + " to " + copy + ": error " +
                                     std::to_string(GetLastError()));
        exe = copy;
    }
    std::wstring commandLine = L"\"" + Widened(exe, CP_ACP) + L"\" " + Widened(options.arguments);
    std::string environment = EnvironmentBlock(options);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                        environment.data(), Widened(m_folder, CP_ACP).c_str(), &startup, &process))
        throw std::runtime_error("cannot start " + exe + ": error " + std::to_string(GetLastError()));
    CloseHandle(process.hThread);
    m_process = process.hProcess;
    m_processId = process.dwProcessId;

    // The main window is the dialog with the Grab button.
    const bool shown = WaitUntil(
        [this] {
            for (HWND dialog : DialogsOf(m_processId)) {
                if (GetDlgItem(dialog, IDC_GRAB) != nullptr)
                    m_main = dialog;
            }
            return m_main != nullptr;
        },
        15000);
    if (!shown)
        throw std::runtime_error("Clipwell's window did not appear");
    BringToFront();
}

ClipwellDriver::~ClipwellDriver()
{
    End();
}

void ClipwellDriver::End()
{
    if (m_process == nullptr)
        return;
    if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
    }
    CloseHandle(m_process);
    m_process = nullptr;
}

void ClipwellDriver::TypeUrl(const std::string& url)
{
    SendMessageTimeoutW(Control(IDC_URL), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widened(url).c_str()),
                        SMTO_ABORTIFHUNG, kMessageTimeoutMs, nullptr);
}

void ClipwellDriver::ClickGrab()
{
    PostMessageA(Control(IDC_GRAB), BM_CLICK, 0, 0);
}

void ClipwellDriver::PressKey(HWND window, WPARAM key)
{
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
    PostMessageA(window, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageA(window, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
}

void ClipwellDriver::BringToFront()
{
    // Under Wine without a window manager a new window is the foreground
    // one but not active: handing the foreground to the desktop and back
    // activates it.
    SetForegroundWindow(GetDesktopWindow());
    SetForegroundWindow(m_main);
    WaitUntil([this] { return GetForegroundWindow() == m_main; }, 1000);
}

void ClipwellDriver::TypeKey(WORD key)
{
    TypeKeys({{key, false}, {key, true}});
}

void ClipwellDriver::TypeKeys(const std::vector<std::pair<WORD, bool>>& keys)
{
    std::vector<INPUT> inputs(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i].first;
        inputs[i].ki.dwFlags = keys[i].second ? KEYEVENTF_KEYUP : 0;
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void ClipwellDriver::SysCommand(WPARAM command)
{
    PostMessageA(m_main, WM_SYSCOMMAND, command, 0);
}

int ClipwellDriver::ProgressLow() const
{
    return static_cast<int>(SendWithTimeout(Control(IDC_PROGRESS), PBM_GETRANGE, TRUE, 0));
}

int ClipwellDriver::ProgressHigh() const
{
    return static_cast<int>(SendWithTimeout(Control(IDC_PROGRESS), PBM_GETRANGE, FALSE, 0));
}

int ClipwellDriver::ProgressPos() const
{
    return static_cast<int>(SendWithTimeout(Control(IDC_PROGRESS), PBM_GETPOS, 0, 0));
}

HWND ClipwellDriver::Focus() const
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(m_main, nullptr), &info);
    return info.hwndFocus;
}

std::vector<HWND> ClipwellDriver::OtherDialogs() const
{
    std::vector<HWND> dialogs = DialogsOf(m_processId);
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), m_main), dialogs.end());
    return dialogs;
}

bool ClipwellDriver::FindMessageBox(MessageBoxInfo& info) const
{
    const std::vector<ShownBox> boxes = MessageBoxesOf(m_processId);
    if (boxes.empty())
        return false;
    static_cast<ShownBox&>(info) = boxes.front();
    // The icon is read from the screen: bring the box above any other
    // program's windows first, and let it paint.
    SetWindowPos(info.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Sleep(200);
    info.icon = IconKind(GetDlgItem(info.window, 0x0440));
    return true;
}

std::optional<ClipwellDriver::MessageBoxInfo> ClipwellDriver::WaitForMessageBox(DWORD timeoutMs) const
{
    MessageBoxInfo info;
    if (!WaitUntil([&] { return FindMessageBox(info); }, timeoutMs))
        return std::nullopt;
    // The icon is read off the screen: a box just shown may not be painted
    // yet, and one that appears as another is read may be covered at first.
    WaitUntil([&] { return FindMessageBox(info) && !info.icon.empty(); }, 10000);
    return info;
}

bool ClipwellDriver::CloseMessageBox(const MessageBoxInfo& box, int button) const
{
    if (box.window == nullptr)
        return false;
    PostMessageA(box.window, WM_COMMAND, static_cast<WPARAM>(button), 0);
    return WaitUntil([&] { return !IsWindowVisible(box.window); }, 10000);
}

HWND ClipwellDriver::WaitForAbout(DWORD timeoutMs) const
{
    HWND about = nullptr;
    WaitUntil([&] {
        for (HWND dialog : OtherDialogs()) {
            if (WindowText(dialog) == "About Clipwell")
                about = dialog;
        }
        return about != nullptr;
    }, timeoutMs);
    return about;
}

bool ClipwellDriver::WaitForGrabEnabled(DWORD timeoutMs) const
{
    return WaitUntil([this] { return GrabEnabled(); }, timeoutMs);
}

bool ClipwellDriver::WaitForExit(DWORD timeoutMs) const
{
    return WaitUntil([this] { return !Running(); }, timeoutMs);
}

bool ClipwellDriver::Running() const
{
    return WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

DWORD ClipwellDriver::ExitCode() const
{
    DWORD code = 0;
    GetExitCodeProcess(m_process, &code);
    return code;
}

std::optional<std::string> ClipwellDriver::AwaitOutput(const std::string& name, DWORD timeoutMs) const
{
    std::string bytes;
    // Grab! enabled again in a running Clipwell: a program that ended, as
    // one that crashed just after the rename, has not finished its grab.
    if (!WaitUntil([&] { return ReadOutput(name, bytes) && Running() && GrabEnabled(); }, timeoutMs))
        return std::nullopt;
    return bytes;
}

bool ClipwellDriver::ReadOutput(const std::string& name, std::string& bytes) const
{
    std::optional<std::string> read = ReadWholeFile(m_folder + name);
    if (!read)
        return false;
    bytes = std::move(*read);
    return true;
}

bool ClipwellDriver::OutputExists(const std::string& name) const
{
    return GetFileAttributesA((m_folder + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}
