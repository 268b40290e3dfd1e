#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ui_driver.h"
#include "tests/ui/main_window/main_window_driver.h"
#include "ui/runtime/runtime.h"

namespace {

const std::wstring kAllow = L"有効にする";
const std::wstring kPrompt = L"注意を表示する";
const std::wstring kDisable = L"無効にする";
const std::vector<std::wstring> kEntrySetA = {kPrompt, kAllow, kDisable};
const std::vector<std::wstring> kEntrySetB = {L"安全性-高", L"安全性-中", L"安全性-低", kDisable,
                                              L"カスタム設定"};
// The value each entry must store, in entry order.
const std::vector<std::uint32_t> kPolicyValues = {1, 0, 3};
const std::vector<std::uint32_t> kJavaValues = {0x10000, 0x20000, 0x30000, 0, 0x800000};

// Every control at 96 DPI, in pixels of the client area, and the list each label names.
struct ExpectedControl {
    Form1::ControlIndex index;
    const wchar_t* className;
    const wchar_t* text;
    RECT rect;
    int names = -1;
};
// clang-format off
const ExpectedControl kExpected[] = {
    {Form1::la_script, L"Static", L"JAVA Script の設定", {4, 6, 113, 19}, Form1::co_java_script},
    {Form1::co_java_script, L"ComboBox", L"", {4, 20, 113, 39}},
    {Form1::co_java_applet, L"ComboBox", L"", {4, 58, 113, 77}},
    {Form1::Label1, L"Static", L"JAVA Applet の設定", {4, 44, 113, 57}, Form1::co_java_applet},
    {Form1::co_java_java, L"ComboBox", L"", {4, 96, 113, 115}},
    {Form1::Label2, L"Static", L"JAVA の設定", {4, 82, 113, 95}, Form1::co_java_java},
    {Form1::co_cookie_cookie, L"ComboBox", L"", {116, 20, 225, 39}},
    {Form1::Label3, L"Static", L"Cookie の設定", {118, 6, 227, 19}, Form1::co_cookie_cookie},
    {Form1::co_cookie_session, L"ComboBox", L"", {116, 58, 225, 77}},
    {Form1::Label4, L"Static", L"セッションごとの設定", {118, 44, 227, 57}, Form1::co_cookie_session},
    {Form1::com_reset, L"Button", L"既定値", {158, 82, 201, 117}},
    {Form1::com_end, L"Button", L"終了", {200, 82, 229, 117}},
    {Form1::Command1, L"Button", L"全無効", {116, 82, 159, 117}},
};
// clang-format on

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

// The focused control, as one of the form's controls (a combo box's edit counts as the combo).
int FocusedControl() {
    const HWND focus = GetFocus();
    for (int i = 0; i <= Form1::Command1; ++i)
        if (Form1::Instance().Control(i) == focus || IsChild(Form1::Instance().Control(i), focus))
            return i;
    return -1;
}

using MainWindowLayout = MainWindowTest;

TEST_F(MainWindowLayout, FrameControlsAndFontStandAsDefinedAtEveryDpi) {
    Store(L"1C00", 0x10000); // as the machine has it: no setting is marked as overridden
    Form1& form = Open();
    const HWND hwnd = form.Hwnd();
    wchar_t caption[32] = {};
    GetWindowTextW(hwnd, caption, 32);
    EXPECT_STREQ(caption, L"QUELM");
    const auto style = GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION && (style & WS_SYSMENU));
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_FALSE(GetMenu(hwnd));
    EXPECT_TRUE(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0));
    EXPECT_TRUE(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND),
              reinterpret_cast<ULONG_PTR>(GetSysColorBrush(COLOR_BTNFACE)));
    // The manifest brings the common controls 6, which draw with visual styles.
    ACTCTX_SECTION_KEYED_DATA comctl6{};
    comctl6.cbSize = sizeof comctl6;
    EXPECT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                         L"comctl32.dll", &comctl6));
    const HDC hdc = GetDC(hwnd);
    const struct {
        UINT dpi;
        LONG clientWidth, clientHeight, fontHeight;
    } kDpis[] = {{96, 229, 119, -11}, {144, 344, 179, -17}};
    for (const auto& d : kDpis) {
        SCOPED_TRACE(testing::Message() << d.dpi << " DPI");
        if (d.dpi != 96) { // what the system sends when the window moves to another monitor
            RECT window;
            GetWindowRect(hwnd, &window);
            SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(d.dpi, d.dpi),
                         reinterpret_cast<LPARAM>(&window));
        }
        RECT client;
        GetClientRect(hwnd, &client);
        EXPECT_EQ(client.right, d.clientWidth);
        EXPECT_EQ(client.bottom, d.clientHeight);
        for (const ExpectedControl& e : kExpected) {
            SCOPED_TRACE(testing::Message() << "control " << e.index);
            const HWND control = form.Control(e.index);
            EXPECT_EQ(ClassOf(control), e.className);
            EXPECT_EQ(GetParent(control), hwnd);
            RECT r;
            GetWindowRect(control, &r);
            MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
            // Positions and sizes scale from twips separately: an edge may be a pixel off.
            const auto scaled = [&](LONG px) { return MulDiv(px, static_cast<int>(d.dpi), 96); };
            EXPECT_NEAR(r.left, scaled(e.rect.left), d.dpi == 96 ? 0 : 1);
            EXPECT_NEAR(r.top, scaled(e.rect.top), d.dpi == 96 ? 0 : 1);
            EXPECT_NEAR(r.right - r.left, scaled(e.rect.right - e.rect.left), d.dpi == 96 ? 0 : 1);
            EXPECT_NEAR(r.bottom - r.top, scaled(e.rect.bottom - e.rect.top), d.dpi == 96 ? 0 : 1);
            LOGFONTW lf{};
            ASSERT_TRUE(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                                   sizeof lf, &lf));
            EXPECT_STREQ(lf.lfFaceName, L"ＭＳ Ｐゴシック");
            EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
            EXPECT_EQ(lf.lfWeight, FW_NORMAL);
            EXPECT_EQ(lf.lfHeight, d.fontHeight); // 8.25 points
            EXPECT_FALSE(lf.lfItalic || lf.lfUnderline || lf.lfStrikeOut);
            const auto controlStyle = GetWindowLongW(control, GWL_STYLE);
            if (e.className == std::wstring(L"ComboBox")) {
                EXPECT_EQ(controlStyle & 3, CBS_DROPDOWN);
                EXPECT_FALSE(controlStyle & CBS_SORT);
                std::vector<std::wstring> entries;
                for (int i = 0; i < SendMessageW(control, CB_GETCOUNT, 0, 0); ++i)
                    entries.push_back(form.List(e.index, i));
                EXPECT_EQ(entries, e.index == Form1::co_java_java ? kEntrySetB : kEntrySetA);
                continue;
            }
            EXPECT_EQ(form.Text(e.index), e.text);
            if (e.names < 0)
                continue;
            // Labels: mid grey with button-text letters, one line, no access key, no focus.
            SendMessageW(hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                         reinterpret_cast<LPARAM>(control));
            EXPECT_EQ(GetBkColor(hdc), 0x00808080u);
            EXPECT_EQ(GetTextColor(hdc), GetSysColor(COLOR_BTNTEXT));
            EXPECT_EQ(controlStyle & SS_TYPEMASK, SS_LEFTNOWORDWRAP);
            EXPECT_TRUE(controlStyle & SS_NOPREFIX);
            EXPECT_FALSE(controlStyle & WS_TABSTOP);
        }
    }
    ReleaseDC(hwnd, hdc);
}

TEST_F(MainWindowLayout, TabWalksTheTabOrderBothWaysAndEachListFollowsItsLabel) {
    Form1& form = Open();
    // Screen readers name a control after the static text just before it in the window order.
    for (const ExpectedControl& e : kExpected) {
        if (e.names < 0)
            continue;
        EXPECT_EQ(GetWindow(form.Control(e.names), GW_HWNDPREV), form.Control(e.index))
            << "label " << e.index;
    }
    const std::wstring tree = DumpTree(L"");
    MessageBoxAnswerer answerer(IDNO);
    const int cycle[] = {Form1::co_java_script,   Form1::co_java_applet,    Form1::co_java_java,
                         Form1::co_cookie_cookie, Form1::co_cookie_session, Form1::com_reset,
                         Form1::com_end,          Form1::Command1};
    EXPECT_EQ(FocusedControl(), Form1::co_java_script);
    for (const bool back : {false, true}) {
        for (int step = 1; step <= 8; ++step) {
            // In a list, Enter and Escape press no button (a focused button takes Enter).
            if (FocusedControl() < Form1::com_reset) {
                PressKey(VK_RETURN);
                PressKey(VK_ESCAPE);
            }
            PressKey(VK_TAB, back);
            PumpFor(20);
            ASSERT_TRUE(form.Loaded());
            EXPECT_EQ(FocusedControl(), cycle[(back ? 8 - step : step) % 8])
                << (back ? "Shift+Tab" : "Tab") << " step " << step;
        }
    }
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_EQ(DumpTree(L""), tree);
}

using MainWindowBehaviour = MainWindowTest;

TEST_F(MainWindowBehaviour, ShowsWhatIsStoredAndWritesNothing) {
    Open(); // no zone key: every value reads as 0
    EXPECT_EQ(AllTexts(), (Texts5{kAllow, kAllow, kDisable, kAllow, kAllow}));
    EXPECT_FALSE(KeyExists(kZonePath));
    Form1::Instance().Unload();
    const std::uint32_t outsideTheTables[] = {2, 1, 0x40000, 0xFFFFFFFF, 0x800000};
    for (size_t i = 0; i < kLists.size(); ++i)
        Store(kLists[i].valueName, outsideTheTables[i]); // but for 1402's 1
    const std::wstring tree = DumpTree(L"");
    Open();
    EXPECT_EQ(AllTexts(), (Texts5{L"", kPrompt, L"", L"", L""}));
    EXPECT_EQ(DumpTree(L""), tree);
}

TEST_F(MainWindowBehaviour, EveryEntryPickedWritesItsValueToItsOwnName) {
    // Stored as raw bytes, the values show as entry 0; picking that shown entry must still
    // write it, which turns the value into a REG_DWORD.
    for (const ListUnderTest& l : kLists) {
        const std::uint32_t value = l.java ? 0x10000 : 1;
        PutRaw(kZonePath, l.valueName, REG_BINARY, DwordBytes(value));
    }
    Open();
    Stored5 expected;
    bool useMouse = true;
    for (size_t i = 0; i < kLists.size(); ++i) {
        const auto& values = kLists[i].java ? kJavaValues : kPolicyValues;
        const auto& texts = kLists[i].java ? kEntrySetB : kEntrySetA;
        for (size_t entry = 0; entry < values.size(); ++entry) {
            SCOPED_TRACE(testing::Message() << "list " << i << " entry " << entry
                                            << (useMouse ? " by mouse" : " by keyboard"));
            Pick(kLists[i].list, static_cast<int>(entry), useMouse);
            useMouse = !useMouse;
            expected[i] = values[entry];
            EXPECT_EQ(ListText(kLists[i].list), texts[entry]);
            EXPECT_EQ(AllStored(), expected);
        }
    }
}

TEST_F(MainWindowBehaviour, FixedSetButtonsAskFirstAndOnYesWriteAndShowTheSet) {
    for (const ListUnderTest& l : kLists)
        Store(l.valueName, l.java ? 0x30000 : 1);
    Open();
    const struct {
        Form1::ControlIndex button;
        int answer;
        const wchar_t *title, *question;
        Stored5 stored = {}; // after the answer; nothing for No
        Texts5 shown = {};
    } kCases[] = {
        // clang-format off
        {Form1::com_reset, IDNO, L"既定値設定", L"既定値に戻してもよろしいですか？"},
        {Form1::Command1, IDNO, L"全無効設定", L"全て無効にしてもよろしいですか？"},
        {Form1::com_reset, IDYES, L"既定値設定", L"既定値に戻してもよろしいですか？",
         {0, 0, 0x10000, 0, 0}, {kAllow, kAllow, L"安全性-高", kAllow, kAllow}},
        {Form1::Command1, IDYES, L"全無効設定", L"全て無効にしてもよろしいですか？",
         {3, 3, 0, 3, 3}, {kDisable, kDisable, kDisable, kDisable, kDisable}},
        // clang-format on
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << "button " << c.button << " answer " << c.answer);
        const std::wstring tree = DumpTree(L"");
        const Texts5 texts = AllTexts();
        MessageBoxAnswerer answerer(c.answer);
        Press(c.button);
        ASSERT_TRUE(PumpUntil([&] { return answerer.Seen().size() == 1; }));
        PumpFor(50);
        const SeenMessageBox box = answerer.Seen()[0];
        EXPECT_EQ(box.title, c.title);
        EXPECT_EQ(box.text, c.question);
        EXPECT_TRUE(box.hasYes && box.hasNo && !box.hasOk && box.icon);
        EXPECT_EQ(box.owner, Window());
        EXPECT_EQ(box.defaultButton, IDYES);
        if (c.answer == IDNO) {
            EXPECT_EQ(DumpTree(L""), tree);
            EXPECT_EQ(AllTexts(), texts);
        } else {
            EXPECT_EQ(AllStored(), c.stored);
            EXPECT_EQ(AllTexts(), c.shown);
        }
    }
}

TEST_F(MainWindowBehaviour, AReadOnlyZoneKeyShowsWhatIsStoredAndSaysWhenAWriteIsRefused) {
    for (const ListUnderTest& l : kLists)
        Store(l.valueName, l.java ? 0x30000 : 3);
    Store(L"1A03", 2); // matches no entry
    SetKeySddl(kZonePath, L"D:P(A;;KR;;;WD)");
    const std::wstring tree = DumpTree(L"");
    Open();
    const Texts5 stored = {kDisable, kDisable, L"安全性-低", kDisable, L""};
    EXPECT_EQ(AllTexts(), stored);

    MessageBoxAnswerer answerer(IDYES);
    Pick(Form1::co_java_script, 1, true);
    ASSERT_TRUE(PumpUntil([&] { return answerer.Seen().size() == 1; }));
    PumpFor(100);
    const SeenMessageBox refusal = answerer.Seen()[0];
    EXPECT_EQ(refusal.text, L"設定を保存できませんでした。");
    EXPECT_EQ(refusal.title, L"QUELM");
    EXPECT_TRUE(refusal.hasOk && !refusal.hasYes && !refusal.hasNo);
    EXPECT_EQ(refusal.owner, Window());
    EXPECT_EQ(AllTexts(), stored); // back to what is stored

    for (const int button : {Form1::com_reset, Form1::Command1}) {
        SCOPED_TRACE(testing::Message() << "button " << button);
        const size_t before = answerer.Seen().size();
        Press(button);
        ASSERT_TRUE(PumpUntil([&] { return answerer.Seen().size() == before + 2; }));
        PumpFor(150);
        EXPECT_EQ(answerer.Seen().size(), before + 2); // the question, then one refusal
        EXPECT_EQ(answerer.Seen().back().text, L"設定を保存できませんでした。");
        EXPECT_EQ(AllTexts(), stored);
    }
    EXPECT_EQ(DumpTree(L""), tree);
}

} // namespace
