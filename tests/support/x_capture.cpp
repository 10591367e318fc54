#include "x_capture.h"

#include "host_files.h"

#include <cstdlib>

namespace {

constexpr DWORD kImportTimeoutMs = 20000;

// The X window that shows a top-level window of Wine's, or 0.
unsigned long XWindowOf(HWND window)
{
    return static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(GetPropA(window, "__wine_x11_whole_window")));
}

// A word for the shell, quoted as it is.
std::string Quoted(const std::string& word)
{
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs import with arguments, writing to target (a Unix path) through a
// temporary file, so that target appears whole or not at all. Wine starts
// Unix programs as it starts Windows ones but cannot wait for them: the
// shell leaves target.failed behind on failure, and this polls for either.
bool RunImport(HWND window, const std::string& arguments, const std::string& format, const std::string& target)
{
    const char* display = std::getenv("DISPLAY");
    const unsigned long xid = XWindowOf(window);
    if (display == nullptr || xid == 0)
        return false;
    const std::string part = target + ".part";
    const std::string failed = target + ".failed";
    const std::string windowsTarget = UnixToWindowsPath(target);
    const std::string windowsFailed = UnixToWindowsPath(failed);
    DeleteFileA(windowsTarget.c_str());
    DeleteFileA(windowsFailed.c_str());
    const std::string script = "import -display " + Quoted(display) + " -window " + std::to_string(xid) + " " +
                               arguments + " " + format + ":" + Quoted(part) + " && mv " + Quoted(part) + " " +
                               Quoted(target) + " || { rm -f " + Quoted(part) + "; : > " + Quoted(failed) + "; }";
    std::string commandLine = "/bin/sh -c \"" + script + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("Z:\\bin\\sh", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const DWORD start = GetTickCount();
    for (;;) {
        if (GetFileAttributesA(windowsTarget.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        if (GetFileAttributesA(windowsFailed.c_str()) != INVALID_FILE_ATTRIBUTES ||
            GetTickCount() - start >= kImportTimeoutMs) {
            DeleteFileA(windowsFailed.c_str());
            return false;
        }
        Sleep(20);
    }
}

}  // namespace

std::string CaptureClientPixels(HWND window, int x, int y, int width, int height)
{
    static unsigned captures = 0;
    const std::string target =
        "/tmp/clipwell-capture-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++captures) + ".rgb";
    const std::string crop =
        std::to_string(width) + "x" + std::to_string(height) + "+" + std::to_string(x) + "+" + std::to_string(y);
    if (!RunImport(window, "-crop " + crop + " +repage -depth 8", "rgb", target))
        return {};
    const std::string windowsTarget = UnixToWindowsPath(target);
    std::string pixels = ReadWholeFile(windowsTarget).value_or("");
    DeleteFileA(windowsTarget.c_str());
    return pixels;
}

bool ScreenshotWindow(HWND window, const std::string& unixPath)
{
    return RunImport(window, "", "png", unixPath);
}
