#include "clipwell_driver.h"

#include <commctrl.h>

#include "fixture_client.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr DWORD kMessageTimeoutMs = 5000;

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
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

std::string CurrentTestName()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info == nullptr ? "unnamed" : std::string(info->test_suite_name()) + "." + info->name();
}

// 32 x 32 pixels read from a device context (0x00RRGGBB each).
std::vector<COLORREF> Pixels(HDC source)
{
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 32;
    info.bmiHeader.biHeight = -32;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, 32, 32, source, 0, 0, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels(static_cast<const COLORREF*>(bits), static_cast<const COLORREF*>(bits) + 32 * 32);
    for (COLORREF& p : pixels)
        p &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
}

// The pixels of a system icon drawn on the dialog background.
std::vector<COLORREF> DrawnIcon(LPCSTR id)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = {0, 0, 32, 32};
    FillRect(memory, &all, GetSysColorBrush(COLOR_3DFACE));
    DrawIcon(memory, 0, 0, LoadIconA(nullptr, id));
    std::vector<COLORREF> pixels = Pixels(memory);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Which system icon an icon control of another process shows. Icon
// handles and window DCs are each process's own under Wine, so the pixels
// are read from the X server, through the fixture server.
std::string IconKind(HWND control)
{
    const char* display = std::getenv("DISPLAY");
    HWND top = GetAncestor(control, GA_ROOT);
    const unsigned long xid = XWindowOf(top);
    if (control == nullptr || display == nullptr || xid == 0)
        return {};
    // The X window holds the client area of the top-level window.
    POINT origin = {0, 0};
    ClientToScreen(control, &origin);
    POINT client = {0, 0};
    ClientToScreen(top, &client);
    const std::string shown = FixtureServer(false).Capture(display, xid, origin.x - client.x,
                                                      origin.y - client.y, 32, 32);
    if (shown.size() != 32 * 32 * 3)
        return {};
    const struct {
        LPCSTR id;
        const char* name;
    } kinds[] = {{IDI_HAND, "stop"}, {IDI_EXCLAMATION, "exclamation"}, {IDI_ASTERISK, "information"},
                 {IDI_QUESTION, "question"}};
    std::string best;
    std::size_t fewest = 32 * 32 / 8;  // a match differs in under an eighth
    for (const auto& kind : kinds) {
        const std::vector<COLORREF> drawn = DrawnIcon(kind.id);
        std::size_t differing = 0;
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            const int channels[3] = {GetBValue(drawn[i]), GetGValue(drawn[i]), GetRValue(drawn[i])};
            for (int c = 0; c < 3; ++c) {
                if (std::abs(channels[c] - static_cast<unsigned char>(shown[i * 3 + c])) > 16) {
                    ++differing;
                    break;
                }
            }
        }
        if (differing < fewest) {
            fewest = differing;
            best = kind.name;
        }
    }
    return best;
}

}  // namespace

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected)
{
    if (actual == expected)
        return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return ::testing::AssertionFailure() << actual.size() << " bytes where " << expected.size()
                                         << " were expected; they part at byte " << at;
}

unsigned long XWindowOf(HWND window)
{
    return static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(GetPropA(window, "__wine_x11_whole_window")));
}

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

std::string UnixToWindowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
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

ClipwellDriver::ClipwellDriver(const Options& options)
{
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    const std::string root = std::string(current) + "\\ui-work\\";
    CreateDirectoryA(root.c_str(), nullptr);
    m_folder = root + (options.folder.empty() ? CurrentTestName() : options.folder) + "\\";
    CreateDirectoryA(m_folder.c_str(), nullptr);
    // A clean folder: nothing from an earlier run may pass for output.
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((m_folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
                DeleteFileA((m_folder + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    Launch(options);
}

void ClipwellDriver::Launch(const Options& options)
{
    std::string exe = ClipwellExePath();
    if (options.exeName != "Clipwell.exe") {
        const std::string copy = m_folder + options.exeName;
        ASSERT_TRUE(CopyFileA(exe.c_str(), copy.c_str(), FALSE)) << GetLastError();
        exe = copy;
    }
    std::string commandLine = "\"" + exe + "\"";
    std::string environment = EnvironmentBlock(options);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, environment.data(),
                               m_folder.c_str(), &startup, &process))
        << "cannot start " << exe << ": " << GetLastError();
    CloseHandle(process.hThread);
    m_process = process.hProcess;
    m_processId = process.dwProcessId;

    const bool shown = WaitUntil(
        [this] {
            EnumWindows(&ClipwellDriver::FindMain, reinterpret_cast<LPARAM>(this));
            return m_main != nullptr;
        },
        15000);
    ASSERT_TRUE(shown) << "Clipwell's window did not appear";
}

BOOL CALLBACK ClipwellDriver::FindMain(HWND window, LPARAM self)
{
    auto* driver = reinterpret_cast<ClipwellDriver*>(self);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == driver->m_processId && IsWindowVisible(window) && ClassOf(window) == "#32770" &&
        GetDlgItem(window, 1002) != nullptr) {
        driver->m_main = window;
        return FALSE;
    }
    return TRUE;
}

ClipwellDriver::~ClipwellDriver()
{
    if (m_process == nullptr)
        return;
    if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
    }
    CloseHandle(m_process);
}

void ClipwellDriver::TypeUrl(const std::string& url)
{
    SendWithTimeout(Control(1000), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(url.c_str()));
}

void ClipwellDriver::ClickGrab()
{
    PostMessageA(Control(1002), BM_CLICK, 0, 0);
}

void ClipwellDriver::PressKey(HWND window, WPARAM key)
{
    const UINT scan = MapVirtualKeyA(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
    PostMessageA(window, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageA(window, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u);
}

void ClipwellDriver::TypeKey(WORD key)
{
    TypeKeys({{key, false}, {key, true}});
}

void ClipwellDriver::TypeKeys(const std::vector<std::pair<WORD, bool>>& keys)
{
    SetForegroundWindow(m_main);
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

std::string ClipwellDriver::Text(HWND window) const
{
    const auto length = static_cast<std::size_t>(SendWithTimeout(window, WM_GETTEXTLENGTH, 0, 0));
    std::string text(length + 1, '\0');
    const auto copied =
        static_cast<std::size_t>(SendWithTimeout(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data())));
    text.resize(copied < length ? copied : length);
    return text;
}

int ClipwellDriver::ProgressLow() const
{
    return static_cast<int>(SendWithTimeout(Control(1001), PBM_GETRANGE, TRUE, 0));
}

int ClipwellDriver::ProgressHigh() const
{
    return static_cast<int>(SendWithTimeout(Control(1001), PBM_GETRANGE, FALSE, 0));
}

int ClipwellDriver::ProgressPos() const
{
    return static_cast<int>(SendWithTimeout(Control(1001), PBM_GETPOS, 0, 0));
}

HWND ClipwellDriver::Focus() const
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(m_main, nullptr), &info);
    return info.hwndFocus;
}

namespace {

struct DialogSearch {
    DWORD processId;
    HWND main;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialog(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<DialogSearch*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search.processId && window != search.main && IsWindowVisible(window) && ClassOf(window) == "#32770")
        search.found.push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> ClipwellDriver::OtherDialogs() const
{
    DialogSearch search{m_processId, m_main, {}};
    EnumWindows(&CollectDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool ClipwellDriver::FindMessageBox(MessageBoxInfo& info) const
{
    for (HWND dialog : OtherDialogs()) {
        // The About box has the icon and an OK button too, but no text of id
        // 0xFFFF, the message box's own.
        HWND text = GetDlgItem(dialog, 0xFFFF);
        if (text == nullptr)
            continue;
        info.window = dialog;
        info.caption = Text(dialog);
        info.text = Text(text);
        info.owner = GetWindow(dialog, GW_OWNER);
        info.topmost = (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        // The icon is read from the screen: bring the box above any other
        // program's windows first, and let it paint.
        SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Sleep(200);
        info.icon = IconKind(GetDlgItem(dialog, 0x0440));
        return true;
    }
    return false;
}

ClipwellDriver::MessageBoxInfo ClipwellDriver::WaitForMessageBox(DWORD timeoutMs)
{
    MessageBoxInfo info;
    const bool found = WaitUntil([&] { return FindMessageBox(info); }, timeoutMs);
    EXPECT_TRUE(found) << "no message box appeared";
    return info;
}

void ClipwellDriver::CloseMessageBox(const MessageBoxInfo& box)
{
    PostMessageA(box.window, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(box.window); }, 5000)) << "the message box stayed";
}

bool ClipwellDriver::WaitForGrabEnabled(DWORD timeoutMs)
{
    return WaitUntil([this] { return GrabEnabled(); }, timeoutMs);
}

bool ClipwellDriver::WaitForExit(DWORD timeoutMs)
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

std::string ClipwellDriver::AwaitOutput(const std::string& name, DWORD timeoutMs) const
{
    std::string bytes;
    EXPECT_TRUE(WaitUntil([&] { return ReadOutput(name, bytes) && GrabEnabled(); }, timeoutMs))
        << "the transfer into " << name << " did not end";
    return bytes;
}

bool ClipwellDriver::ReadOutput(const std::string& name, std::string& bytes) const
{
    std::ifstream in(m_folder + name, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    return true;
}

bool ClipwellDriver::OutputExists(const std::string& name) const
{
    return GetFileAttributesA((m_folder + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}
