#include "tests/ui/tip_of_day/tip_window_fixture.h"

namespace {

using TipLayout = TipWindowTest;

TEST_F(TipLayout, ASizableWindowWithOnlyACloseButtonAndNoIconAtItsPlace) {
    ShowTip();
    const HWND window = tip_.Hwnd();
    wchar_t caption[16] = {};
    GetWindowTextW(window, caption, 16);
    EXPECT_STREQ(caption, L"ﾜﾝﾎﾟｲﾝﾄ");
    const auto style = GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              WS_THICKFRAME | WS_SYSMENU);
    EXPECT_EQ(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), 0);
    const UINT dpi = GetDpiForWindow(window);
    RECT client;
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(client.left, TwipsToPixels(2370, dpi));
    EXPECT_EQ(client.top, TwipsToPixels(2400, dpi));
    EXPECT_EQ(client.right - client.left, TwipsToPixels(5415, dpi));
    EXPECT_EQ(client.bottom - client.top, TwipsToPixels(3285, dpi));
}

TEST_F(TipLayout, TheLabelsSitInsideThePictureAndOkIsTheDefaultButton) {
    ShowTip();
    for (const int label : {frmTip::Label1, frmTip::lblTipText})
        EXPECT_EQ(GetParent(tip_.Control(label)), tip_.Control(frmTip::Picture1));
    EXPECT_EQ(tip_.Text(frmTip::Label1), L"便利な使い方...");
    EXPECT_EQ(GetWindowLongPtrW(tip_.Control(frmTip::cmdOK), GWL_STYLE) & BS_TYPEMASK,
              BS_DEFPUSHBUTTON);
}

} // namespace
