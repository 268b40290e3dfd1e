// The message loop, the watched events, ending the program and the error report.

#include <windows.h>
#include <commctrl.h>

#include "ui/runtime/runtime.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "base/text.h"
#include "ui/runtime/app_info.h"
#include "ui/runtime/combo_field.h"
#include "ui/runtime/dpi.h"
#include "ui/runtime/window_classes.h"

namespace Runtime {
namespace {

std::vector<HWND> loadedForms;
bool ending = false;
// The watched events, and what each raises: two lists in step, the first for the wait.
std::vector<HANDLE> watchedEvents;
std::vector<std::function<void()>> onSignals;
std::vector<std::function<void()>> idleWork;

bool IsLoadedForm(HWND hwnd) {
    return std::find(loadedForms.begin(), loadedForms.end(), hwnd) != loadedForms.end();
}

void Dispatch(MSG& msg) {
    // Enter and Escape in an open drop-down list pick or cancel. Neither the dialog manager nor
    // the edit field may take them: the dialog manager would swallow them, and Wine's edit field
    // closes the list in WM_CHAR, which the field's procedure gives the key-press handler first.
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
        if (ComboField* list = ComboField::OfField(msg.hwnd); list && list->Open()) {
            list->CloseList(msg.wParam == VK_RETURN);
            return;
        }
    }
    // The dialog manager gives forms Tab, Enter, Escape and access keys.
    if (msg.hwnd) {
        const HWND root = GetAncestor(msg.hwnd, GA_ROOT);
        if (IsLoadedForm(root) && IsDialogMessageW(root, &msg))
            return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

[[noreturn]] void FatalError(const std::wstring& description) noexcept {
    ending = true;
    const std::wstring text =
        L"実行時エラーが発生したため、プログラムを終了します。\r\n\r\n" + description;
    MessageBoxW(nullptr, text.c_str(), App::Title().c_str(),
                MB_OK | MB_ICONSTOP | MB_TASKMODAL | MB_SETFOREGROUND);
    ExitProcess(1);
}

// Waits up to timeoutMs for a watched event or a message; raises what the event asks for, then
// dispatches every message waiting. A wait that found nothing is the moment for the idle work.
// False once the quit message came, with its exit code.
bool Pump(DWORD timeoutMs, int& exitCode) {
    const auto count = static_cast<DWORD>(watchedEvents.size());
    const DWORD woken = MsgWaitForMultipleObjectsEx(count, watchedEvents.data(), timeoutMs,
                                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woken < WAIT_OBJECT_0 + count) {
        const std::function<void()> onSignal = onSignals[woken - WAIT_OBJECT_0];
        RaiseEvent(onSignal);
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            exitCode = static_cast<int>(msg.wParam);
            return false;
        }
        Dispatch(msg);
    }
    // The system now counts the program as ready for input: Windows from an empty PeekMessage
    // on, Wine only from a wait that found nothing.
    if (woken == WAIT_TIMEOUT)
        for (auto work = std::exchange(idleWork, {}); auto& step : work)
            RaiseEvent(step);
    return true;
}

} // namespace

void Initialize() {
    Dpi::BecomePerMonitorAware();
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&icc);
    RegisterWindowClasses();
}

int Run() {
    int exitCode = 0;
    // Idle work waiting: a wait that only looks.
    while (Pump(idleWork.empty() ? INFINITE : 0, exitCode)) {
    }
    return exitCode;
}

bool DoEvents() {
    int exitCode = 0;
    return Pump(0, exitCode);
}

void Watch(HANDLE event, std::function<void()> onSignal) {
    if (!event)
        return;
    watchedEvents.push_back(event);
    onSignals.push_back(std::move(onSignal));
}

void WhenIdle(std::function<void()> work) {
    idleWork.push_back(std::move(work));
}

void Unwatch(HANDLE event) {
    const auto it = std::find(watchedEvents.begin(), watchedEvents.end(), event);
    if (it == watchedEvents.end())
        return;
    onSignals.erase(onSignals.begin() + (it - watchedEvents.begin()));
    watchedEvents.erase(it);
}

void End() {
    ending = true;
    for (const HWND form : std::vector<HWND>(loadedForms))
        DestroyWindow(form);
    PostQuitMessage(0);
}

bool Ending() {
    return ending;
}

void RaiseEvent(const std::function<void()>& handler) noexcept {
    if (ending)
        return;
    try {
        handler();
    } catch (const std::exception& e) {
        FatalError(FromAnsi(e.what()));
    } catch (...) {
        FatalError(L"不明なエラー");
    }
}

namespace Detail {

void AddWindow(HWND form) {
    loadedForms.push_back(form);
}

void RemoveWindow(HWND form) {
    const auto it = std::find(loadedForms.begin(), loadedForms.end(), form);
    if (it == loadedForms.end())
        return;
    loadedForms.erase(it);
    if (loadedForms.empty() && !ending)
        PostQuitMessage(0);
}

} // namespace Detail
} // namespace Runtime
