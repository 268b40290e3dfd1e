#include <windows.h>

#include <gtest/gtest.h>

#include "base/stack_guard.h"
#include "tests/support/ui_driver.h"

TEST(DISABLED_Child, OverwrittenStackCookie) {
    __stack_chk_fail();
}

// The cookie is drawn before the program runs; an overwritten one ends the process at once, with
// the code Windows gives such an end.
TEST(StackGuard, TheCookieIsDrawnAtStartAndAnOverwrittenOneEndsTheProcess) {
    EXPECT_NE(__stack_chk_guard, kUnseededStackGuard);
    EXPECT_EQ(RunChild(L"OverwrittenStackCookie", [](DWORD) {}), STATUS_STACK_BUFFER_OVERRUN);
}
