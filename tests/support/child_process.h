#pragma once

#include <windows.h>

#include <string>

#include "base/unique_handle.h"

// What ends a process (the exit button, the error report) is tested in a child: the test
// program starts itself again with "--child <scenario>", and main runs that scenario instead of
// the tests.
using ChildScenario = int (*)();

struct ChildScenarioRegistration {
    ChildScenarioRegistration(const char* name, ChildScenario scenario);
};

#define CHILD_SCENARIO(name)                                                                       \
    static int name##Scenario();                                                                   \
    static const ChildScenarioRegistration name##Registration(#name, name##Scenario);              \
    static int name##Scenario()

// Runs the named scenario when the command line asks for one; false otherwise.
bool RunChildScenarioIfAsked(int argc, char** argv, int& exitCode);

class ChildProcess {
  public:
    explicit ChildProcess(const std::string& scenario);
    ~ChildProcess(); // kills the child if it is still running

    DWORD Id() const { return id_; }
    // Waits for the child to end; false on timeout.
    bool Wait(DWORD ms) const;
    DWORD ExitCode() const;
    bool Running() const { return !Wait(0); }

  private:
    UniqueFile process_; // a process handle closes like a file handle
    DWORD id_ = 0;
};
