#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/scratch_hkcu.h"
#include "ui/runtime/app_info.h"
#include "ui/runtime/form.h"
#include "ui/runtime/settings.h"

namespace {

TEST(Twips, FifteenTwipsArePixelAt96DpiAndScaleWithDpi) {
    EXPECT_EQ(TwipsToPixels(15, 96), 1);
    EXPECT_EQ(TwipsToPixels(3435, 96), 229);
    EXPECT_EQ(TwipsToPixels(1440, 144), 144);
    EXPECT_EQ(TwipsToPixels(3435, 144), 344); // 343.5 rounds up
    EXPECT_EQ(TwipsToPixels(0, 192), 0);
}

TEST(AppInfo, TitleIsTheExecutableNameAndPathItsFolder) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring path(self);
    EXPECT_EQ(App::Title(), L"runtime_tests");
    EXPECT_EQ(App::Path() + L"\\" + App::Title() + L".exe", path);
    EXPECT_NE(App::Path().back(), L'\\');
}

using SettingsStore = ScratchHkcuTest;

TEST_F(SettingsStore, ReadGivesTheDefaultWhenNothingIsStored) {
    EXPECT_EQ(GetSetting(L"QUELM", L"Options", L"Show Tips at Startup", L"1"), L"1");
    EXPECT_FALSE(KeyExists(L"Software\\QUELM")); // reading creates nothing
}

TEST_F(SettingsStore, SaveCreatesTheKeysAndReadsBack) {
    ASSERT_TRUE(SaveSetting(L"QUELM", L"Options", L"Show Tips at Startup", L"0"));
    EXPECT_EQ(GetSetting(L"QUELM", L"Options", L"Show Tips at Startup", L"1"), L"0");
    DWORD type = 0;
    std::string data;
    ASSERT_TRUE(QueryRaw(L"Software\\QUELM\\Options", L"Show Tips at Startup", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, std::string("0\0\0\0", 4)); // UTF-16 "0" and its NUL
    ASSERT_TRUE(SaveSetting(L"QUELM", L"Options", L"Show Tips at Startup", L"ﾜﾝﾎﾟｲﾝﾄ"));
    EXPECT_EQ(GetSetting(L"QUELM", L"Options", L"Show Tips at Startup", L""), L"ﾜﾝﾎﾟｲﾝﾄ");
}

TEST_F(SettingsStore, AValueOfAnotherTypeReadsAsTheDefault) {
    PutRaw(L"Software\\QUELM\\Options", L"Show Tips at Startup", REG_DWORD,
           std::string("\0\0\0\0", 4));
    EXPECT_EQ(GetSetting(L"QUELM", L"Options", L"Show Tips at Startup", L"1"), L"1");
}

TEST_F(SettingsStore, SaveReportsARefusalAndChangesNothing) {
    ASSERT_TRUE(SaveSetting(L"QUELM", L"Options", L"Show Tips at Startup", L"1"));
    SetKeySddl(L"Software\\QUELM\\Options", L"D:P(A;;KR;;;WD)");
    EXPECT_FALSE(SaveSetting(L"QUELM", L"Options", L"Show Tips at Startup", L"0"));
    EXPECT_EQ(GetSetting(L"QUELM", L"Options", L"Show Tips at Startup", L"x"), L"1");
}

} // namespace
