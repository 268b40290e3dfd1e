#include "tests/ui/tip_of_day/tip_window_fixture.h"

namespace {

using TipSetting = TipWindowTest;

TEST_F(TipSetting, AbsentOpensWithTheBoxCheckedAndStoresOne) {
    ShowTip();
    ASSERT_TRUE(tip_.Loaded());
    EXPECT_TRUE(IsWindowVisible(tip_.Hwnd()));
    EXPECT_EQ(tip_.Value(frmTip::chkLoadTipsAtStartup), 1);
    EXPECT_EQ(StoredSetting(), L"1");
    EXPECT_FALSE(MainWindowShown());
}

TEST_F(TipSetting, ZeroShowsTheMainWindowInstead) {
    StoreSetting(L"0");
    ShowTip();
    EXPECT_FALSE(tip_.Loaded());
    EXPECT_TRUE(MainWindowShown());
    EXPECT_EQ(StoredSetting(), L"0");
}

TEST_F(TipSetting, AnyOtherValueOpensTheWindowAndBecomesOne) {
    for (const wchar_t* stored : {L"2", L"-1", L"abc", L"", L"1x", L"99999999999"}) {
        SCOPED_TRACE(testing::Message() << "stored \"" << stored << "\"");
        StoreSetting(stored);
        ShowTip();
        ASSERT_TRUE(tip_.Loaded());
        EXPECT_EQ(tip_.Value(frmTip::chkLoadTipsAtStartup), 1);
        EXPECT_EQ(StoredSetting(), L"1");
        tip_.Unload();
    }
}

TEST_F(TipSetting, ClearingTheBoxStoresZeroAndTheNextLoadClosesAtOnce) {
    ShowTip();
    Press(frmTip::chkLoadTipsAtStartup);
    EXPECT_EQ(StoredSetting(), L"0");
    Press(frmTip::chkLoadTipsAtStartup);
    EXPECT_EQ(StoredSetting(), L"1");
    Press(frmTip::chkLoadTipsAtStartup);
    ASSERT_EQ(StoredSetting(), L"0");
    Press(frmTip::cmdOK);
    Form1::Instance().Unload();

    ShowTip();
    EXPECT_FALSE(tip_.Loaded());
    EXPECT_TRUE(MainWindowShown());
}

// The settings key shut to everyone: the read gives the default, the saves fail, and the
// window carries on with the box as the user leaves it.
TEST_F(TipSetting, AStoreThatRefusesEverythingStillOpensTheWindow) {
    StoreSetting(L"0");
    UniqueHkey key; // opened before the lock, so that the test can still read
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, SettingKey().c_str(), 0, KEY_READ, key.put()), 0);
    SetKeySddl(SettingKey(), L"D:P");
    ShowTip();
    ASSERT_TRUE(tip_.Loaded());
    Press(frmTip::chkLoadTipsAtStartup);
    EXPECT_EQ(tip_.Value(frmTip::chkLoadTipsAtStartup), 0);
    wchar_t value[8] = {};
    DWORD bytes = sizeof value;
    RegQueryValueExW(key.get(), L"Show Tips at Startup", nullptr, nullptr,
                     reinterpret_cast<BYTE*>(value), &bytes);
    EXPECT_STREQ(value, L"0");
    Press(frmTip::cmdOK);
    EXPECT_TRUE(MainWindowShown());
}

} // namespace
