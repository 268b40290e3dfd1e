#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/child_process.h"
#include "ui/runtime/runtime.h"

// The main of the test programs that open windows: the runtime is set up once, as the program
// does at start, and a "--child <scenario>" command line runs that scenario instead.
int main(int argc, char** argv) {
    Runtime::Initialize();
    int exitCode = 0;
    if (RunChildScenarioIfAsked(argc, argv, exitCode))
        return exitCode;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
