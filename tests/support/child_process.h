#pragma once

#include <windows.h>

#include "base/unique_handle.h"

// What ends a process (the exit button, the error report) is tested in a child: the test
// program starts itself again to run one of its disabled tests, DISABLED_Child.<scenario>,
// which only a child runs.
class ChildProcess {
  public:
    explicit ChildProcess(const wchar_t* scenario);
    ~ChildProcess(); // kills the child if it is still running

    DWORD Id() const { return id_; }
    // Waits for the child to end; false on timeout.
    bool Wait(DWORD ms) const { return WaitForSingleObject(process_.get(), ms) == WAIT_OBJECT_0; }
    DWORD ExitCode() const;

  private:
    UniqueKernelHandle process_;
    DWORD id_ = 0;
};
