// One grab of a sample page, worked through the UI driver, for the run
// command's headless mode: screenshots of the window during and after the
// transfer and of the About box.
//   clipwell_demo PROXY_PORT PAGE_ADDRESS FILE_NAME SCREENSHOT_FOLDER
// Prints the saved file's Windows path; exits non-zero when the grab did not
// end with the file closed.
#include "clipwell_driver.h"
#include "fixture_client.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Screenshot(HWND window, const std::string& folder, const char* name)
{
    const char* display = std::getenv("DISPLAY");
    const std::string path = folder + "/" + name;
    if (display == nullptr || !FixtureServer(false).Screenshot(display, XWindowOf(window), path))
        std::fprintf(stderr, "no screenshot %s\n", path.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: clipwell_demo PROXY_PORT PAGE_ADDRESS FILE_NAME SCREENSHOT_FOLDER\n");
        return 2;
    }
    ClipwellOptions options;
    options.proxyPort = static_cast<unsigned short>(std::atoi(argv[1]));
    const std::string address = argv[2];
    const std::string file = argv[3];
    const std::string folder = argv[4];

    ClipwellDriver clipwell(options);
    if (clipwell.Main() == nullptr)
        return 1;
    // The window a person works in is the active one. Under Wine without a
    // window manager a new window is the foreground one but not active:
    // handing the foreground to the desktop and back activates it.
    SetForegroundWindow(GetDesktopWindow());
    SetForegroundWindow(clipwell.Main());
    clipwell.TypeUrl(address);
    clipwell.ClickGrab();
    // Half way through, the window shows the transfer under way.
    const bool moving = WaitUntil([&] {
        const int high = clipwell.ProgressHigh();
        return !clipwell.GrabEnabled() && high > 0 && clipwell.ProgressPos() > high / 2;
    }, 30000);
    if (moving)
        Screenshot(clipwell.Main(), folder, "transfer.png");
    std::string bytes;
    const bool done = WaitUntil([&] { return clipwell.ReadOutput(file, bytes) && clipwell.GrabEnabled(); }, 120000);
    Screenshot(clipwell.Main(), folder, "finished.png");
    std::printf("status: %s\n", clipwell.Status().c_str());

    clipwell.SysCommand(0x10);
    HWND about = nullptr;
    WaitUntil([&] {
        for (HWND dialog : clipwell.OtherDialogs())
            about = dialog;
        return about != nullptr;
    }, 5000);
    if (about != nullptr) {
        WaitUntil([] { return false; }, 300);
        Screenshot(about, folder, "about.png");
        PostMessageA(about, WM_COMMAND, IDOK, 0);
    }
    clipwell.SysCommand(SC_CLOSE);
    clipwell.WaitForExit(10000);
    std::printf("saved: %s%s\n", clipwell.Folder().c_str(), file.c_str());
    return done ? 0 : 1;
}
