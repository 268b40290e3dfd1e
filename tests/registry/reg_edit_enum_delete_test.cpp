#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "registry/clsRegEdit.h"
#include "tests/registry/reg_test_helpers.h"
#include "tests/support/scratch_hkcu.h"

namespace {

constexpr wchar_t kKey[] = L"Software\\QUELM\\Names";

std::wstring Under(const std::wstring& name) {
    return std::wstring(kKey) + L"\\" + name;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// Runs each test for values and for subkeys.
enum class NameKind { Value, Subkey };

class RegEditEnumTest : public ScratchHkcuTest, public ::testing::WithParamInterface<NameKind> {
  protected:
    void SetUp() override { CreateKey(kKey); }
    void Add(const std::wstring& name) {
        if (GetParam() == NameKind::Value)
            PutRaw(kKey, name, REG_DWORD, DwordBytes(1));
        else
            PutRaw(Under(name), L"v", REG_DWORD, DwordBytes(1));
    }
    std::int32_t Enumerate(std::vector<std::wstring>& names) const {
        const clsRegEdit editor = EditorAt(kKey);
        return GetParam() == NameKind::Value ? editor.EnumValueName(names)
                                             : editor.EnumSubKey(names);
    }
};

TEST_P(RegEditEnumTest, EmptyKeyLeavesTheArrayAlone) {
    std::vector<std::wstring> names = {L"sentinel"};
    EXPECT_EQ(Enumerate(names), 0);
    EXPECT_EQ(names, std::vector<std::wstring>{L"sentinel"});
}

TEST_P(RegEditEnumTest, ListsEveryNameAndCutsTheArrayToTheCount) {
    for (const wchar_t* name : {L"b", L"a", L"設定"})
        Add(name);
    std::vector<std::wstring> names(5, L"sentinel");
    ASSERT_EQ(Enumerate(names), 3);
    EXPECT_EQ(Sorted(names), Sorted({L"a", L"b", L"設定"}));
}

// A name of 80 bytes or more does not fit the usual buffer; the ones after it still count.
TEST_P(RegEditEnumTest, LongNamesBetweenShortOnesAreListed) {
    const std::wstring longName(200, L'm');
    const std::wstring japanese(40, L'設'); // 40 characters, 80 bytes in code page 932
    const std::wstring exactFit(79, L'n');  // 79 bytes and the NUL fill the buffer
    for (const std::wstring& name :
         {std::wstring(L"a"), longName, japanese, exactFit, std::wstring(L"z")})
        Add(name);
    std::vector<std::wstring> names;
    ASSERT_EQ(Enumerate(names), 5);
    EXPECT_EQ(Sorted(names), Sorted({L"a", longName, japanese, exactFit, L"z"}));
}

INSTANTIATE_TEST_SUITE_P(Reg, RegEditEnumTest, ::testing::Values(NameKind::Value, NameKind::Subkey),
                         [](const auto& info) {
                             return info.param == NameKind::Value ? "Values" : "Subkeys";
                         });

class RegEditLongestNameTest : public ScratchHkcuTest {};

// 16,383 characters is the longest value name; in code page 932 it can take 32,766 bytes.
// (Subkey names stop at 255 characters.)
TEST_F(RegEditLongestNameTest, LongestValueNameIsListed) {
    const std::wstring longest(16383, L'設');
    for (const wchar_t* name : {L"a", L"z"})
        PutRaw(kKey, name, REG_DWORD, DwordBytes(1));
    PutRaw(kKey, longest, REG_DWORD, DwordBytes(1));
    std::vector<std::wstring> names;
    ASSERT_EQ(EditorAt(kKey).EnumValueName(names), 3);
    EXPECT_EQ(Sorted(names), Sorted({L"a", longest, L"z"}));
}

class RegEditDeleteTest : public ScratchHkcuTest {
  protected:
    const clsRegEdit editor_ = EditorAt(kKey);
};

TEST_F(RegEditDeleteTest, DeleteValueNameRemovesOnlyThatValue) {
    PutRaw(kKey, L"設定", REG_DWORD, DwordBytes(1));
    PutRaw(kKey, L"keep", REG_DWORD, DwordBytes(2));
    EXPECT_TRUE(editor_.DeleteValueName(L"設定"));
    EXPECT_EQ(DumpTree(kKey), std::wstring(L"[") + kKey + L"]\nkeep=4:02000000\n");
    EXPECT_FALSE(editor_.DeleteValueName(L"設定"));
    EXPECT_FALSE(editor_.DeleteValueName(L"missing"));
}

TEST_F(RegEditDeleteTest, DeleteSubKeyRemovesAChildlessSubkey) {
    PutRaw(Under(L"表示"), L"v", REG_DWORD, DwordBytes(1));
    EXPECT_TRUE(editor_.DeleteSubKey(L"表示"));
    EXPECT_FALSE(KeyExists(Under(L"表示")));
    EXPECT_FALSE(editor_.DeleteSubKey(L"表示"));
}

TEST_F(RegEditDeleteTest, DeleteSubKeyRefusesASubkeyWithChildren) {
    PutRaw(Under(L"parent\\child"), L"v", REG_DWORD, DwordBytes(1));
    EXPECT_FALSE(editor_.DeleteSubKey(L"parent"));
    EXPECT_TRUE(KeyExists(Under(L"parent\\child")));
}

} // namespace
