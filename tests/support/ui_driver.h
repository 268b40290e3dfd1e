#pragma once

#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// Drives the program's windows as a user does, with real input (SendInput) and message boxes
// answered by clicking their buttons. The windows live on the test's thread: every wait pumps.

// Processes this thread's messages until done() holds (false after timeoutMs), or for ms.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
void PumpFor(int ms);

// Moves the mouse to a point of the screen, in pixels.
void MoveMouse(POINT screen);
// A left click at a point of a window's client area (in pixels), or at its centre.
void ClickAt(HWND window, POINT client);
void ClickCenter(HWND window);
// Presses and releases a key, with Shift held when asked; types text as an input method does.
void PressKey(WORD vk, bool shift = false);
void TypeText(std::wstring_view text);
void Activate(HWND window);
// Picks entry n of a drop-down list: arrow and click, or F4, arrow keys and Enter.
void PickEntry(HWND combo, int entry, bool withMouse);

// One message box as the user saw it; style as MessageBox takes it (buttons, icon, default).
struct SeenMessageBox {
    std::wstring title, text;
    HWND owner = nullptr;
    UINT style = 0;
    bool operator==(const SeenMessageBox&) const = default;
};
void PrintTo(const SeenMessageBox& box, std::ostream* out);

// Answers every message box of this thread while it lives by clicking the given button, or OK
// where the box has none, and records each one (from a timer, which their loops run too).
class MessageBoxAnswerer {
  public:
    explicit MessageBoxAnswerer(int button);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    const std::vector<SeenMessageBox>& Seen() const { return seen_; }

  private:
    static void CALLBACK Look(HWND, UINT, UINT_PTR, DWORD);

    int button_;
    UINT_PTR timer_;
    HWND answered_ = nullptr; // the last one
    std::vector<SeenMessageBox> seen_;
};

// A visible top-level window of the given process and class (message boxes are dialogs).
HWND FindWindowOfProcess(DWORD processId, const wchar_t* className = L"#32770");

// Runs the disabled test DISABLED_Child.<scenario> in a child process of this test program and
// drive(its id) on it; gives its exit code, or STILL_ACTIVE when it is killed after 10 s.
DWORD RunChild(const wchar_t* scenario, const std::function<void(DWORD)>& drive);
