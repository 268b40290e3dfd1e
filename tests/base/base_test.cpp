#include <windows.h>

#include <gtest/gtest.h>

#include "base/unique_handle.h"

namespace {

HANDLE OpenSelf() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
}

bool Closed(HANDLE file) {
    DWORD flags = 0;
    return GetHandleInformation(file, &flags) == FALSE;
}

// A handle is closed once, when its last owner lets go of it (reset, put, move-assignment), and
// not when it is moved or released. A file is empty as INVALID_HANDLE_VALUE, what a failed
// CreateFileW returns; a key as null.
TEST(UniqueHandle, ClosesEachHandleWhenItsLastOwnerLetsGo) {
    EXPECT_FALSE(UniqueFile(
        CreateFileW(L"C:\\missing", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
    const HANDLE first = OpenSelf();
    const HANDLE second = OpenSelf();
    const HANDLE third = OpenSelf();
    UniqueFile a(first);
    UniqueFile b(std::move(a));
    UniqueFile c(second);
    c = std::move(b);
    EXPECT_TRUE(Closed(second) && !Closed(first));
    EXPECT_FALSE(a); // NOLINT(bugprone-use-after-move): the moved-from state is the point
    *c.put() = third;
    EXPECT_TRUE(Closed(first));
    EXPECT_TRUE(c.release() == third && !c && !Closed(third) && CloseHandle(third));
    UniqueHkey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.put()), 0);
    const HKEY raw = key.get();
    key.reset();
    EXPECT_NE(RegQueryInfoKeyW(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
}

} // namespace
