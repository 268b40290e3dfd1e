#include <gtest/gtest.h>

#include "ui/runtime/runtime.h"

// The main of the test programs that open windows: the runtime is set up once, as the program
// does at start.
int main(int argc, char** argv) {
    Runtime::Initialize();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
