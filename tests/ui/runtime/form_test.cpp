#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "app/resource.h"
#include "tests/support/child_process.h"
#include "tests/support/ui_driver.h"
#include "ui/runtime/form.h"
#include "ui/runtime/runtime.h"

namespace {

enum : int { kCombo, kCheck, kOk, kNext, kPicture, kNote };

constexpr std::wstring_view kEntries[] = {L"一", L"二", L"三"};

constexpr ControlDef kControls[] = {
    {.name = L"combo",
     .kind = ControlKind::ComboBox,
     .entries = kEntries,
     .left = 120,
     .top = 120,
     .width = 1500,
     .height = 300,
     .tabIndex = 0,
     .events = kClick | kKeyPress},
    {.name = L"check",
     .kind = ControlKind::CheckBox,
     .caption = L"確認(&C)",
     .left = 120,
     .top = 600,
     .width = 1500,
     .height = 300,
     .tabIndex = 1,
     .events = kClick},
    {.name = L"ok",
     .kind = ControlKind::CommandButton,
     .caption = L"OK",
     .left = 1800,
     .top = 120,
     .width = 1200,
     .height = 375,
     .tabIndex = 2,
     .events = kClick,
     .isDefault = true,
     .isCancel = true},
    {.name = L"next",
     .kind = ControlKind::CommandButton,
     .caption = L"次(&N)",
     .left = 1800,
     .top = 600,
     .width = 1200,
     .height = 375,
     .tabIndex = 3,
     .events = kClick},
    {.name = L"picture",
     .kind = ControlKind::PictureBox,
     .left = 120,
     .top = 1050,
     .width = 2880,
     .height = 1200,
     .tabIndex = 4,
     .backColor = RGB(255, 255, 255),
     .pictureId = IDI_TIP_BULB},
    {.name = L"note",
     .kind = ControlKind::Label,
     .caption = L"折り返す長い説明の文章です。",
     .left = 540,
     .top = 180,
     .width = 1500,
     .height = 600,
     .tabIndex = 5,
     .container = kPicture,
     .backColor = RGB(255, 255, 255),
     .wordWrap = true},
};

constexpr FormDef kTestForm{.caption = L"Runtime test",
                            .frame = FrameKind::Sizable,
                            .clientWidth = 3300,
                            .clientHeight = 2400,
                            .clientOrigin = POINT{1500, 1500},
                            .controls = kControls};

// A form that records the events it gets.
class TestForm : public Form {
  public:
    TestForm() : Form(kTestForm) {}

    bool loadSawHiddenWindow = false;
    bool loadSawControls = false;
    int loads = 0;
    int unloads = 0;
    std::int16_t cancelUnload = 0;
    std::vector<int> clicks;
    std::vector<wchar_t> keys;
    bool throwOnClick = false;

  protected:
    void Form_Load() override {
        ++loads;
        loadSawHiddenWindow = IsWindowVisible(Hwnd()) == FALSE;
        loadSawControls = IsWindow(Control(kNote)) != FALSE;
    }
    void Form_Unload(std::int16_t& Cancel) override {
        ++unloads;
        Cancel = cancelUnload;
    }
    void Click(int control) override {
        clicks.push_back(control);
        if (throwOnClick)
            throw std::runtime_error("boom in a click handler");
    }
    // Drops 'x', turns 'a' into 'b', lets the rest through.
    void KeyPress(int control, std::int16_t& KeyAscii) override {
        EXPECT_EQ(control, kCombo);
        keys.push_back(static_cast<wchar_t>(KeyAscii));
        if (KeyAscii == 'x')
            KeyAscii = 0;
        else if (KeyAscii == 'a')
            KeyAscii = 'b';
    }
};

class FormRuntime : public ::testing::Test {
  protected:
    void TearDown() override {
        if (form.Loaded()) {
            form.cancelUnload = 0;
            form.Unload();
        }
        Runtime::DoEvents(); // also takes the quit message the last unload posts
    }
    void ShowAndActivate() {
        form.Show();
        Activate(form.Hwnd());
    }
    TestForm form;
};

TEST_F(FormRuntime, LoadCreatesControlsThenRaisesFormLoadBeforeTheWindowIsShown) {
    form.Load();
    EXPECT_EQ(form.loads, 1);
    EXPECT_TRUE(form.loadSawHiddenWindow);
    EXPECT_TRUE(form.loadSawControls);
    EXPECT_FALSE(IsWindowVisible(form.Hwnd()));
    form.Show(); // already loaded: shows without loading again
    EXPECT_EQ(form.loads, 1);
    EXPECT_TRUE(IsWindowVisible(form.Hwnd()));
}

TEST_F(FormRuntime, ASizableFormWithAFixedPlaceStandsThere) {
    form.Show();
    const auto style = GetWindowLongW(form.Hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    POINT origin{0, 0};
    ClientToScreen(form.Hwnd(), &origin);
    EXPECT_EQ(origin.x, 100); // 1500 twips
    EXPECT_EQ(origin.y, 100);
    EXPECT_FALSE(SendMessageW(form.Hwnd(), WM_GETICON, ICON_BIG, 0));
}

TEST_F(FormRuntime, UnloadHonoursCancelAndTheTitleBarCloseUnloadsToo) {
    form.Show();
    form.cancelUnload = 1;
    form.Unload();
    EXPECT_TRUE(form.Loaded());
    SendMessageW(form.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(form.Loaded());
    EXPECT_EQ(form.unloads, 2);
    form.cancelUnload = 0;
    const HWND hwnd = form.Hwnd();
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(form.Loaded());
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(form.unloads, 3);
}

TEST_F(FormRuntime, TheProgramEndsWhenItsLastFormUnloads) {
    form.Show();
    EXPECT_TRUE(Runtime::DoEvents());
    form.Unload();
    EXPECT_FALSE(Runtime::DoEvents()); // the message loop would stop here
}

TEST_F(FormRuntime, CheckBoxRaisesClickWheneverItsStateChanges) {
    ShowAndActivate();
    form.SetValue(kCheck, 1);
    form.SetValue(kCheck, 1); // no change, no event
    form.SetValue(kCheck, 0);
    EXPECT_EQ(form.clicks, (std::vector<int>{kCheck, kCheck}));
    ClickCenter(form.Control(kCheck));
    PumpUntil([&] { return form.clicks.size() == 3; });
    EXPECT_EQ(form.Value(kCheck), 1);
    EXPECT_EQ(form.clicks.size(), 3u);
}

TEST_F(FormRuntime, SettingAComboTextSelectsNothingAndRaisesNoClick) {
    ShowAndActivate();
    form.SetText(kCombo, L"二");
    PumpFor(20);
    EXPECT_EQ(form.Text(kCombo), L"二");
    EXPECT_EQ(form.ListIndex(kCombo), -1);
    EXPECT_EQ(form.List(kCombo, 1), L"二");
    EXPECT_TRUE(form.clicks.empty());
}

TEST_F(FormRuntime, PickingAnEntryRaisesOneClickWithTheEntrySelected) {
    ShowAndActivate();
    const HWND combo = form.Control(kCombo);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo, &info);
    ClickAt(combo, {(info.rcButton.left + info.rcButton.right) / 2,
                    (info.rcButton.top + info.rcButton.bottom) / 2});
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(info.hwndList) != FALSE; }));
    EXPECT_TRUE(form.clicks.empty()); // opening is not a pick
    RECT item{};
    SendMessageW(info.hwndList, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
    ClickAt(info.hwndList, {item.left + 5, (item.top + item.bottom) / 2});
    PumpUntil([&] { return !form.clicks.empty(); });
    PumpFor(50);
    EXPECT_EQ(form.clicks, std::vector<int>{kCombo});
    EXPECT_EQ(form.ListIndex(kCombo), 2);
    EXPECT_EQ(form.Text(kCombo), L"三");

    // With the list closed, an arrow key moves the selection: that is a pick too.
    form.clicks.clear();
    SetFocus(combo);
    PressKey(VK_UP);
    PumpUntil([&] { return !form.clicks.empty(); });
    EXPECT_EQ(form.clicks, std::vector<int>{kCombo});
    EXPECT_EQ(form.ListIndex(kCombo), 1);
}

TEST_F(FormRuntime, TypedCharactersPassThroughKeyPressWhichCanDropOrChangeThem) {
    ShowAndActivate();
    SetFocus(form.Control(kCombo));
    TypeText(L"xa1");
    PumpUntil([&] { return form.keys.size() == 3; });
    PumpFor(20);
    EXPECT_EQ(form.keys, (std::vector<wchar_t>{L'x', L'a', L'1'}));
    EXPECT_EQ(form.Text(kCombo), L"b1");
    EXPECT_TRUE(form.clicks.empty());
}

TEST_F(FormRuntime, EnterPressesTheDefaultOrFocusedButtonAndEscapeTheCancelButton) {
    ShowAndActivate();
    SetFocus(form.Control(kCombo));
    PressKey(VK_RETURN);
    PumpUntil([&] { return form.clicks.size() == 1; });
    PressKey(VK_ESCAPE);
    PumpUntil([&] { return form.clicks.size() == 2; });
    SetFocus(form.Control(kNext));
    PressKey(VK_RETURN);
    PumpUntil([&] { return form.clicks.size() == 3; });
    EXPECT_EQ(form.clicks, (std::vector<int>{kOk, kOk, kNext}));
}

TEST_F(FormRuntime, TabFollowsTabIndexesAndAccessKeysMoveTheFocus) {
    ShowAndActivate();
    EXPECT_TRUE(IsChild(form.Control(kCombo), GetFocus())); // the first tab stop
    PressKey(VK_TAB);
    PumpFor(20);
    EXPECT_EQ(GetFocus(), form.Control(kCheck));
    PressKey(VK_TAB);
    PumpFor(20);
    EXPECT_EQ(GetFocus(), form.Control(kOk));
    PressKey('N', false, true); // Alt+N: "次(&N)"
    PumpFor(50);
    EXPECT_EQ(form.clicks, std::vector<int>{kNext});
}

TEST_F(FormRuntime, PictureBoxHoldsItsLabelInsideABorder) {
    form.Show();
    const HWND picture = form.Control(kPicture);
    const HWND note = form.Control(kNote);
    EXPECT_EQ(GetParent(note), picture);
    EXPECT_TRUE(GetWindowLongW(picture, GWL_STYLE) & WS_BORDER);
    RECT outer;
    GetWindowRect(picture, &outer);
    EXPECT_EQ(outer.right - outer.left, 192); // 2880 twips, border included
    RECT rect;
    GetWindowRect(note, &rect);
    MapWindowPoints(nullptr, picture, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, 36); // 540 twips inside the border
    EXPECT_EQ(rect.top, 12);
    EXPECT_EQ(GetWindowLongW(note, GWL_STYLE) & SS_TYPEMASK, SS_LEFT); // wraps
    // The picture box paints white, with the picture at its top left.
    UpdateWindow(form.Hwnd());
    RedrawWindow(picture, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const HDC hdc = GetDC(picture);
    EXPECT_EQ(GetPixel(hdc, 150, 70), RGB(255, 255, 255));
    bool pictureDrawn = false;
    for (int x = 0; x < 32 && !pictureDrawn; ++x)
        for (int y = 0; y < 32 && !pictureDrawn; ++y)
            pictureDrawn = GetPixel(hdc, x, y) != RGB(255, 255, 255);
    ReleaseDC(picture, hdc);
    EXPECT_TRUE(pictureDrawn);
}

// Child processes: what ends a process.

CHILD_SCENARIO(ThrowingHandler) {
    TestForm form;
    form.throwOnClick = true;
    form.Show();
    PostMessageW(form.Control(kNext), BM_CLICK, 0, 0);
    return Runtime::Run() == 0 ? 0 : 2; // never gets here: the error report exits with 1
}

CHILD_SCENARIO(EndClosesEverything) {
    TestForm first;
    TestForm second;
    first.Show();
    second.Show();
    Runtime::End();
    const int code = Runtime::Run();
    // No unload event ran, and both windows are gone.
    return code == 0 && first.unloads == 0 && second.unloads == 0 && !first.Loaded() &&
                   !second.Loaded()
               ? 0
               : 3;
}

TEST(FormRuntimeFaults, AnExceptionInAHandlerShowsTheErrorReportAndExitsWithOne) {
    ChildProcess child("ThrowingHandler");
    HWND report = nullptr;
    ASSERT_TRUE(
        PumpUntil([&] { return (report = FindDialogOfProcess(child.Id())) != nullptr; }, 10000))
        << "no error report";
    wchar_t title[64] = {};
    GetWindowTextW(report, title, 64);
    EXPECT_STREQ(title, L"runtime_tests");
    wchar_t text[512] = {};
    GetDlgItemTextW(report, 0xFFFF, text, 512);
    EXPECT_NE(std::wstring(text).find(L"boom in a click handler"), std::wstring::npos) << text;
    ClickCenter(GetDlgItem(report, IDOK));
    ASSERT_TRUE(child.Wait(10000));
    EXPECT_EQ(child.ExitCode(), 1u);
}

TEST(FormRuntimeFaults, EndClosesEveryWindowWithoutRaisingEvents) {
    ChildProcess child("EndClosesEverything");
    ASSERT_TRUE(child.Wait(10000));
    EXPECT_EQ(child.ExitCode(), 0u);
}

} // namespace
