// Clipwell measured through the UI driver, one case per run:
//   clipwell_bench PROXY_PORT throughput|memory|responsiveness PAGE FILE SERVED
//   clipwell_bench PROXY_PORT startup
//   clipwell_bench 0 soak GRABS        (under the fixture server)
// Prints "name=value" lines for bench/report.py.
#include "clipwell_driver.h"
#include "host_files.h"
#include "seconds.h"
#include "soak.h"
#include "x_capture.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

SIZE_T PeakWorkingSet(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(process, &counters, sizeof counters);
    CloseHandle(process);
    return counters.PeakWorkingSetSize;
}

double Percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
}

// Where control sits in the client area of Clipwell's window.
RECT ClientPlace(const ClipwellDriver& clipwell, int control)
{
    RECT place;
    GetWindowRect(clipwell.Control(control), &place);
    MapWindowPoints(nullptr, clipwell.Main(), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// What the screen shows of a transfer halfway through: the share of the
// progress bar painted in its bar colour, in percent, against the share
// its position stands at, and whether the status text was drawn at all.
// Prints "painted_bar_lag_points" (the position's share less the painted
// one, at most a frame or two of the transfer) and "painted_status".
void CheckPaintedProgress(const ClipwellDriver& clipwell)
{
    const double high = clipwell.ProgressHigh();
    const double before = high > 0 ? 100.0 * clipwell.ProgressPos() / high : 0;
    const RECT bar = ClientPlace(clipwell, IDC_PROGRESS);
    const RECT status = ClientPlace(clipwell, IDC_STATUS);
    // The bar's middle row, its frame left out.
    const int width = bar.right - bar.left - 4;
    const std::string row =
        CaptureClientPixels(clipwell.Main(), bar.left + 2, (bar.top + bar.bottom) / 2, width, 1);
    const std::string text = CaptureClientPixels(clipwell.Main(), status.left, status.top,
                                                 status.right - status.left, status.bottom - status.top);
    int filled = 0;
    // The filled part starts at the left, in the colour of the first pixel;
    // the empty part is in the background's.
    while (row.size() >= 3 * static_cast<std::size_t>(width) && filled < width &&
           row.compare(3 * static_cast<std::size_t>(filled), 3, row, 0, 3) == 0)
        ++filled;
    const bool inked = text.size() >= 3 && text.find_first_not_of(text.substr(0, 3)) != std::string::npos;
    std::printf("painted_bar_lag_points=%.1f\n", before - 100.0 * filled / (width > 0 ? width : 1));
    std::printf("painted_status=%d\n", inked ? 1 : 0);
}

// Clicks "Grab!" for page and waits for the end of the transfer, "Grab!"
// enabled again; calls during() every 10 ms meanwhile. Returns the seconds
// from the click. The file is read after the clock has stopped: reading
// 8 MiB takes this program as long as a tenth of the grab.
double TimedGrab(ClipwellDriver& clipwell, const std::string& page, const std::function<void()>& during)
{
    clipwell.TypeUrl(page);
    // Found once: finding a control of another process asks the system
    // about each of the dialog's controls, and at a poll every 10 ms that
    // load would weigh on the grab being timed.
    const HWND grab = clipwell.Control(IDC_GRAB);
    const double start = Seconds();
    clipwell.ClickGrab();
    bool started = false;
    WaitUntil([&] {
        during();
        const bool enabled = IsWindowEnabled(grab) != FALSE;
        started = started || !enabled;
        return started && enabled;
    }, 600000);
    return Seconds() - start;
}

// Runs the case the arguments name; returns the exit code.
int Measure(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: clipwell_bench PROXY_PORT CASE [PAGE FILE SERVED]\n");
        return 2;
    }
    ClipwellOptions options;
    options.proxyPort = static_cast<unsigned short>(std::atoi(argv[1]));
    const std::string what = argv[2];

    if (what == "startup") {
        const double start = Seconds();
        ClipwellDriver clipwell(options);
        std::printf("startup_seconds=%.4f\n", Seconds() - start);
        return clipwell.Main() != nullptr ? 0 : 1;
    }
    if (what == "soak")
        return RunSoak(options, argc > 3 ? static_cast<unsigned>(std::atoi(argv[3])) : 300);
    if (argc < 6)
        return 2;
    const std::string page = argv[3];
    const std::string file = argv[4];
    const std::string served = ReadWholeFile(argv[5]).value_or("");
    ClipwellDriver clipwell(options);

    std::vector<double> roundTrips;
    SIZE_T peak = 0;
    bool checkedPaint = false;
    const double seconds = TimedGrab(clipwell, page, [&] {
        if (what == "responsiveness" && !clipwell.GrabEnabled()) {
            const double sent = Seconds();
            DWORD_PTR result = 0;
            SendMessageTimeoutA(clipwell.Main(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
            roundTrips.push_back((Seconds() - sent) * 1000);
        }
        if (what == "memory") {
            peak = std::max(peak, PeakWorkingSet(clipwell.ProcessId()));
            // Halfway through the longer grab, once.
            const int high = clipwell.ProgressHigh();
            if (!checkedPaint && served.size() > (8u << 20) && high > 0 && clipwell.ProgressPos() > high / 2) {
                CheckPaintedProgress(clipwell);
                checkedPaint = true;
            }
        }
    });
    std::string saved;
    clipwell.ReadOutput(file, saved);
    if (saved != served) {
        std::fprintf(stderr, "%s: %zu bytes saved, %zu served\n", file.c_str(), saved.size(), served.size());
        return 1;
    }
    if (what == "throughput")
        std::printf("clipwell_seconds=%.4f\n", seconds);
    if (what == "memory") {
        peak = std::max(peak, PeakWorkingSet(clipwell.ProcessId()));
        std::printf("peak_working_set_%zumib=%.3f\n", served.size() >> 20, static_cast<double>(peak) / (1 << 20));
    }
    if (what == "responsiveness") {
        std::printf("round_trip_median_ms=%.3f\n", Percentile(roundTrips, 0.5));
        std::printf("round_trip_p99_ms=%.3f\n", Percentile(roundTrips, 0.99));
        std::printf("round_trips=%zu\n", roundTrips.size());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    try {
        return Measure(argc, argv);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
