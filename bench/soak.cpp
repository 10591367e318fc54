#include "soak.h"

#include "fixture_client.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::size_t kVideoSize = 20000;
constexpr long kReplacedAt = 10240;  // a whole number of chunks, so the count shows it
// A worker left behind on a stalled server ends by the read time-out.
constexpr DWORD kStragglerMs = 35000;

enum class Kind { Whole, Dropped, ShortStall, NotFound, Replaced, Count };

struct Usage {
    DWORD handles = 0;
    DWORD threads = 0;
    DWORD windows = 0;
    DWORD gdi = 0;
    DWORD user = 0;
    double workingSetMiB = 0;
};

// The system's handle list: what GetProcessHandleCount would say, which
// Wine leaves at 0.
DWORD HandleCount(DWORD processId)
{
    struct Entry {
        USHORT processId;
        USHORT backTrace;
        UCHAR type;
        UCHAR attributes;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query =
        reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    constexpr ULONG kSystemHandleInformation = 16;
    std::vector<char> buffer(1 << 20);
    ULONG needed = 0;
    while (query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) != 0) {
        if (buffer.size() >= (64u << 20))
            return 0;
        buffer.resize(buffer.size() * 2);
    }
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
    DWORD owned = 0;
    for (ULONG i = 0; i < count; ++i)
        owned += entries[i].processId == static_cast<USHORT>(processId) ? 1 : 0;
    return owned;
}

DWORD ThreadCount(DWORD processId)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    DWORD count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == processId ? 1 : 0;
    CloseHandle(snapshot);
    return count;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<std::pair<DWORD, DWORD>*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.first) {
        ++search.second;
        EnumChildWindows(window, &CountWindow, data);
    }
    return TRUE;
}

Usage UsageOf(DWORD processId)
{
    Usage usage;
    usage.handles = HandleCount(processId);
    usage.threads = ThreadCount(processId);
    std::pair<DWORD, DWORD> windows{processId, 0};
    EnumWindows(&CountWindow, reinterpret_cast<LPARAM>(&windows));
    usage.windows = windows.second;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    usage.gdi = GetGuiResources(process, GR_GDIOBJECTS);
    usage.user = GetGuiResources(process, GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(process, &counters, sizeof counters);
    usage.workingSetMiB = static_cast<double>(counters.WorkingSetSize) / (1 << 20);
    CloseHandle(process);
    return usage;
}

void PrintUsage(const char* when, const Usage& usage)
{
    std::printf("soak_%s_handles=%lu\nsoak_%s_threads=%lu\nsoak_%s_windows=%lu\nsoak_%s_gdi_objects=%lu\n"
                "soak_%s_user_objects=%lu\nsoak_%s_working_set_mib=%.3f\n",
                when, usage.handles, when, usage.threads, when, usage.windows, when, usage.gdi, when, usage.user,
                when, usage.workingSetMiB);
}

std::string Video(unsigned grab)
{
    std::string bytes(kVideoSize, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(grab * 31 + i * 7 + (i >> 8));
    return bytes;
}

// Serves grab number grab of its kind; returns what is served.
std::string Serve(FixtureServer& server, unsigned grab, Kind kind)
{
    const std::string id = std::to_string(grab);
    std::string body = Video(grab);
    FixtureServer::Route route;
    switch (kind) {
    case Kind::Dropped:
        // Continued with a range request after the drop.
        route.closeAfter = {5000, -1};
        route.ranges = true;
        route.headers = {"ETag: \"soak-" + id + "\""};
        break;
    case Kind::ShortStall:
        route.stallAfter = {8000};
        route.stallSeconds = 0.3;
        break;
    case Kind::NotFound:
        route.status = 404;
        body = "<html>no video " + id + "</html>";
        break;
    case Kind::Replaced:
        route.stallAfter = {kReplacedAt};
        route.stallSeconds = 600;
        break;
    default:
        break;
    }
    ServeVideoPage(server, id, "Soak " + id, body, route);
    return body;
}

// Runs one grab to its end (or, for a replaced one, to its stall) and
// closes the report it gives.
void Grab(ClipwellDriver& clipwell, unsigned grab, Kind kind)
{
    clipwell.StartGrab(PageUrl(std::to_string(grab)));
    const std::string name = "Soak " + std::to_string(grab) + (kind == Kind::NotFound ? ".flv.part" : ".flv");
    if (kind == Kind::Replaced) {
        const std::string stalled = std::to_string(kReplacedAt) + " / " + std::to_string(kVideoSize) + " B";
        WaitUntil([&] { return clipwell.Status() == stalled; }, 20000);
        return;
    }
    std::string bytes;
    WaitUntil([&] { return clipwell.GrabEnabled() && clipwell.ReadOutput(name, bytes); }, 40000);
    if (kind == Kind::NotFound) {
        ClipwellDriver::MessageBoxInfo box;
        if (WaitUntil([&] { return clipwell.FindMessageBox(box); }, 10000))
            clipwell.CloseMessageBox(box);
    }
}

}  // namespace

int RunSoak(const ClipwellOptions& options, unsigned grabs)
{
    FixtureServer server;
    ClipwellDriver clipwell(options);
    std::vector<std::string> served;
    // The last grab is a whole one, so no transfer is left to replace.
    for (unsigned grab = 0; grab < grabs; ++grab) {
        const auto kind =
            grab + 1 == grabs ? Kind::Whole : static_cast<Kind>(grab % static_cast<unsigned>(Kind::Count));
        served.push_back(Serve(server, grab, kind));
        Grab(clipwell, grab, kind);
        if (grab + 1 == 10)
            PrintUsage("after_10", UsageOf(clipwell.ProcessId()));
    }
    // Let the workers left on stalled servers reach their time-out.
    Sleep(kStragglerMs);
    PrintUsage("at_end", UsageOf(clipwell.ProcessId()));
    int failures = clipwell.Running() ? 0 : 1;
    for (unsigned grab = 0; grab < grabs; ++grab) {
        std::string bytes;
        // Only a replaced grab may stop short: the fixture let every other
        // finish, a dropped one by its continuation. What is not a whole
        // video stays under the partial name.
        const Kind kind = grab + 1 == grabs ? Kind::Whole : static_cast<Kind>(grab % static_cast<unsigned>(Kind::Count));
        const bool partial = kind == Kind::Replaced || kind == Kind::NotFound;
        const std::string name = "Soak " + std::to_string(grab) + (partial ? ".flv.part" : ".flv");
        const bool whole = kind != Kind::Replaced;
        if (!clipwell.ReadOutput(name, bytes) || served[grab].compare(0, bytes.size(), bytes) != 0 ||
            (whole && bytes.size() != served[grab].size())) {
            std::fprintf(stderr, "%s: not %s of what was served (%zu bytes)\n", name.c_str(),
                         whole ? "all" : "a prefix", bytes.size());
            ++failures;
        }
    }
    std::printf("soak_grabs=%u\nsoak_bad_files=%d\n", grabs, failures);
    return failures == 0 ? 0 : 1;
}
