#include <windows.h>

#include <gtest/gtest.h>

#include "base/unique_handle.h"

namespace {

bool Closed(HANDLE file) {
    DWORD flags = 0;
    return GetHandleInformation(file, &flags) == FALSE;
}

// A handle is closed once, when its last owner lets go of it (reset, put, move-assignment), not
// when it is moved or released; a file is empty as INVALID_HANDLE_VALUE, a key as null.
TEST(UniqueHandle, ClosesEachHandleWhenItsLastOwnerLetsGo) {
    const auto open = [](const wchar_t* path) {
        return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    };
    EXPECT_FALSE(UniqueFile(open(L"C:\\missing")));
    const HANDLE first = open(L"C:\\windows\\win.ini");
    const HANDLE second = open(L"C:\\windows\\win.ini");
    const HANDLE third = open(L"C:\\windows\\win.ini");
    UniqueFile a(first);
    UniqueFile b(std::move(a));
    UniqueFile c(second);
    c = std::move(b);
    EXPECT_TRUE(Closed(second));
    EXPECT_FALSE(Closed(first));
    EXPECT_FALSE(a); // NOLINT(bugprone-use-after-move): the moved-from state is the point
    *c.put() = third;
    EXPECT_TRUE(Closed(first));
    EXPECT_EQ(c.release(), third);
    EXPECT_FALSE(c);
    EXPECT_FALSE(Closed(third));
    EXPECT_TRUE(CloseHandle(third));
    UniqueHkey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, key.put()), 0);
    const HKEY raw = key.get();
    key.reset();
    EXPECT_EQ(RegQueryValueExW(raw, nullptr, nullptr, nullptr, nullptr, nullptr),
              ERROR_INVALID_HANDLE);
}

} // namespace
