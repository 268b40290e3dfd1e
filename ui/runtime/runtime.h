#pragma once

#include <windows.h>

#include <functional>

// The program-wide part of the window runtime: the message loop, ending the program and the
// error report for faults that escape an event handler.
namespace Runtime {

// Registers the window classes and initialises the common controls. Call once at start.
void Initialize();

// Runs the message loop until the program ends; returns the exit code.
int Run();

// Processes the messages and watched events that are waiting, without blocking (for callers
// that drive windows). Returns false once the program has ended.
bool DoEvents();

// Makes the message loop raise onSignal each time the event is set, until Unwatch. The loop
// waits for watched events and messages alike, so nothing polls.
void Watch(HANDLE event, std::function<void()> onSignal);

// Runs work once a wait for messages first finds none: the program's window is up and painted,
// and the system counts the program as ready for input. For slow work that the window can wait
// for.
void WhenIdle(std::function<void()> work);
void Unwatch(HANDLE event);

// Closes every window without raising any further event, then makes the message loop exit.
void End();

// True from End() on: no event handler runs any more.
bool Ending();

// Runs an event handler. A fault that escapes it never reaches the window procedure: the
// runtime shows the error report (a message box naming the error, titled with the application
// name) and ends the process with exit code 1.
void RaiseEvent(const std::function<void()>& handler) noexcept;

// Bookkeeping of the loaded forms, for the form windows themselves.
namespace Detail {
void AddWindow(HWND form);
// The program ends when its last loaded form goes.
void RemoveWindow(HWND form);
} // namespace Detail

} // namespace Runtime
