// One grab of a sample page, worked through the UI driver, for the run
// command's headless mode: screenshots of the window during and after the
// transfer and of the About box.
//   clipwell_demo PROXY_PORT PAGE_ADDRESS FILE_NAME SCREENSHOT_FOLDER
// Prints the saved file's Windows path; exits non-zero when the grab did not
// end with the file closed.
#include "clipwell_driver.h"
#include "x_capture.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

void Screenshot(HWND window, const std::string& folder, const char* name)
{
    const std::string path = folder + "/" + name;
    if (!ScreenshotWindow(window, path))
        std::fprintf(stderr, "no screenshot %s\n", path.c_str());
}

// Grabs address into file, with screenshots into folder, the active
// window being the one a person works in. Returns the exit code.
int Demonstrate(const ClipwellOptions& options, const std::string& address, const std::string& file,
                const std::string& folder)
{
    ClipwellDriver clipwell(options);
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
    const HWND about = clipwell.WaitForAbout();
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

}  // namespace


int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: clipwell_demo PROXY_PORT PAGE_ADDRESS FILE_NAME SCREENSHOT_FOLDER\n");
        return 2;
    }
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
