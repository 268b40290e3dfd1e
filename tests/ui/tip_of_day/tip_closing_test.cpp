#include <functional>

#include "tests/ui/tip_of_day/tip_window_fixture.h"

namespace {

using TipClosing = TipWindowTest;

TEST_F(TipClosing, EveryWayOfClosingShowsTheMainWindow) {
    WriteTipsFile("a\r\nb\r\n");
    const struct {
        const char* how;
        int focus; // the control that has the focus when the window closes
        std::function<void(frmTip&)> close;
    } ways[] = {
        {"OK", frmTip::cmdOK, [](frmTip& tip) { ClickCenter(tip.Control(frmTip::cmdOK)); }},
        {"Enter on OK", frmTip::cmdOK, [](frmTip&) { PressKey(VK_RETURN); }},
        {"Enter on the box", frmTip::chkLoadTipsAtStartup, [](frmTip&) { PressKey(VK_RETURN); }},
        {"Escape", frmTip::cmdOK, [](frmTip&) { PressKey(VK_ESCAPE); }},
        {"Escape on the box", frmTip::chkLoadTipsAtStartup, [](frmTip&) { PressKey(VK_ESCAPE); }},
        {"title bar", frmTip::cmdOK,
         [](frmTip& tip) { PostMessageW(tip.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        ShowTip();
        Activate(tip_.Hwnd());
        for (int i = 0; i < 3 && GetFocus() != tip_.Control(way.focus); ++i) {
            PressKey(VK_TAB);
            PumpFor(30);
        }
        ASSERT_EQ(GetFocus(), tip_.Control(way.focus));
        way.close(tip_);
        ASSERT_TRUE(PumpUntil([&] { return !tip_.Loaded(); }));
        EXPECT_TRUE(MainWindowShown());
        EXPECT_EQ(StoredSetting(), L"1");
        Form1::Instance().Unload();
    }
}

TEST_F(TipClosing, EnterOnNextTipShowsATipInstead) {
    WriteTipsFile("a\r\nb\r\n");
    ShowTip();
    Activate(tip_.Hwnd());
    PressKey(VK_TAB);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == tip_.Control(frmTip::cmdNextTip); }));
    SetWindowTextW(tip_.Control(frmTip::lblTipText), L"");
    PressKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return !TipText().empty(); }));
    EXPECT_TRUE(tip_.Loaded());
}

TEST_F(TipClosing, AMainWindowAlreadyLoadedIsShownNotReplaced) {
    Form1::Instance().Load();
    const HWND main = Form1::Instance().Hwnd();
    ShowTip();
    tip_.Unload();
    EXPECT_TRUE(MainWindowShown());
    EXPECT_EQ(Form1::Instance().Hwnd(), main);
}

} // namespace
