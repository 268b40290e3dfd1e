#include <windows.h>

#include <gtest/gtest.h>

#include "base/unique_handle.h"

namespace {

// A handle kind that counts its closes, so double closes and leaks show.
int closes = 0;
struct CountingTraits {
    using Handle = int;
    static Handle Invalid() { return 0; }
    static void Close(Handle) { ++closes; }
};
using Counted = UniqueHandle<CountingTraits>;

class UniqueHandleTest : public ::testing::Test {
  protected:
    void SetUp() override { closes = 0; }
};

TEST_F(UniqueHandleTest, ClosesOnceWhenItGoesOutOfScope) {
    { Counted h(7); }
    EXPECT_EQ(closes, 1);
    { Counted empty; }
    EXPECT_EQ(closes, 1);
}

TEST_F(UniqueHandleTest, MoveTransfersOwnershipWithoutClosing) {
    Counted a(7);
    Counted b(std::move(a));
    EXPECT_EQ(closes, 0);
    EXPECT_FALSE(a); // NOLINT(bugprone-use-after-move): the moved-from state is the point
    EXPECT_EQ(b.get(), 7);
    Counted c(9);
    c = std::move(b); // closes 9, takes 7
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(c.get(), 7);
}

TEST_F(UniqueHandleTest, ResetPutAndReleaseCloseWhatWasHeld) {
    Counted h(7);
    h.reset(8);
    EXPECT_EQ(closes, 1);
    *h.put() = 9;
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(h.release(), 9);
    EXPECT_EQ(closes, 2);
    EXPECT_FALSE(h);
}

TEST_F(UniqueHandleTest, FileHandleUsesInvalidHandleValueAsEmpty) {
    UniqueFile file;
    EXPECT_FALSE(file);
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    file.reset(
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    const HANDLE raw = file.get();
    file.reset();
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(raw, &flags)); // really closed
}

} // namespace
