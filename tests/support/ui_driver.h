#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// Drives the program's windows as a user does: real input through SendInput, which the system
// routes to whatever window is under the pointer or has the focus, and message boxes answered
// by clicking their buttons. The windows live on the test's own thread, so every wait pumps
// its messages.

// Processes this thread's messages for about ms milliseconds.
void PumpFor(int ms);
// Processes messages until done() holds; false after timeoutMs.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// A left click at a point of a window's client area (in pixels), or at its centre.
void ClickAt(HWND window, POINT client);
void ClickCenter(HWND window);
// Presses and releases a key, with Shift or Alt held when asked.
void PressKey(WORD vk, bool shift = false, bool alt = false);
// Types text as characters, as an input method delivers them.
void TypeText(std::wstring_view text);
// Makes the window the active, focused top-level window.
void Activate(HWND window);
// Picks entry n of a drop-down combo box as a user does: opens it with the mouse and clicks the
// entry, or opens it with F4, moves there with the arrow keys and presses Enter.
void PickEntry(HWND combo, int entry, bool withMouse);

// What one message box looked like.
struct SeenMessageBox {
    std::wstring title;
    std::wstring text;
    HWND owner = nullptr;
    bool hasYes = false, hasNo = false, hasOk = false;
    HICON icon = nullptr;
    int defaultButton = 0; // the control ID of the button that had the focus
};

// Answers every message box that this process opens while the object lives by clicking the
// given button (IDYES, IDNO, IDOK) — or OK where the box has no such button — and records
// each one.
class MessageBoxAnswerer {
  public:
    explicit MessageBoxAnswerer(int button);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    std::vector<SeenMessageBox> Seen() const;

  private:
    void Watch();

    int button_;
    DWORD threadId_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<SeenMessageBox> seen_;
    std::thread thread_;
};

// A dialog (class #32770) of the given process that is visible, or nullptr.
HWND FindDialogOfProcess(DWORD processId);
