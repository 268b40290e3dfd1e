#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/ui_driver.h"
#include "ui/runtime/app_info.h"
#include "ui/runtime/form.h"
#include "ui/runtime/random.h"
#include "ui/runtime/runtime.h"

namespace {

enum : int { kCombo, kCheck };

constexpr std::wstring_view kEntries[] = {L"一", L"二", L"三"};

// clang-format off
constexpr ControlDef kControls[] = {
    {.name = L"combo", .kind = ControlKind::ComboBox, .entries = kEntries, .left = 120, .top = 120,
     .width = 1500, .height = 300, .tabIndex = 0, .events = kClick | kKeyPress},
    {.name = L"check", .kind = ControlKind::CheckBox, .caption = L"確認", .left = 1800, .top = 600,
     .width = 1200, .height = 300, .tabIndex = 1, .events = kClick},
};
constexpr FormDef kTestForm{.caption = L"Runtime test", .clientWidth = 3300, .clientHeight = 1200,
                            .clientOrigin = POINT{1500, 1500}, .controls = kControls};
// clang-format on

// A form that records its events; its key-press handler drops 'x' and turns 'a' into 'b'.
class TestForm : public Form {
  public:
    TestForm() : Form(kTestForm) {}
    std::vector<int> clicks;
    std::wstring keys;
    bool throwOnClick = false;
    std::int16_t cancelUnload = 0;

  protected:
    void Form_Unload(std::int16_t& Cancel) override { Cancel = cancelUnload; }
    void Click(int control) override {
        clicks.push_back(control);
        if (throwOnClick)
            throw std::runtime_error("boom in a click handler");
    }
    void KeyPress(int /*control*/, std::int16_t& KeyAscii) override {
        keys += static_cast<wchar_t>(KeyAscii);
        if (KeyAscii == 'x' || KeyAscii == 'a')
            KeyAscii = static_cast<std::int16_t>(KeyAscii == 'a' ? 'b' : 0);
    }
};

TEST(FormRuntime, APickRaisesOneClickAndShowingTextOrTypingRaisesNone) {
    TestForm form;
    form.Show();
    Activate(form.Hwnd());
    const HWND combo = form.Control(kCombo);
    SetFocus(combo);
    TypeText(L"a1x2"); // a dropped character must not move the caret
    PumpUntil([&] { return form.keys.size() == 4; });
    EXPECT_EQ(form.keys, L"a1x2");
    EXPECT_EQ(form.Text(kCombo), L"b12");
    form.SetText(kCombo, L"二");
    EXPECT_EQ(form.ListIndex(kCombo), -1);
    for (const bool withMouse : {true, false}) {
        SCOPED_TRACE(withMouse ? "mouse" : "keyboard");
        PickEntry(combo, withMouse ? 2 : 0, withMouse);
        PumpUntil([&] { return !form.clicks.empty(); });
        EXPECT_EQ(form.clicks, std::vector<int>{kCombo});
        EXPECT_EQ(form.Text(kCombo), withMouse ? L"三" : L"一");
        form.clicks.clear();
    }
    // Windows may send a list's notifications in orders that Wine never does: a CBN_SELCHANGE of
    // the closed list after a cancel is no pick, after a pick no second.
    const struct {
        const char* name;
        std::vector<WORD> codes;
        bool picks;
    } orders[] = {
        {"cancel, close-up, change", {CBN_SELENDCANCEL, CBN_CLOSEUP, CBN_SELCHANGE}, false},
        {"cancel, change, close-up", {CBN_SELENDCANCEL, CBN_SELCHANGE, CBN_CLOSEUP}, false},
        {"pick, close-up, change", {CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}, true},
        {"change, pick, close-up", {CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}, true},
    };
    for (const auto& o : orders) {
        SCOPED_TRACE(o.name);
        form.ShowEntry(kCombo, 0);
        SendMessageW(combo, CB_SETCURSEL, 1, 0); // where the list was left
        for (const WORD code : o.codes)
            SendMessageW(form.Hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), code),
                         reinterpret_cast<LPARAM>(combo));
        Runtime::DoEvents();
        EXPECT_EQ(form.clicks.size(), o.picks ? 1u : 0u);
        EXPECT_EQ(form.ListIndex(kCombo), o.picks ? 1 : 0);
        EXPECT_EQ(form.Text(kCombo), o.picks ? L"二" : L"一");
        form.clicks.clear();
    }
    // A check box set from code raises its click when, and only when, its state changes.
    for (const int value : {1, 1, 0})
        form.SetValue(kCheck, value);
    EXPECT_EQ(form.clicks, (std::vector<int>{kCheck, kCheck}));
    form.cancelUnload = 1;
    form.Unload();
    EXPECT_TRUE(form.Loaded()) << "Form_Unload set Cancel";
    form.cancelUnload = 0;
    form.Unload();
    EXPECT_FALSE(form.Loaded());
    Runtime::DoEvents(); // takes the quit message that the last unload posts
}

TEST(DISABLED_Child, ThrowingHandler) {
    TestForm form;
    form.throwOnClick = true;
    form.Show();
    PostMessageW(form.Control(kCheck), BM_CLICK, 0, 0);
    Runtime::Run(); // never returns: the error report exits with 1
    ExitProcess(2);
}

TEST(FormRuntime, AnExceptionInAHandlerShowsTheErrorReportAndExitsWithOne) {
    const DWORD code = RunChild(L"ThrowingHandler", [](DWORD child) {
        HWND report = nullptr;
        ASSERT_TRUE(
            PumpUntil([&] { return (report = FindWindowOfProcess(child)) != nullptr; }, 10000))
            << "no error report";
        wchar_t title[64] = {};
        GetWindowTextW(report, title, 64);
        EXPECT_STREQ(title, L"runtime_tests");
        wchar_t text[512] = {};
        GetDlgItemTextW(report, 0xFFFF, text, 512);
        EXPECT_NE(std::wstring(text).find(L"boom in a click handler"), std::wstring::npos) << text;
        ClickCenter(GetDlgItem(report, IDOK));
    });
    EXPECT_EQ(code, 1u);
}

// Draws are 32 random bits cut to 24 and scaled by 2^-24: even all bits set give r < 1.
TEST(RandomNumbers, DrawsAreStepsOfTwoToTheMinus24BelowOne) {
    EXPECT_EQ(UnitFromBits(0), 0.0f);
    EXPECT_EQ(UnitFromBits(0x80000000u), 0.5f);
    EXPECT_EQ(UnitFromBits(0xFFFFFFFFu), 1.0f - 1.0f / 16777216.0f);
}

// The program's folder and name give back its file: no separator is left at the folder's end.
TEST(AppInfo, TheFolderAndTheNameMakeTheProgramsPath) {
    wchar_t file[MAX_PATH];
    GetModuleFileNameW(nullptr, file, MAX_PATH);
    EXPECT_EQ(App::Path() + L"\\" + App::Title() + L".exe", file);
}

} // namespace
