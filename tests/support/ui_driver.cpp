#include <windows.h>

#include "tests/support/ui_driver.h"

#include <gtest/gtest.h>

#include "base/unique_handle.h"
#include "ui/runtime/runtime.h"

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    while (!done()) {
        if (GetTickCount64() > end)
            return false;
        Runtime::DoEvents();
        Sleep(5);
    }
    Runtime::DoEvents();
    return true;
}

void PumpFor(int ms) {
    PumpUntil([] { return false; }, ms);
}

namespace {

MessageBoxAnswerer* active = nullptr; // one at a time

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input{INPUT_MOUSE, {}};
    input.mi.dx = dx, input.mi.dy = dy, input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// A key by its virtual-key code, or a character (vk 0) as an input method types it.
void SendKey(WORD vk, DWORD flags, wchar_t character = 0) {
    INPUT input{INPUT_KEYBOARD, {}};
    input.ki.wVk = vk, input.ki.dwFlags = flags;
    input.ki.wScan = vk ? static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) : character;
    SendInput(1, &input, sizeof input);
}

// A visible top-level window of the given class and thread (or process).
HWND FindWindowOf(DWORD threadId, DWORD processId, const wchar_t* className) {
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr));) {
        DWORD pid = 0;
        const DWORD tid = GetWindowThreadProcessId(window, &pid);
        if ((tid == threadId || pid == processId) && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

} // namespace

void MoveMouse(POINT screen) {
    // Absolute coordinates are 0..65535 over the primary screen.
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
              MulDiv(screen.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1,
              MulDiv(screen.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1);
}

void ClickAt(HWND window, POINT client) {
    ClientToScreen(window, &client);
    MoveMouse(client);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
}

void ClickCenter(HWND window) {
    RECT rect;
    GetClientRect(window, &rect);
    ClickAt(window, {rect.right / 2, rect.bottom / 2});
}

void PressKey(WORD vk, bool shift) {
    if (shift)
        SendKey(VK_SHIFT, 0);
    SendKey(vk, 0);
    SendKey(vk, KEYEVENTF_KEYUP);
    if (shift)
        SendKey(VK_SHIFT, KEYEVENTF_KEYUP);
}

void TypeText(std::wstring_view text) {
    for (const wchar_t c : text)
        for (const int flags : {KEYEVENTF_UNICODE, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP})
            SendKey(0, flags, c);
}

void Activate(HWND window) {
    SetForegroundWindow(window);
    SetActiveWindow(window);
    PumpFor(30);
}

void PickEntry(HWND combo, int entry, bool withMouse) {
    const auto dropped = [&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; };
    COMBOBOXINFO info{sizeof info, {}, {}, 0, nullptr, nullptr, nullptr};
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    const RECT& b = info.rcButton;
    withMouse ? ClickAt(combo, {(b.left + b.right) / 2, (b.top + b.bottom) / 2})
              : (SetFocus(combo), PumpFor(10), PressKey(VK_F4));
    ASSERT_TRUE(PumpUntil(dropped)) << "the list did not open";
    if (withMouse) {
        RECT item{};
        SendMessageW(info.hwndList, LB_GETITEMRECT, entry, reinterpret_cast<LPARAM>(&item));
        ClickAt(info.hwndList, {item.left + 5, (item.top + item.bottom) / 2});
    } else { // from wherever the highlight is, to the top, then down to the entry
        for (int i = 0; i < 6 + entry; ++i)
            PressKey(i < 6 ? VK_UP : VK_DOWN);
        PressKey(VK_RETURN);
    }
    ASSERT_TRUE(PumpUntil([&] { return !dropped(); })) << "the list did not close";
    PumpFor(20);
}

MessageBoxAnswerer::MessageBoxAnswerer(int button)
    : button_(button), timer_(SetTimer(nullptr, 0, 50, Look)) {
    active = this;
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    KillTimer(nullptr, timer_);
    active = nullptr;
}

void MessageBoxAnswerer::Look(HWND, UINT, UINT_PTR, DWORD) {
    const HWND dialog = FindWindowOf(GetCurrentThreadId(), 0, L"#32770");
    if (dialog == nullptr || dialog == active->answered_)
        return;
    active->answered_ = dialog;
    wchar_t title[256] = {};
    wchar_t text[1024] = {};
    GetWindowTextW(dialog, title, 256);
    GetDlgItemTextW(dialog, 0xFFFF, text, 1024); // the message's static control
    SeenMessageBox box{title, text, GetWindow(dialog, GW_OWNER),
                       GetDlgItem(dialog, IDYES) ? MB_YESNO : 0u};
    // The icon's static holds a shared IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION or IDI_ASTERISK.
    const auto icon = SendDlgItemMessageW(dialog, 0x0440, STM_GETICON, 0, 0);
    for (const UINT i : {0, 1, 2, 3})
        if (icon == reinterpret_cast<LRESULT>(LoadIconW(nullptr, MAKEINTRESOURCEW(32513 + i))))
            box.style |= MB_ICONHAND * (i + 1);
    if (GetDlgCtrlID(GetFocus()) != (box.style & MB_YESNO ? IDYES : IDOK))
        box.style |= MB_DEFBUTTON2;
    active->seen_.push_back(box);
    const HWND target = GetDlgItem(dialog, active->button_);
    ClickCenter(target ? target : GetDlgItem(dialog, IDOK));
}

void PrintTo(const SeenMessageBox& box, std::ostream* out) {
    *out << testing::PrintToString(box.title) << " " << testing::PrintToString(box.text)
         << " owner " << box.owner << " style " << box.style;
}

HWND FindWindowOfProcess(DWORD processId, const wchar_t* className) {
    return FindWindowOf(0, processId, className);
}

DWORD RunChild(const wchar_t* scenario, const std::function<void(DWORD)>& drive) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --gtest_filter=DISABLED_Child." +
                               scenario + L" --gtest_also_run_disabled_tests";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return STILL_ACTIVE;
    const UniqueKernelHandle process(info.hProcess);
    const UniqueKernelHandle thread(info.hThread);
    drive(info.dwProcessId);
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.get(), 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.get(), STILL_ACTIVE);
    WaitForSingleObject(process.get(), 5000);
    GetExitCodeProcess(process.get(), &code);
    return code;
}

// The main of the test programs: the runtime is set up once, as the program does at start.
int main(int argc, char** argv) {
    Runtime::Initialize();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
