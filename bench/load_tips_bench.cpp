// LoadTips on three tips files of about 50 MB — many short lines, one long line, and lines of
// invalid Shift-JIS — against the least work any reader of such a file must do: read it whole
// and convert it from the ANSI code page to UTF-16 once. Also LoadTips' peak memory against the
// file's size, measured in a child process of its own so that no earlier run has already raised
// the peak.
#include <windows.h>
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "base/unique_handle.h"
#include "bench/bench_stats.h"
#include "ui/runtime/runtime.h"
#include "ui/tip_of_day/frmTip.h"

namespace {

constexpr std::size_t kFileBytes = std::size_t{50} << 20;
constexpr int kRepetitions = 7;
constexpr double kTimeGoal = 1.5;
constexpr double kMemoryGoal = 3.0;

// Japanese (full and halfwidth) and ASCII phrases in the ANSI code page; only those of one byte
// per character when oneByte.
std::vector<std::string> Phrases(bool oneByte) {
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
    for (const wchar_t* phrase : phrases) {
        std::string piece = ToAnsi(phrase).value();
        if (!oneByte || piece.size() == std::wstring_view(phrase).size())
            pieces.push_back(std::move(piece));
    }
    return pieces;
}

// Bytes that are no Shift-JIS text: lone lead bytes (one before every CR), a lone trail byte,
// unassigned bytes, a NUL.
constexpr std::string_view kInvalid[] = {
    "\x82", "\xff", "\xa0", "\x80", std::string_view("\0", 1), "\xfd\xfe"};

struct Shape {
    const char* name;
    const char* file;
    // Line lengths, before the phrases that fill them, are 0 to maxLine - 1 bytes; 0 for one
    // line that fills the file.
    std::uint32_t maxLine;
    // Only phrases of one-byte characters, which take the most memory as UTF-16.
    bool oneByte;
    bool invalid;
};

constexpr Shape kShapes[] = {
    {"many short lines", "tips-short.txt", 44, true, false},
    {"one long line", "tips-long.txt", 0, false, false},
    {"invalid Shift-JIS", "tips-invalid.txt", 44, false, true},
};

// The same file for a shape every time; the number of lines it holds.
std::size_t Generate(const Shape& shape, std::string& text) {
    const std::vector<std::string> pieces = Phrases(shape.oneByte);
    text.clear();
    text.reserve(kFileBytes + 128);
    std::uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    std::size_t lines = 0;
    while (text.size() < kFileBytes) {
        const std::size_t target = shape.maxLine == 0 ? kFileBytes : next() % shape.maxLine;
        const std::size_t start = text.size();
        while (text.size() - start < target) {
            text += pieces[next() % pieces.size()];
            if (shape.invalid)
                text += kInvalid[next() % std::size(kInvalid)];
        }
        if (shape.invalid)
            text += '\x82';
        if (shape.maxLine != 0)
            text += next() % 4 == 0 ? "\r" : "\r\n";
        ++lines;
    }
    return lines;
}

bool WriteFileBytes(const std::wstring& path, const std::string& text) {
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

// A fresh tip window loads the file; false unless it read every line.
bool LoadTipsOnce(const std::wstring& path, std::size_t lines) {
    frmTip tip;
    tip.Load();
    return tip.LoadTips(path) && tip.TipList.Count() == lines;
}

// Child: runs one load and prints how far the peak working set rose over what the process used
// just before it. (Wine's PeakPagefileUsage is the current usage, not a peak.)
int MeasureMemory(std::string_view what, const std::wstring& path, std::size_t lines) {
    frmTip tip;
    tip.Load();
    const PROCESS_MEMORY_COUNTERS before = Memory();
    bool ok = false;
    if (what == "loadtips")
        ok = tip.LoadTips(path) && tip.TipList.Count() == lines;
    else
        ok = LeastWork(path) > 0;
    const PROCESS_MEMORY_COUNTERS after = Memory();
    if (!ok)
        return 1;
    std::printf("%llu\n",
                static_cast<unsigned long long>(after.PeakWorkingSetSize - before.WorkingSetSize));
    return 0;
}

// Runs this program again with "--memory <what> <file> <lines>"; the peak it prints, in bytes,
// or -1.
double MemoryInChild(const char* what, const std::wstring& file, std::size_t lines) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --memory " + FromAnsi(what) + L" \"" +
                           file + L"\" " + std::to_wstring(lines);
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

// Times and measures one shape, writing its file into folder first when it is not there yet.
// True when both goals are met; failed when a run could not be made.
bool RunShape(const Shape& shape, const std::wstring& folder, bool& failed) {
    const std::wstring path = folder + L"\\" + FromAnsi(shape.file);
    std::string text;
    const std::size_t lines = Generate(shape, text);
    if (FileSize(path) != text.size() && !WriteFileBytes(path, text)) {
        failed = true;
        return false;
    }
    text = {};
    constexpr double kMb = 1024.0 * 1024.0;
    const auto size = static_cast<double>(FileSize(path));
    std::printf("== %s: %s, %.1f MB, %zu lines\n", shape.name, shape.file, size / kMb, lines);

    // One untimed round of each first: the file is then in the cache for both.
    std::vector<double> least;
    std::vector<double> loadTips;
    for (int round = -1; round < kRepetitions; ++round) {
        double start = Seconds();
        const bool read = LeastWork(path) > 0;
        const double leastTime = Seconds() - start;
        start = Seconds();
        const bool loaded = LoadTipsOnce(path, lines);
        const double loadTime = Seconds() - start;
        if (!read || !loaded) {
            std::fprintf(stderr, "reading %s failed\n", shape.file);
            failed = true;
            return false;
        }
        if (round >= 0) {
            least.push_back(leastTime);
            loadTips.push_back(loadTime);
        }
    }
    const double timeRatio = Median(loadTips) / Median(least);
    std::printf("time, median of %d: least work %.1f ms, LoadTips %.1f ms; ratio %.2f "
                "(goal <= %.1f)\n",
                kRepetitions, Median(least) * 1000, Median(loadTips) * 1000, timeRatio, kTimeGoal);

    const double leastPeak = MemoryInChild("least", path, lines);
    const double loadPeak = MemoryInChild("loadtips", path, lines);
    if (loadPeak < 0 || leastPeak < 0) {
        std::fprintf(stderr, "a memory run failed\n");
        failed = true;
        return false;
    }
    const double memoryRatio = loadPeak / size;
    std::printf("peak working set: LoadTips %.1f MB, least work %.1f MB; LoadTips over the "
                "file's size %.2f (goal <= %.1f)\n",
                loadPeak / kMb, leastPeak / kMb, memoryRatio, kMemoryGoal);
    return timeRatio <= kTimeGoal && memoryRatio <= kMemoryGoal;
}

int Run(const std::wstring& folder) {
    if (GetACP() != 932)
        std::printf("warning: the ANSI code page is %u, not 932\n", GetACP());
    bool met = true;
    bool failed = false;
    for (const Shape& shape : kShapes)
        met = RunShape(shape, folder, failed) && met;
    if (failed)
        return 1;
    std::printf("%s\n", met ? "every goal met" : "GOAL MISSED");
    return met ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    Runtime::Initialize();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "--memory")
        return MeasureMemory(args[1], FromAnsi(args[2]), std::stoull(args[3]));
    if (args.size() == 1)
        return Run(FromAnsi(args[0]));
    std::fprintf(stderr, "usage: load_tips_bench FOLDER (the tips files are made there)\n");
    return 1;
}
