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

// Runs import with arguments, writing to target (a Unix path).
bool RunImport(HWND window, const std::string& arguments, const std::string& format, const std::string& target)
{
    const char* display = std::getenv("DISPLAY");
    const unsigned long xid = XWindowOf(window);
    if (display == nullptr || xid == 0)
        return false;
    return RunOnUnixSide("import -display " + ShellQuoted(display) + " -window " + std::to_string(xid) + " " +
                             arguments + " " + format + ":$part",
                         target, kImportTimeoutMs);
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
