#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/ui_driver.h"
#include "tests/ui/main_window/main_window_driver.h"

namespace {

// What the main window must look like at 96 DPI, in pixels of its client area.
struct ExpectedControl {
    Form1::ControlIndex index;
    const wchar_t* className;
    const wchar_t* text;
    RECT rect; // left, top, right, bottom
};

const ExpectedControl kExpected[] = {
    {Form1::la_script, L"Static", L"JAVA Script の設定", {4, 6, 113, 19}},
    {Form1::co_java_script, L"ComboBox", L"", {4, 20, 113, 39}},
    {Form1::co_java_applet, L"ComboBox", L"", {4, 58, 113, 77}},
    {Form1::Label1, L"Static", L"JAVA Applet の設定", {4, 44, 113, 57}},
    {Form1::co_java_java, L"ComboBox", L"", {4, 96, 113, 115}},
    {Form1::Label2, L"Static", L"JAVA の設定", {4, 82, 113, 95}},
    {Form1::co_cookie_cookie, L"ComboBox", L"", {116, 20, 225, 39}},
    {Form1::Label3, L"Static", L"Cookie の設定", {118, 6, 227, 19}},
    {Form1::co_cookie_session, L"ComboBox", L"", {116, 58, 225, 77}},
    {Form1::Label4, L"Static", L"セッションごとの設定", {118, 44, 227, 57}},
    {Form1::com_reset, L"Button", L"既定値", {158, 82, 201, 117}},
    {Form1::com_end, L"Button", L"終了", {200, 82, 229, 117}},
    {Form1::Command1, L"Button", L"全無効", {116, 82, 159, 117}},
};

const std::vector<std::wstring> kEntrySetA = {L"注意を表示する", L"有効にする", L"無効にする"};
const std::vector<std::wstring> kEntrySetB = {L"安全性-高", L"安全性-中", L"安全性-低",
                                              L"無効にする", L"カスタム設定"};

RECT ClientRectOf(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

std::vector<std::wstring> EntriesOf(Form1& form, int list) {
    std::vector<std::wstring> entries;
    const auto count = SendMessageW(form.Control(list), CB_GETCOUNT, 0, 0);
    entries.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        entries.push_back(form.List(list, i));
    return entries;
}

void ExpectRect(const RECT& actual, const RECT& expected, const char* what) {
    EXPECT_EQ(actual.left, expected.left) << what;
    EXPECT_EQ(actual.top, expected.top) << what;
    EXPECT_EQ(actual.right, expected.right) << what;
    EXPECT_EQ(actual.bottom, expected.bottom) << what;
}

// The focused control, as one of the form's controls (a combo box's edit counts as the combo).
int FocusedControl(Form1& form) {
    const HWND focus = GetFocus();
    for (int i = 0; i <= Form1::Command1; ++i)
        if (form.Control(i) == focus || IsChild(form.Control(i), focus))
            return i;
    return -1;
}

using MainWindowLayout = MainWindowTest;

TEST_F(MainWindowLayout, FrameIsAFixedDialogWithCloseBoxOnly) {
    Form1& form = Open();
    wchar_t caption[32] = {};
    GetWindowTextW(form.Hwnd(), caption, 32);
    EXPECT_STREQ(caption, L"QUELM");
    const auto style = GetWindowLongW(form.Hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_FALSE(GetMenu(form.Hwnd()));
    RECT client;
    GetClientRect(form.Hwnd(), &client);
    EXPECT_EQ(client.right, 229);  // 3435 twips
    EXPECT_EQ(client.bottom, 119); // 1785 twips
    EXPECT_TRUE(SendMessageW(form.Hwnd(), WM_GETICON, ICON_BIG, 0));
    EXPECT_TRUE(SendMessageW(form.Hwnd(), WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(GetClassLongPtrW(form.Hwnd(), GCLP_HBRBACKGROUND),
              reinterpret_cast<ULONG_PTR>(GetSysColorBrush(COLOR_BTNFACE)));
}

TEST_F(MainWindowLayout, EveryControlStandsWhereItsTwipsSay) {
    Form1& form = Open();
    for (const ExpectedControl& e : kExpected) {
        const HWND control = form.Control(e.index);
        SCOPED_TRACE(testing::Message() << "control " << e.index);
        EXPECT_EQ(ClassOf(control), e.className);
        EXPECT_EQ(GetParent(control), form.Hwnd());
        ExpectRect(ClientRectOf(control), e.rect, "rectangle");
        if (std::wstring(e.className) != L"ComboBox") {
            EXPECT_EQ(form.Text(e.index), e.text);
        }
    }
}

TEST_F(MainWindowLayout, ListsAreDropDownCombosWithTheirEntriesInOrder) {
    Form1& form = Open();
    for (const ListUnderTest& l : kLists) {
        const auto style = GetWindowLongW(form.Control(l.list), GWL_STYLE);
        EXPECT_EQ(style & 3, CBS_DROPDOWN);
        EXPECT_FALSE(style & CBS_SORT);
        EXPECT_EQ(EntriesOf(form, l.list), l.java ? kEntrySetB : kEntrySetA);
    }
}

TEST_F(MainWindowLayout, EveryControlUsesMsPGothic825Points) {
    Form1& form = Open();
    for (int i = 0; i <= Form1::Command1; ++i) {
        LOGFONTW lf{};
        auto* const font = reinterpret_cast<HFONT>(SendMessageW(form.Control(i), WM_GETFONT, 0, 0));
        ASSERT_TRUE(GetObjectW(font, sizeof lf, &lf));
        EXPECT_STREQ(lf.lfFaceName, L"ＭＳ Ｐゴシック");
        EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
        EXPECT_EQ(lf.lfWeight, FW_NORMAL);
        EXPECT_EQ(lf.lfHeight, -11); // 8.25 points at 96 DPI
        EXPECT_FALSE(lf.lfItalic || lf.lfUnderline || lf.lfStrikeOut);
    }
}

TEST_F(MainWindowLayout, LabelsAreMidGreyWithButtonTextAndNeverWrapOrTakeAccessKeys) {
    Store(L"1C00", 0x10000); // as the machine has it: no setting is marked as overridden
    Form1& form = Open();
    const HDC hdc = GetDC(form.Hwnd());
    for (const int label :
         {Form1::la_script, Form1::Label1, Form1::Label2, Form1::Label3, Form1::Label4}) {
        const HWND control = form.Control(label);
        auto* const brush = reinterpret_cast<HBRUSH>(
            SendMessageW(form.Hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                         reinterpret_cast<LPARAM>(control)));
        LOGBRUSH lb{};
        ASSERT_TRUE(GetObjectW(brush, sizeof lb, &lb));
        EXPECT_EQ(lb.lbColor, 0x00808080u);
        EXPECT_EQ(GetBkColor(hdc), 0x00808080u);
        EXPECT_EQ(GetTextColor(hdc), GetSysColor(COLOR_BTNTEXT));
        const auto style = GetWindowLongW(control, GWL_STYLE);
        EXPECT_EQ(style & SS_TYPEMASK, SS_LEFTNOWORDWRAP);
        EXPECT_TRUE(style & SS_NOPREFIX);
        EXPECT_FALSE(style & WS_TABSTOP);
    }
    ReleaseDC(form.Hwnd(), hdc);
}

TEST_F(MainWindowLayout, ALargerDpiScalesEveryControlAndTheFont) {
    Form1& form = Open();
    // What the system sends when the window moves to a 144 DPI monitor.
    RECT window;
    GetWindowRect(form.Hwnd(), &window);
    SendMessageW(form.Hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&window));
    for (const ExpectedControl& e : kExpected) {
        SCOPED_TRACE(testing::Message() << "control " << e.index);
        const RECT scaled{MulDiv(e.rect.left * 15, 144, 1440), MulDiv(e.rect.top * 15, 144, 1440),
                          MulDiv(e.rect.right * 15, 144, 1440),
                          MulDiv(e.rect.bottom * 15, 144, 1440)};
        const RECT actual = ClientRectOf(form.Control(e.index));
        // Positions and sizes scale from twips separately, so an edge may differ by a pixel.
        EXPECT_NEAR(actual.left, scaled.left, 1);
        EXPECT_NEAR(actual.top, scaled.top, 1);
        EXPECT_NEAR(actual.right - actual.left, MulDiv(e.rect.right - e.rect.left, 3, 2), 1);
        EXPECT_NEAR(actual.bottom - actual.top, MulDiv(e.rect.bottom - e.rect.top, 3, 2), 1);
    }
    RECT client;
    GetClientRect(form.Hwnd(), &client);
    EXPECT_EQ(client.right, 344);  // 3435 twips at 144 DPI
    EXPECT_EQ(client.bottom, 179); // 1785 twips
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(form.Control(0), WM_GETFONT, 0, 0)), sizeof lf,
               &lf);
    EXPECT_EQ(lf.lfHeight, -17);
}

TEST_F(MainWindowLayout, FocusStartsInTheFirstListAndTabSkipsLabels) {
    Form1& form = Open();
    EXPECT_EQ(FocusedControl(form), Form1::co_java_script);
    const Form1::ControlIndex order[] = {Form1::co_java_applet,   Form1::co_java_java,
                                         Form1::co_cookie_cookie, Form1::co_cookie_session,
                                         Form1::com_reset,        Form1::com_end,
                                         Form1::Command1,         Form1::co_java_script};
    for (const Form1::ControlIndex next : order) {
        PressKey(VK_TAB);
        PumpFor(20);
        EXPECT_EQ(FocusedControl(form), next);
    }
    PressKey(VK_TAB, true); // Shift+Tab goes back
    PumpFor(20);
    EXPECT_EQ(FocusedControl(form), Form1::Command1);
}

TEST_F(MainWindowLayout, EnterAndEscapePressNoButton) {
    Form1& form = Open();
    const std::wstring before = DumpTree(L"");
    MessageBoxAnswerer answerer(IDNO);
    for (const int focus :
         {Form1::co_java_script, Form1::com_reset, Form1::com_end, Form1::Command1}) {
        SetFocus(form.Control(focus));
        PumpFor(10);
        PressKey(VK_RETURN);
        PressKey(VK_ESCAPE);
        PumpFor(100);
        ASSERT_TRUE(form.Loaded());
    }
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_EQ(DumpTree(L""), before);
}

} // namespace
