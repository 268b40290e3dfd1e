// LoadTips on a large tips file, against the least work any reader of that file must do:
// read it whole and convert it from the ANSI code page to UTF-16 once. Also LoadTips' peak
// memory against the file's size, measured in a child process of its own so that no earlier
// run has already raised the peak.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "bench/bench_stats.h"
#include "base/unique_handle.h"
#include "ui/runtime/runtime.h"
#include "ui/tip_of_day/frmTip.h"

namespace {

constexpr std::size_t kLines = 1'000'000;
constexpr int kRepetitions = 7;
constexpr double kTimeGoal = 1.5;
constexpr double kMemoryGoal = 3.0;

// Lines of Japanese (full and halfwidth) and ASCII phrases, about 50 bytes each with the CR LF;
// the same file every time.
bool Generate(const std::wstring& path) {
    const wchar_t* const phrases[] = {
        L"一覧から項目を選ぶと",
        L"設定はすぐに保存されます。",
        L"「既定値」を押すと",
        L"ﾜﾝﾎﾟｲﾝﾄ",
        L"JAVA Script ",
        L"Cookie ",
        L"セッションごとの",
        L"インターネット ゾーン",
        L"、",
        L"有効にする",
        L"注意を表示する",
        L"無効にする",
        L"ｱﾌﾟﾘｹｰｼｮﾝ",
        L"1400 ",
        L"tip ",
    };
    std::vector<std::string> pieces;
    for (const wchar_t* phrase : phrases)
        pieces.push_back(ToAnsi(phrase));
    std::string text;
    text.reserve(kLines * 52);
    std::uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (std::size_t line = 0; line < kLines; ++line) {
        const std::size_t target = 12 + next() % 59;
        const std::size_t start = text.size();
        while (text.size() - start < target)
            text += pieces[next() % pieces.size()];
        text += "\r\n";
    }
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) !=
               FALSE &&
           written == text.size();
}

// The least work: the whole file in one buffer, converted by one call. Returns the UTF-16
// length, or -1.
int LeastWork(const std::wstring& path) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size))
        return -1;
    const auto bytes = static_cast<DWORD>(size.QuadPart);
    const auto raw = std::make_unique_for_overwrite<char[]>(bytes);
    DWORD got = 0;
    if (!ReadFile(file.get(), raw.get(), bytes, &got, nullptr) || got != bytes)
        return -1;
    const auto wide = std::make_unique_for_overwrite<wchar_t[]>(bytes);
    return MultiByteToWideChar(CP_ACP, 0, raw.get(), static_cast<int>(bytes), wide.get(),
                               static_cast<int>(bytes));
}

std::uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

// Child: runs one load and prints how far the peak working set rose over what the process used
// just before it. (Wine's PeakPagefileUsage is the current usage, not a peak.)
int MeasureMemory(std::string_view what, const std::wstring& path) {
    frmTip tip;
    tip.Load();
    const PROCESS_MEMORY_COUNTERS before = Memory();
    bool ok = false;
    if (what == "loadtips")
        ok = tip.LoadTips(path) && tip.TipList.Count() == kLines;
    else
        ok = LeastWork(path) > 0;
    const PROCESS_MEMORY_COUNTERS after = Memory();
    if (!ok)
        return 1;
    std::printf("%llu\n",
                static_cast<unsigned long long>(after.PeakWorkingSetSize - before.WorkingSetSize));
    return 0;
}

// Runs this program again with "--memory <what> <file>"; the peak it prints, in bytes, or -1.
double MemoryInChild(const char* what, const std::string& file) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --memory " + FromAnsi(what) + L" \"" +
                           FromAnsi(file) + L"\"";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return -1;
    const UniqueFile reader(readEnd);
    UniqueFile writer(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &child))
        return -1;
    const UniqueFile process(child.hProcess);
    const UniqueFile thread(child.hThread);
    writer.reset(); // so that reading ends when the child exits
    std::string output;
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(reader.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        output.append(buffer, got);
    WaitForSingleObject(process.get(), INFINITE);
    double peak = -1;
    if (std::sscanf(output.c_str(), "%lf", &peak) != 1)
        return -1;
    return peak;
}

int Run(const std::string& file) {
    const std::wstring path = FromAnsi(file);
    const std::uint64_t size = FileSize(path);
    if (size == 0) {
        std::fprintf(stderr, "no file %s\n", file.c_str());
        return 1;
    }
    if (GetACP() != 932)
        std::printf("warning: the ANSI code page is %u, not 932\n", GetACP());
    constexpr double kMb = 1024.0 * 1024.0;
    std::printf("file: %s, %.1f MB\n", file.c_str(), static_cast<double>(size) / kMb);

    // One untimed round of each first: the file is then in the cache for both.
    std::vector<double> least;
    std::vector<double> loadTips;
    for (int round = -1; round < kRepetitions; ++round) {
        double start = Seconds();
        if (LeastWork(path) <= 0)
            return 1;
        const double leastTime = Seconds() - start;

        frmTip tip;
        tip.Load();
        start = Seconds();
        const bool loaded = tip.LoadTips(path);
        const double loadTime = Seconds() - start;
        if (!loaded || tip.TipList.Count() != kLines) {
            std::fprintf(stderr, "LoadTips read %zu lines\n", tip.TipList.Count());
            return 1;
        }
        if (round >= 0) {
            least.push_back(leastTime);
            loadTips.push_back(loadTime);
        }
    }
    const double leastMedian = Median(least);
    const double loadMedian = Median(loadTips);
    const double timeRatio = loadMedian / leastMedian;
    std::printf("time, median of %d: least work %.1f ms, LoadTips %.1f ms; ratio %.2f "
                "(goal <= %.1f)\n",
                kRepetitions, leastMedian * 1000, loadMedian * 1000, timeRatio, kTimeGoal);

    const double leastPeak = MemoryInChild("least", file);
    const double loadPeak = MemoryInChild("loadtips", file);
    if (loadPeak < 0 || leastPeak < 0) {
        std::fprintf(stderr, "a memory run failed\n");
        return 1;
    }
    const auto fileSize = static_cast<double>(size);
    const double memoryRatio = loadPeak / fileSize;
    std::printf("peak working set: LoadTips %.1f MB, least work %.1f MB; LoadTips over the "
                "file's size %.2f (goal <= %.1f)\n",
                loadPeak / kMb, leastPeak / kMb, memoryRatio, kMemoryGoal);
    const bool met = timeRatio <= kTimeGoal && memoryRatio <= kMemoryGoal;
    std::printf("%s\n", met ? "both goals met" : "GOAL MISSED");
    return met ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    Runtime::Initialize();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "--generate")
        return Generate(FromAnsi(args[1])) ? 0 : 1;
    if (args.size() == 3 && args[0] == "--memory")
        return MeasureMemory(args[1], FromAnsi(args[2]));
    if (args.size() == 1)
        return Run(args[0]);
    std::fprintf(stderr, "usage: load_tips_bench (--generate FILE | FILE)\n");
    return 1;
}
