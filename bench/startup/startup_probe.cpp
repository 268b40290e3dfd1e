// Starts two programs in turn, alternating, and measures each run from outside: the time from
// CreateProcess until the program's top-level window with the given title is visible and the
// given number of its combo boxes show a text, and the program's working set at that moment.
// Prints every run, the medians and the first program's medians over the second's.
//
// Usage: startup_probe <runs> <exe> <title> <combos> <baseline exe> <baseline title> <combos>
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "base/unique_handle.h"
#include "bench/bench_stats.h"

namespace {

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

constexpr double kTimeoutSeconds = 30.0;
// A program busy starting up answers late; one that does not answer in this time is not ready.
constexpr UINT kMessageTimeoutMs = 200;
constexpr double kGoal = 1.2;

struct Target {
    std::wstring exe;
    std::wstring title;
    int combos = 0;
};

struct Sample {
    double milliseconds = 0;
    double workingSetKiB = 0;
};

struct WindowSearch {
    DWORD processId = 0;
    const wchar_t* title = nullptr;
    HWND found = nullptr;
};

// GetWindowText reads another process's caption without sending it a message.
BOOL CALLBACK FindVisibleWindow(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<WindowSearch*>(lp);
    DWORD processId = 0;
    GetWindowThreadProcessId(hwnd, &processId);
    if (processId != search->processId || !IsWindowVisible(hwnd))
        return TRUE;
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, static_cast<int>(std::size(text)));
    if (lstrcmpW(text, search->title) != 0)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

// Counts the combo boxes whose text is not empty. WM_GETTEXT is marshalled across processes.
BOOL CALLBACK CountFilledComboBox(HWND hwnd, LPARAM lp) {
    wchar_t className[32] = {};
    GetClassNameW(hwnd, className, static_cast<int>(std::size(className)));
    if (lstrcmpiW(className, L"ComboBox") != 0)
        return TRUE;
    wchar_t text[64] = {};
    DWORD_PTR length = 0;
    if (SendMessageTimeoutW(hwnd, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length) != 0 &&
        length > 0)
        ++*reinterpret_cast<int*>(lp);
    return TRUE;
}

bool Ready(DWORD processId, const Target& target) {
    WindowSearch search{.processId = processId, .title = target.title.c_str()};
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr)
        return false;
    int filled = 0;
    if (target.combos > 0)
        EnumChildWindows(search.found, CountFilledComboBox, reinterpret_cast<LPARAM>(&filled));
    return filled >= target.combos;
}

// One run: start the program, poll until it is ready, read its memory counters, end it.
// Nothing when it cannot start, exits or is not ready in time.
std::optional<Sample> MeasureOnce(const Target& target) {
    std::wstring directory = target.exe.substr(0, target.exe.find_last_of(L"\\/") + 1);
    std::wstring commandLine = L"\"" + target.exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const double start = Seconds();
    if (!CreateProcessW(target.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &info))
        return std::nullopt;
    const UniqueKernelHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);

    std::optional<Sample> sample;
    while (Seconds() - start < kTimeoutSeconds) {
        if (Ready(info.dwProcessId, target)) {
            const double elapsed = Seconds() - start;
            PROCESS_MEMORY_COUNTERS counters{};
            counters.cb = sizeof counters;
            if (GetProcessMemoryInfo(process.get(), &counters, sizeof counters))
                sample =
                    Sample{.milliseconds = elapsed * 1000.0,
                           .workingSetKiB = static_cast<double>(counters.WorkingSetSize) / 1024};
            break;
        }
        // Doubles as the poll interval: about a millisecond, and notices a program that exits.
        if (WaitForSingleObject(process.get(), 1) == WAIT_OBJECT_0)
            break;
    }
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 10000);
    return sample;
}

void PrintRatio(const char* what, const char* unit, double measured, double baseline,
                const Target& a, const Target& b) {
    const double ratio = measured / baseline;
    std::printf("%-19s %ls %.1f %s, %ls %.1f %s, ratio %.2f (goal <= %.1f: %s)\n", what,
                a.title.c_str(), measured, unit, b.title.c_str(), baseline, unit, ratio, kGoal,
                ratio <= kGoal ? "met" : "missed");
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 8 || _wtoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: startup_probe <runs> <exe> <title> <combos> "
                             "<baseline exe> <baseline title> <combos>\n");
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    const Target targets[2] = {{argv[2], argv[3], _wtoi(argv[4])},
                               {argv[5], argv[6], _wtoi(argv[7])}};
    // This process holds Wine's desktop for the whole run.
    GetDesktopWindow();

    std::vector<Sample> samples[2];
    // Run 0 of each warms the file cache and is not counted.
    for (int run = 0; run <= runs; ++run) {
        for (int t = 0; t < 2; ++t) {
            const std::optional<Sample> sample = MeasureOnce(targets[t]);
            if (!sample) {
                std::fprintf(stderr, "%ls: not ready within %.0f s\n", targets[t].exe.c_str(),
                             kTimeoutSeconds);
                return 1;
            }
            if (run == 0)
                continue;
            samples[t].push_back(*sample);
            std::printf("run %2d %-15ls %7.1f ms  working set %6.0f KiB\n", run,
                        targets[t].title.c_str(), sample->milliseconds, sample->workingSetKiB);
            std::fflush(stdout);
        }
    }

    double medians[2][2];
    for (int t = 0; t < 2; ++t) {
        std::vector<double> times;
        std::vector<double> workingSets;
        for (const Sample& s : samples[t]) {
            times.push_back(s.milliseconds);
            workingSets.push_back(s.workingSetKiB);
        }
        medians[t][0] = Median(times);
        medians[t][1] = Median(workingSets);
    }
    std::printf("medians of %d runs each\n", runs);
    PrintRatio("startup:", "ms", medians[0][0], medians[1][0], targets[0], targets[1]);
    PrintRatio("working set:", "KiB", medians[0][1], medians[1][1], targets[0], targets[1]);
    return 0;
}
