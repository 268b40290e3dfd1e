#include <windows.h>

#include "tests/support/ui_driver.h"

#include <gtest/gtest.h>

#include <algorithm>

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

void SendMouse(DWORD flags, POINT screen = {}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    if (flags & MOUSEEVENTF_MOVE) {
        // Absolute coordinates are 0..65535 over the primary screen.
        input.mi.dx = MulDiv(screen.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
        input.mi.dy = MulDiv(screen.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
        flags |= MOUSEEVENTF_ABSOLUTE;
    }
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

void SendKey(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

std::wstring TextOf(HWND hwnd) {
    wchar_t buffer[1024] = {};
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                        1000, nullptr);
    return buffer;
}

// A visible dialog (message boxes are of class #32770), of the given process unless pid is 0.
struct DialogSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindVisibleDialog(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if ((search->pid == 0 || pid == search->pid) && std::wstring_view(cls) == L"#32770" &&
        IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

void ClickAt(HWND window, POINT client) {
    ClientToScreen(window, &client);
    SendMouse(MOUSEEVENTF_MOVE, client);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
}

void ClickCenter(HWND window) {
    RECT rect;
    GetClientRect(window, &rect);
    ClickAt(window, {rect.right / 2, rect.bottom / 2});
}

void PressKey(WORD vk, bool shift, bool alt) {
    if (shift)
        SendKey(VK_SHIFT, false);
    if (alt)
        SendKey(VK_MENU, false);
    SendKey(vk, false);
    SendKey(vk, true);
    if (alt)
        SendKey(VK_MENU, true);
    if (shift)
        SendKey(VK_SHIFT, true);
}

void TypeText(std::wstring_view text) {
    for (const wchar_t c : text) {
        INPUT input[2]{};
        for (int i = 0; i < 2; ++i) {
            input[i].type = INPUT_KEYBOARD;
            input[i].ki.wScan = c;
            input[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
        }
        SendInput(2, input, sizeof input[0]);
    }
}

void Activate(HWND window) {
    SetForegroundWindow(window);
    SetActiveWindow(window);
    PumpFor(30);
}

void PickEntry(HWND combo, int entry, bool withMouse) {
    const auto dropped = [&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; };
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    if (withMouse) {
        const RECT& b = info.rcButton;
        ClickAt(combo, {(b.left + b.right) / 2, (b.top + b.bottom) / 2});
    } else {
        SetFocus(combo);
        PumpFor(10);
        PressKey(VK_F4);
    }
    ASSERT_TRUE(PumpUntil(dropped)) << "the list did not open";
    if (withMouse) {
        RECT item{};
        SendMessageW(info.hwndList, LB_GETITEMRECT, entry, reinterpret_cast<LPARAM>(&item));
        ClickAt(info.hwndList, {item.left + 5, (item.top + item.bottom) / 2});
    } else {
        // From wherever the highlight is, go to the top, then down to the entry.
        for (int i = 0; i < 6; ++i)
            PressKey(VK_UP);
        for (int i = 0; i < entry; ++i)
            PressKey(VK_DOWN);
        PressKey(VK_RETURN);
    }
    ASSERT_TRUE(PumpUntil([&] { return !dropped(); })) << "the list did not close";
    PumpFor(20);
}

MessageBoxAnswerer::MessageBoxAnswerer(int button)
    : button_(button), threadId_(GetCurrentThreadId()), thread_([this] { Watch(); }) {}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    stop_ = true;
    thread_.join();
}

std::vector<SeenMessageBox> MessageBoxAnswerer::Seen() const {
    std::lock_guard lock(mutex_);
    return seen_;
}

void MessageBoxAnswerer::Watch() {
    std::vector<HWND> answered;
    while (!stop_) {
        DialogSearch search{0, nullptr};
        EnumThreadWindows(threadId_, FindVisibleDialog, reinterpret_cast<LPARAM>(&search));
        const HWND dialog = search.found;
        if (dialog != nullptr &&
            std::find(answered.begin(), answered.end(), dialog) == answered.end()) {
            Sleep(50); // let it finish appearing, as a person would
            SeenMessageBox box;
            box.title = TextOf(dialog);
            box.text = TextOf(GetDlgItem(dialog, 0xFFFF)); // the message's static control
            box.owner = GetWindow(dialog, GW_OWNER);
            box.hasYes = GetDlgItem(dialog, IDYES) != nullptr;
            box.hasNo = GetDlgItem(dialog, IDNO) != nullptr;
            box.hasOk = GetDlgItem(dialog, IDOK) != nullptr;
            box.icon = reinterpret_cast<HICON>(
                SendDlgItemMessageW(dialog, 0x0440, STM_GETICON, 0, 0)); // the icon's static
            GUITHREADINFO gui{};
            gui.cbSize = sizeof gui;
            if (GetGUIThreadInfo(threadId_, &gui) && gui.hwndFocus)
                box.defaultButton = GetDlgCtrlID(gui.hwndFocus);
            {
                std::lock_guard lock(mutex_);
                seen_.push_back(box);
            }
            answered.push_back(dialog);
            // A box without the asked-for button (a plain notice) is acknowledged with OK.
            const HWND target = GetDlgItem(dialog, button_);
            ClickCenter(target ? target : GetDlgItem(dialog, IDOK));
        }
        Sleep(20);
    }
}

HWND FindDialogOfProcess(DWORD processId) {
    DialogSearch search{processId, nullptr};
    EnumWindows(FindVisibleDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
