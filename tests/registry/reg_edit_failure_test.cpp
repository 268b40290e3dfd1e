#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "registry/clsRegEdit.h"
#include "tests/registry/reg_test_helpers.h"
#include "tests/support/scratch_hkcu.h"

namespace {

constexpr wchar_t kKey[] = L"Software\\QUELM\\Key";
constexpr std::int32_t kDefault = 0x0BADF00D;

TEST(RegEditRootTest, RegKeyIsSignExtendedToThePredefinedHandle) {
    EXPECT_EQ(RegKeyHandle(kHkcu), HKEY_CURRENT_USER);
    EXPECT_EQ(RegKeyHandle(static_cast<std::int32_t>(0x80000002)), HKEY_LOCAL_MACHINE);
}

TEST(RegEditRootTest, PropertiesStartEmptyAndKeepWhatIsSet) {
    clsRegEdit editor;
    EXPECT_EQ(editor.RegKey(), 0);
    EXPECT_EQ(editor.SubKey(), L"");
    editor.RegKey(kHkcu);
    editor.SubKey(L"\\a\\b\\ ");
    EXPECT_EQ(editor.RegKey(), kHkcu);
    EXPECT_EQ(editor.SubKey(), L"\\a\\b\\ ");
}

// Every method that opens the key, on a key that cannot be opened: defaults, arrays untouched.
void ExpectOpenFails(const clsRegEdit& editor) {
    const std::vector<std::wstring> nameSentinel = {L"sentinel"};
    const std::vector<std::uint8_t> byteSentinel = {0xbd, 0xbd, 0xbd};
    std::vector<std::wstring> names = nameSentinel;
    std::vector<std::uint8_t> bytes = byteSentinel;
    EXPECT_EQ(editor.GetDWORD(L"v", kDefault), kDefault);
    EXPECT_EQ(editor.GetString(L"v", L"既定"), L"既定");
    EXPECT_EQ(editor.GetBinary(L"v", bytes), 0);
    EXPECT_EQ(bytes, byteSentinel);
    EXPECT_EQ(editor.EnumValueName(names), 0);
    EXPECT_EQ(editor.EnumSubKey(names), 0);
    EXPECT_EQ(names, nameSentinel);
    EXPECT_FALSE(editor.DeleteValueName(L"v"));
    EXPECT_FALSE(editor.DeleteSubKey(L"child"));
}

class RegEditMissingKeyTest : public ScratchHkcuTest {};

TEST_F(RegEditMissingKeyTest, ReadsAndDeletesFailWithoutCreatingIt) {
    ExpectOpenFails(EditorAt(kKey));
    EXPECT_FALSE(KeyExists(kKey));
}

TEST_F(RegEditMissingKeyTest, NeverSetEditorFailsEverything) {
    const clsRegEdit editor;
    ExpectOpenFails(editor);
    EXPECT_FALSE(editor.SetDWORD(L"v", 1));
    EXPECT_FALSE(editor.SetString(L"v", L"x"));
    EXPECT_FALSE(editor.SetBinary(L"v", {1}, std::int64_t{1}));
}

// 表 is 95 5C in code page 932: its second byte is a backslash, yet it names one key.
TEST_F(RegEditMissingKeyTest, WritesCreateTheWholePath) {
    EXPECT_TRUE(EditorAt(L"Software\\表示\\A").SetString(L"s", L"x"));
    EXPECT_EQ(DumpTree(L"Software"),
              L"[Software]\n[Software\\表示]\n[Software\\表示\\A]\ns=1:78000000\n");
}

class RegEditReadOnlyKeyTest : public ScratchHkcuTest {
  protected:
    void SetUp() override {
        PutRaw(kKey, L"dword", REG_DWORD, DwordBytes(7));
        PutRaw(kKey, L"text", REG_SZ, Utf16Bytes(L"abc"));
        PutRaw(kKey + std::wstring(L"\\child"), L"bin", REG_BINARY, Bytes({1, 2, 3}));
        SetKeySddl(kKey, L"D:P(A;;KR;;;WD)");
        before_ = DumpTree(kKey);
    }
    const clsRegEdit editor_ = EditorAt(kKey);
    std::wstring before_;
};

TEST_F(RegEditReadOnlyKeyTest, ReadsSucceed) {
    std::vector<std::wstring> names;
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(editor_.GetDWORD(L"dword", kDefault), 7);
    EXPECT_EQ(editor_.GetString(L"text", L"既定"), L"abc");
    EXPECT_EQ(EditorAt(kKey + std::wstring(L"\\child")).GetBinary(L"bin", bytes), 3);
    EXPECT_EQ(editor_.EnumValueName(names), 2);
    EXPECT_EQ(editor_.EnumSubKey(names), 1);
    EXPECT_EQ(names, std::vector<std::wstring>{L"child"});
}

TEST_F(RegEditReadOnlyKeyTest, WritesAndDeletesFailAndChangeNothing) {
    EXPECT_FALSE(editor_.SetDWORD(L"dword", 8));
    EXPECT_FALSE(editor_.SetString(L"new", L"xyz"));
    EXPECT_FALSE(editor_.SetBinary(L"new", {9}, std::int64_t{1}));
    EXPECT_FALSE(editor_.DeleteValueName(L"text"));
    EXPECT_FALSE(editor_.DeleteSubKey(L"child"));
    EXPECT_EQ(DumpTree(kKey), before_);
}

class RegEditWriteFailureTest : public ScratchHkcuTest {};

// A non-volatile key cannot be created under a volatile one (ERROR_CHILD_MUST_BE_VOLATILE).
TEST_F(RegEditWriteFailureTest, KeyCannotBeCreated) {
    CreateVolatileKey(L"Volatile");
    const clsRegEdit editor = EditorAt(L"Volatile\\Child");
    EXPECT_FALSE(editor.SetDWORD(L"v", 1));
    EXPECT_FALSE(editor.SetString(L"v", L"x"));
    EXPECT_FALSE(editor.SetBinary(L"v", {1}, std::int64_t{1}));
    EXPECT_EQ(DumpTree(L"Volatile"), L"[Volatile]\n");
}

// Value names stop at 16,383 characters: the key is created, the value refused (87).
TEST_F(RegEditWriteFailureTest, ValueIsRefused) {
    const clsRegEdit editor = EditorAt(kKey);
    const std::wstring tooLong(16384, L'v');
    EXPECT_FALSE(editor.SetDWORD(tooLong, 1));
    EXPECT_FALSE(editor.SetString(tooLong, L"x"));
    EXPECT_FALSE(editor.SetBinary(tooLong, {1}, std::int64_t{1}));
    EXPECT_EQ(DumpTree(kKey), std::wstring(L"[") + kKey + L"]\n");
}

} // namespace
