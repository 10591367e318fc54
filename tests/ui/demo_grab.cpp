// One grab of a sample page, worked through the UI driver, for the run
// command's headless mode: screenshots of the window during and after the
// transfer and of the About box.
//   clipwell_demo PROXY_PORT PAGE_ADDRESS FILE_NAME SCREENSHOT_FOLDER
// Says what it waits for while it waits, and prints the saved file's Windows
// path; when the grab does not end with the file closed, prints what the
// window shows (the address, the status text and every message box) and
// exits non-zero.
#include "clipwell_driver.h"
#include "x_capture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>

namespace {

void Screenshot(HWND window, const std::string& folder, const char* name)
{
    const std::string path = folder + "/" + name;
    if (!ScreenshotWindow(window, path))
        std::fprintf(stderr, "no screenshot %s\n", path.c_str());
}

// Waits for condition up to timeoutMs, saying every 15 seconds what for
// and what the status text reads meanwhile.
bool WaitSaying(const ClipwellDriver& clipwell, const char* what, const std::function<bool()>& condition,
                DWORD timeoutMs)
{
    constexpr DWORD kReportMs = 15000;
    for (DWORD waited = 0;; waited += kReportMs) {
        if (WaitUntil(condition, std::min(kReportMs, timeoutMs - waited)))
            return true;
        if (waited + kReportMs >= timeoutMs)
            return false;
        std::printf("still waiting for %s (%lu s; status: \"%s\")\n", what,
                    static_cast<unsigned long>((waited + kReportMs) / 1000), clipwell.Status().c_str());
    }
}

// Whether Clipwell shows a message box: the grab has ended with a report.
bool Reported(const ClipwellDriver& clipwell)
{
    return !MessageBoxesOf(clipwell.ProcessId()).empty();
}

// What the window shows: the address box, the status text and each of
// Clipwell's other dialogs, message boxes with their text.
void Describe(const ClipwellDriver& clipwell)
{
    std::printf("address: %s\nstatus: %s\n", WindowText(clipwell.Control(IDC_URL)).c_str(),
                clipwell.Status().c_str());
    for (HWND dialog : clipwell.OtherDialogs()) {
        const HWND text = GetDlgItem(dialog, 0xFFFF);
        std::printf("message box \"%s\": %s\n", WindowText(dialog).c_str(),
                    text != nullptr ? WindowText(text).c_str() : "(a dialog without a message)");
    }
}

// Grabs address into file, with screenshots into folder, the active
// window being the one a person works in. Returns the exit code.
int Demonstrate(const ClipwellOptions& options, const std::string& address, const std::string& file,
                const std::string& folder)
{
    ClipwellDriver clipwell(options);
    // A window still busy with its first start in a new prefix can let a
    // message time out: type until the box holds the address.
    const bool typed = WaitSaying(clipwell, "the address box to take the address", [&] {
        clipwell.TypeUrl(address);
        return WindowText(clipwell.Control(IDC_URL)) == address;
    }, 60000);
    if (!typed) {
        std::printf("The address box did not take the address.\n");
        Describe(clipwell);
        return 1;
    }
    clipwell.ClickGrab();
    // Half way through, the window shows the transfer under way.
    const bool moving = WaitUntil([&] {
        const int high = clipwell.ProgressHigh();
        return Reported(clipwell) || (!clipwell.GrabEnabled() && high > 0 && clipwell.ProgressPos() > high / 2);
    }, 30000);
    if (moving && !Reported(clipwell))
        Screenshot(clipwell.Main(), folder, "transfer.png");
    std::string bytes;
    WaitSaying(clipwell, "the grab to end", [&] {
        return Reported(clipwell) || (clipwell.ReadOutput(file, bytes) && clipwell.GrabEnabled());
    }, 60000);
    Screenshot(clipwell.Main(), folder, "finished.png");
    if (Reported(clipwell) || !clipwell.ReadOutput(file, bytes) || !clipwell.GrabEnabled()) {
        std::printf("The grab did not end with the file saved.\n");
        Describe(clipwell);
        return 1;
    }
    std::printf("status: %s\n", clipwell.Status().c_str());

    clipwell.SysCommand(0x10);
    const HWND about = clipwell.WaitForAbout();
    if (about != nullptr) {
        // A window just shown paints on its own time: it is given this
        // long before it is taken off the screen.
        constexpr DWORD kPaintingMs = 300;
        Sleep(kPaintingMs);
        Screenshot(about, folder, "about.png");
        PostMessageA(about, WM_COMMAND, IDOK, 0);
    }
    clipwell.SysCommand(SC_CLOSE);
    clipwell.WaitForExit(10000);
    std::printf("saved: %s%s\n", clipwell.Folder().c_str(), file.c_str());
    return 0;
}

}  // namespace


int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: clipwell_demo PROXY_PORT PAGE_ADDRESS FILE_NAME SCREENSHOT_FOLDER\n");
        return 2;
    }
    // Every line as it is written: the run command shows them while the
    // grab goes on.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    ClipwellOptions options;
    options.proxyPort = static_cast<unsigned short>(std::atoi(argv[1]));
    options.folder = "demo";
    try {
        return Demonstrate(options, argv[2], argv[3], argv[4]);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
