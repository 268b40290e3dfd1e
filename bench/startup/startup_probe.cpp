// Starts programs in turn, alternating, and measures each run from outside: the time from
// CreateProcess until the program waits for input with its top-level window of the given title
// visible and the given number of its combo boxes showing a text, and the program's working set
// at that moment.
// Prints every run, the medians, and the first program's medians over each other program's.
//
// The second program is the first one's baseline, the one the goal is set against. On the
// unmeasured first run the probe checks that both windows hold the same child windows in the
// same order, each with the same class, client rectangle and text.
//
// Usage: startup_probe <runs> <exe> <title> <combos> <baseline exe> <title> <combos> [...]
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "base/unique_handle.h"
#include "bench/bench_stats.h"

namespace {

constexpr double kTimeoutSeconds = 30.0;
// A program busy starting up answers late; one that does not answer in this time is not ready.
constexpr UINT kMessageTimeoutMs = 200;
constexpr double kGoal = 1.05;

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

// WM_GETTEXT is marshalled across processes; empty when the window does not answer in time.
std::wstring TextOf(HWND hwnd) {
    wchar_t text[64] = {};
    DWORD_PTR length = 0;
    if (SendMessageTimeoutW(hwnd, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length) == 0)
        return {};
    return text;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t className[32] = {};
    GetClassNameW(hwnd, className, static_cast<int>(std::size(className)));
    return className;
}

// Counts the combo boxes whose text is not empty.
BOOL CALLBACK CountFilledComboBox(HWND hwnd, LPARAM lp) {
    if (lstrcmpiW(ClassOf(hwnd).c_str(), L"ComboBox") == 0 && !TextOf(hwnd).empty())
        ++*reinterpret_cast<int*>(lp);
    return TRUE;
}

// One line for each child window of the form, in window order: class, client rectangle, text.
BOOL CALLBACK DescribeChild(HWND hwnd, LPARAM lp) {
    auto* lines = reinterpret_cast<std::vector<std::wstring>*>(lp);
    const HWND form = GetAncestor(hwnd, GA_ROOT);
    if (GetAncestor(hwnd, GA_PARENT) != form)
        return TRUE;
    RECT rect;
    GetWindowRect(hwnd, &rect);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&rect), 2);
    wchar_t line[160];
    std::swprintf(line, std::size(line), L"%-10ls %3ld %3ld %3ld %3ld  %ls", ClassOf(hwnd).c_str(),
                  rect.left, rect.top, rect.right, rect.bottom, TextOf(hwnd).c_str());
    lines->push_back(line);
    return TRUE;
}

HWND ReadyWindow(DWORD processId, const Target& target) {
    WindowSearch search{.processId = processId, .title = target.title.c_str()};
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr)
        return nullptr;
    int filled = 0;
    if (target.combos > 0)
        EnumChildWindows(search.found, CountFilledComboBox, reinterpret_cast<LPARAM>(&filled));
    return filled >= target.combos ? search.found : nullptr;
}

struct Run {
    std::optional<Sample> sample;
    std::vector<std::wstring> children; // the ready window's, when asked for
};

// One run: start the program, poll until it is ready, read its memory counters (and describe
// its window when asked), end it. No sample when it cannot start, exits or is not ready in time.
Run MeasureOnce(const Target& target, bool describe) {
    std::wstring directory = target.exe.substr(0, target.exe.find_last_of(L"\\/") + 1);
    std::wstring commandLine = L"\"" + target.exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    Run run;
    const double start = Seconds();
    if (!CreateProcessW(target.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &info))
        return run;
    const UniqueKernelHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);

    // Polling loads the Wine server that the program needs too, so first wait without it until
    // the program waits for input: it has shown and painted its window by then.
    WaitForInputIdle(process.get(), static_cast<DWORD>(kTimeoutSeconds * 1000));
    while (Seconds() - start < kTimeoutSeconds) {
        const double checked = Seconds();
        if (const HWND ready = ReadyWindow(info.dwProcessId, target)) {
            const double elapsed = checked - start;
            PROCESS_MEMORY_COUNTERS counters{};
            counters.cb = sizeof counters;
            if (GetProcessMemoryInfo(process.get(), &counters, sizeof counters))
                run.sample =
                    Sample{.milliseconds = elapsed * 1000.0,
                           .workingSetKiB = static_cast<double>(counters.WorkingSetSize) / 1024};
            if (describe)
                EnumChildWindows(ready, DescribeChild, reinterpret_cast<LPARAM>(&run.children));
            break;
        }
        // Doubles as the poll interval: about a millisecond, and notices a program that exits.
        if (WaitForSingleObject(process.get(), 1) == WAIT_OBJECT_0)
            break;
    }
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 10000);
    return run;
}

// The program and its baseline must show the same window; prints the two when they do not.
bool SameChildren(const Run& a, const Run& b, const Target& ta, const Target& tb) {
    if (a.children == b.children)
        return true;
    for (const auto& [run, target] : {std::pair{&a, &ta}, {&b, &tb}}) {
        std::fprintf(stderr, "%ls:\n", target->title.c_str());
        for (const std::wstring& line : run->children)
            std::fprintf(stderr, "  %ls\n", line.c_str());
    }
    return false;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 8 || (argc - 2) % 3 != 0 || _wtoi(argv[1]) < 1) {
        std::fprintf(stderr, "usage: startup_probe <runs> <exe> <title> <combos> "
                             "<baseline exe> <title> <combos> [<exe> <title> <combos> ...]\n");
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    std::vector<Target> targets;
    for (int i = 2; i + 2 < argc; i += 3)
        targets.push_back({argv[i], argv[i + 1], _wtoi(argv[i + 2])});
    const size_t count = targets.size();
    // This process holds Wine's desktop for the whole run.
    GetDesktopWindow();

    std::vector<std::vector<Sample>> samples(count);
    std::vector<Run> firstRuns(count);
    // Run 0 of each warms the file cache and is not counted. Each run starts with the next
    // program, so that none always follows the same one.
    for (int run = 0; run <= runs; ++run) {
        for (size_t k = 0; k < count; ++k) {
            const size_t t = (static_cast<size_t>(run) + k) % count;
            Run result = MeasureOnce(targets[t], run == 0);
            if (!result.sample) {
                std::fprintf(stderr, "%ls: not ready within %.0f s\n", targets[t].exe.c_str(),
                             kTimeoutSeconds);
                return 1;
            }
            if (run == 0) {
                firstRuns[t] = std::move(result);
                continue;
            }
            samples[t].push_back(*result.sample);
            std::printf("run %2d %-15ls %7.1f ms  working set %6.0f KiB\n", run,
                        targets[t].title.c_str(), result.sample->milliseconds,
                        result.sample->workingSetKiB);
            std::fflush(stdout);
        }
        if (run == 0 && !SameChildren(firstRuns[0], firstRuns[1], targets[0], targets[1])) {
            std::fprintf(stderr, "%ls and %ls do not show the same window\n",
                         targets[0].title.c_str(), targets[1].title.c_str());
            return 1;
        }
    }

    std::vector<Sample> medians;
    std::printf("medians of %d runs each\n", runs);
    for (size_t t = 0; t < count; ++t) {
        std::vector<double> times;
        std::vector<double> workingSets;
        for (const Sample& s : samples[t]) {
            times.push_back(s.milliseconds);
            workingSets.push_back(s.workingSetKiB);
        }
        medians.push_back({Median(times), Median(workingSets)});
        std::printf("  %-15ls %7.1f ms  working set %6.0f KiB\n", targets[t].title.c_str(),
                    medians[t].milliseconds, medians[t].workingSetKiB);
    }
    for (size_t t = 1; t < count; ++t) {
        const double time = medians[0].milliseconds / medians[t].milliseconds;
        const double memory = medians[0].workingSetKiB / medians[t].workingSetKiB;
        std::printf("%ls / %ls: startup %.2f, working set %.2f", targets[0].title.c_str(),
                    targets[t].title.c_str(), time, memory);
        if (t == 1)
            std::printf(" (goal <= %.2f: %s)", kGoal,
                        time <= kGoal && memory <= kGoal ? "met" : "missed");
        std::printf("\n");
    }
    return 0;
}
