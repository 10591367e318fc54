// Clipwell measured through the UI driver, one case per run:
//   clipwell_bench PROXY_PORT throughput|memory|responsiveness PAGE FILE SERVED
//   clipwell_bench PROXY_PORT startup
//   clipwell_bench 0 soak GRABS        (under the fixture server)
// Prints "name=value" lines for bench/report.py.
#include "clipwell_driver.h"
#include "host_files.h"
#include "seconds.h"
#include "soak.h"

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

// Clicks "Grab!" for page and waits for the end of the transfer into file;
// calls during() every 10 ms meanwhile. Returns the seconds from the click.
double TimedGrab(ClipwellDriver& clipwell, const std::string& page, const std::string& file,
                 const std::function<void()>& during)
{
    clipwell.TypeUrl(page);
    const double start = Seconds();
    clipwell.ClickGrab();
    std::string bytes;
    bool started = false;
    WaitUntil([&] {
        during();
        started = started || !clipwell.GrabEnabled();
        return started && clipwell.GrabEnabled() && clipwell.ReadOutput(file, bytes);
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
    const double seconds = TimedGrab(clipwell, page, file, [&] {
        if (what == "responsiveness" && !clipwell.GrabEnabled()) {
            const double sent = Seconds();
            DWORD_PTR result = 0;
            SendMessageTimeoutA(clipwell.Main(), WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
            roundTrips.push_back((Seconds() - sent) * 1000);
        }
        if (what == "memory")
            peak = std::max(peak, PeakWorkingSet(clipwell.ProcessId()));
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
