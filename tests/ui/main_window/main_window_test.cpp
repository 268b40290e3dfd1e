#include <windows.h>
#include <commctrl.h>
#include <imm.h>
#include <objbase.h>
#include <process.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "base/resource_ids.h"
#include "tests/support/scratch_registry.h"
#include "tests/support/ui_driver.h"
#include "ui/main_window/Form1.h"
#include "ui/runtime/dpi.h"
#include "ui/runtime/label_marks.h"
#include "ui/runtime/runtime.h"

namespace {

const std::wstring kZonePath =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\3";
const std::wstring kPolicyZone =
    L"Software\\Policies\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\3";
// The tip of a setting that the machine decides with 3, the user having no value.
const std::wstring kMachineDisallows = L"コンピューターの設定: 無効にする";

// The five lists in ZoneValues order, with their value names.
struct ListUnderTest {
    Form1::ControlIndex list;
    const wchar_t* valueName;
    bool java;
};
constexpr ListUnderTest kLists[] = {
    {Form1::co_java_script, L"1400", false},    {Form1::co_java_applet, L"1402", false},
    {Form1::co_java_java, L"1C00", true},       {Form1::co_cookie_cookie, L"1A02", false},
    {Form1::co_cookie_session, L"1A03", false},
};

using Stored5 = std::array<std::optional<std::uint32_t>, 5>;
using Texts5 = std::array<std::wstring, 5>;

// Wine's shell32, which urlmon brings in, writes the user's shell folders into the registry when
// it first loads: before any test, so that this lands in the real hive, not in scratch ones.
[[maybe_unused]] const HMODULE kUrlmonLoadedFirst = LoadLibraryW(L"urlmon.dll");
// Wine's imm32 reads the keyboard layout's input method from HKEY_LOCAL_MACHINE when a context is
// first used: before any test redirects it, or no window would have a context.
[[maybe_unused]] const bool kInputMethodLoadedFirst = [] {
    const HWND edit = CreateWindowExW(0, L"Edit", L"", WS_POPUP, 0, 0, 9, 9, {}, {}, {}, {});
    ImmReleaseContext(edit, ImmGetContext(edit));
    return DestroyWindow(edit) != FALSE;
}();

// The main window on a redirected HKEY_CURRENT_USER, closed after each test.
class MainWindowTest : public ScratchRegistryTest {
  protected:
    void TearDown() override {
        if (Form1::Instance().Loaded())
            Form1::Instance().Unload(), PumpFor(20);
    }
    static Form1& Open() {
        Form1::Instance().Show();
        Activate(Form1::Instance().Hwnd());
        return Form1::Instance();
    }
    static HWND Window() { return Form1::Instance().Hwnd(); }
    static HWND ListWindow(int list) { return Form1::Instance().Control(list); }
    static std::wstring ListText(int list) { return Form1::Instance().Text(list); }
    static void Press(int button) { ClickCenter(ListWindow(button)), PumpFor(20); }
    static void Store(const wchar_t* valueName, std::uint32_t value) {
        PutRaw(kZonePath, valueName, REG_DWORD, DwordBytes(value));
    }
    static void Machine(const wchar_t* name, DWORD value, const std::wstring& path = kZonePath) {
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, path.c_str(), name, REG_DWORD, &value, sizeof value);
    }
    // The stored DWORDs, nothing where a value is missing or not a REG_DWORD.
    static Stored5 AllStored() {
        Stored5 values;
        for (size_t i = 0; i < values.size(); ++i) {
            DWORD value = 0;
            DWORD size = sizeof value;
            if (RegGetValueW(HKEY_CURRENT_USER, kZonePath.c_str(), kLists[i].valueName,
                             RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS)
                values[i] = value;
        }
        return values;
    }
    static Texts5 AllTexts() {
        Texts5 texts;
        for (size_t i = 0; i < texts.size(); ++i)
            texts[i] = ListText(kLists[i].list);
        return texts;
    }
};

const std::wstring kAllow = L"有効にする";
const std::wstring kPrompt = L"注意を表示する";
const std::wstring kDisable = L"無効にする";
const std::vector<std::wstring> kPolicyTexts = {kPrompt, kAllow, kDisable};
const std::vector<std::wstring> kJavaTexts = {L"安全性-高", L"安全性-中", L"安全性-低", kDisable,
                                              L"カスタム設定"};
const std::vector<std::uint32_t> kPolicyValues = {1, 0, 3}; // what each entry stores
const std::vector<std::uint32_t> kJavaValues = {0x10000, 0x20000, 0x30000, 0, 0x800000};

// Every control at 96 DPI, in pixels of the client area, and the list each label names.
struct ExpectedControl {
    Form1::ControlIndex index;
    const wchar_t *className, *text;
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

// The focused control, as one of the form's controls (a combo box's edit counts as the combo).
int FocusedControl() {
    const HWND focus = GetFocus();
    for (int i = 0; i <= Form1::Command1; ++i)
        if (Form1::Instance().Control(i) == focus || IsChild(Form1::Instance().Control(i), focus))
            return i;
    return -1;
}

using MainWindowLayout = MainWindowTest;

// The window's icons at the sizes shown at dpi, each loaded for it: the system's shared cache
// keeps one size a name.
void ExpectIconsFor(HWND hwnd, int dpi) {
    for (const auto& [which, metric] :
         {std::pair{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
        auto* const icon = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, which, 0));
        const int side = GetSystemMetricsForDpi(metric, dpi);
        SCOPED_TRACE(testing::Message() << "icon " << which);
        ICONINFO info{};
        BITMAP bitmap{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
        DeleteObject(info.hbmColor), DeleteObject(info.hbmMask);
        EXPECT_EQ(std::pair(bitmap.bmWidth, bitmap.bmHeight), std::pair(LONG{side}, LONG{side}));
        EXPECT_NE(icon, LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_QUELM),
                                   IMAGE_ICON, side, side, LR_SHARED))
            << "from the shared cache";
    }
}

// With the newest DPI functions and with the older ways before Windows 10 alike.
TEST_F(MainWindowLayout, FrameControlsAndFontStandAsDefinedAtEveryDpi) {
    for (const auto level : {Dpi::Level::Newest, Dpi::Level::Windows81, Dpi::Level::Windows7}) {
        SCOPED_TRACE(testing::Message() << "DPI functions of level " << static_cast<int>(level));
        Dpi::UseLevelForTests(level);
        Form1& form = Open();
        const HWND hwnd = form.Hwnd();
        EXPECT_EQ(FindWindowW(nullptr, L"QUELM"), hwnd); // its caption
        const auto style = GetWindowLongW(hwnd, GWL_STYLE);
        EXPECT_EQ(style &
                      (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME),
                  WS_CAPTION | WS_SYSMENU);
        EXPECT_EQ(GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND),
                  reinterpret_cast<ULONG_PTR>(GetSysColorBrush(COLOR_BTNFACE)));
        // The manifest brings the common controls 6, which draw with visual styles.
        ACTCTX_SECTION_KEYED_DATA comctl6{};
        comctl6.cbSize = sizeof comctl6;
        EXPECT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION,
                                             L"comctl32.dll", &comctl6));
        // As the system does on a move to another monitor: it asks for the size at the new DPI,
        // suggests a rectangle of that size, and repaints nothing itself.
        for (const int dpi : {96, 144, 480, 96}) {
            SCOPED_TRACE(testing::Message() << dpi << " DPI");
            // Positions and sizes scale from twips separately: an edge may be a pixel off.
            const auto scaled = [&](LONG px) { return LONG{MulDiv(px, dpi, 96)}; };
            const int slack = dpi == 96 ? 0 : 1;
            RECT window;
            GetWindowRect(hwnd, &window);
            SIZE size{};
            EXPECT_TRUE(
                SendMessageW(hwnd, WM_GETDPISCALEDSIZE, dpi, reinterpret_cast<LPARAM>(&size)));
            const RECT suggested{window.left + 7, window.top + 5, window.left + 7 + size.cx,
                                 window.top + 5 + size.cy};
            RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            GetWindowRect(hwnd, &window);
            EXPECT_EQ(std::pair(window.left, window.top), std::pair(suggested.left, suggested.top));
            RECT frame{0, 0, scaled(229), scaled(119)};
            AdjustWindowRectExForDpi(&frame, style, FALSE, GetWindowLongW(hwnd, GWL_EXSTYLE), dpi);
            if (level == Dpi::Level::Newest) { // the older ways scale the frame of 96 DPI
                EXPECT_EQ(std::pair(size.cx, size.cy),
                          std::pair(frame.right - frame.left, frame.bottom - frame.top));
            }
            RECT client;
            GetClientRect(hwnd, &client);
            EXPECT_EQ(std::pair(client.right, client.bottom), std::pair(scaled(229), scaled(119)));
            ExpectIconsFor(hwnd, dpi);
            for (const ExpectedControl& e : kExpected) {
                SCOPED_TRACE(testing::Message() << "control " << e.index);
                const HWND control = form.Control(e.index);
                EXPECT_TRUE(GetUpdateRect(control, nullptr, FALSE)) << "left unpainted";
                RECT r;
                GetWindowRect(control, &r);
                MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
                EXPECT_NEAR(r.left, scaled(e.rect.left), slack);
                EXPECT_NEAR(r.top, scaled(e.rect.top), slack);
                EXPECT_NEAR(r.right - r.left, scaled(e.rect.right - e.rect.left), slack);
                EXPECT_NEAR(r.bottom - r.top, scaled(e.rect.bottom - e.rect.top), slack);
                LOGFONTW lf{};
                ASSERT_TRUE(
                    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)),
                               sizeof lf, &lf));
                EXPECT_STREQ(lf.lfFaceName, L"ＭＳ Ｐゴシック"); // 8.25 points, regular:
                EXPECT_EQ(std::tie(lf.lfHeight, lf.lfWeight, lf.lfCharSet, lf.lfItalic,
                                   lf.lfUnderline, lf.lfStrikeOut),
                          std::tuple(scaled(-11), FW_NORMAL, SHIFTJIS_CHARSET, 0, 0, 0));
                const auto controlStyle = GetWindowLongW(control, GWL_STYLE);
                if (e.className == std::wstring_view(L"ComboBox")) {
                    EXPECT_EQ(controlStyle & (3 | CBS_SORT), CBS_DROPDOWN);
                    EXPECT_EQ(SendMessageW(control, CB_GETCOUNT, 0, 0),
                              e.index == Form1::co_java_java ? 5 : 3);
                    // No input method: a composition would show text that is not stored.
                    EXPECT_EQ(ImmGetContext(FindWindowExW(control, nullptr, L"Edit", nullptr)),
                              nullptr);
                    continue;
                }
                EXPECT_EQ(form.Text(e.index), e.text);
                if (e.names < 0)
                    continue;
                // Labels (their colours in LiveState): one line, no access key, no focus, and just
                // before their list: screen readers name a control after that static text.
                EXPECT_EQ(GetWindow(form.Control(e.names), GW_HWNDPREV), control);
                EXPECT_EQ(controlStyle & (SS_TYPEMASK | SS_NOPREFIX | WS_TABSTOP),
                          SS_LEFTNOWORDWRAP | SS_NOPREFIX);
            }
        }
        form.Unload(), PumpFor(20);
    }
    Dpi::UseLevelForTests(Dpi::Level::Newest);
}

// The texts of the form's tips that show, mouse's and keyboard's, and the last one's window.
using Tips = std::vector<std::wstring>;
Tips TipsShown(HWND* window = nullptr) {
    Tips shown;
    for (HWND tip = nullptr; (tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr));)
        if (GetWindow(tip, GW_OWNER) == Form1::Instance().Hwnd() && IsWindowVisible(tip)) {
            wchar_t text[256] = {};
            SendMessageW(tip, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
            shown.emplace_back(text);
            if (window)
                *window = tip;
        }
    return shown;
}

// The tips shown while the system menu is open, seen from the menu's own loop, which closes it.
Tips seenInTheMenu;
void CALLBACK LookInTheMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer), seenInTheMenu = TipsShown(), EndMenu();
}

// Marked lists reached by Tab or Shift+Tab show their tip until the focus leaves; the first one,
// focused at the start, shows nothing; Enter and Escape in a list press nothing. Wherever the
// window goes, the list the user left keeps the focus (a dialog box's focus memory) and its tip
// stands beside the window at the list's row, over none of the window, letting clicks through;
// it stands aside while the list or a menu is open and while the window is minimised. The mouse
// resting on another marked control shows that one's tip instead, until it leaves.
TEST_F(MainWindowLayout, TabWalksTheTabOrderAndTheKeyboardsTipStaysWithItsList) {
    Machine(L"1400", 3), Machine(L"1402", 3), Machine(L"1A02", 3); // the user having none
    MoveMouse({0, 0});
    const HWND other = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                       nullptr, nullptr, nullptr, nullptr);
    Form1& form = Open();
    const auto marked = [](int list) { return !Form1::Instance().ToolTipText(list).empty(); };
    ASSERT_TRUE(PumpUntil([&] { return marked(Form1::co_cookie_cookie); }));
    EXPECT_EQ(TipsShown(), Tips{});
    const std::wstring tree = DumpTree(L"");
    MessageBoxAnswerer answerer(IDNO);
    const int cycle[] = {Form1::co_java_script,   Form1::co_java_applet,    Form1::co_java_java,
                         Form1::co_cookie_cookie, Form1::co_cookie_session, Form1::com_reset,
                         Form1::com_end,          Form1::Command1};
    EXPECT_EQ(FocusedControl(), Form1::co_java_script);
    for (int step = 1; step <= 16; ++step) { // round the order by Tab, then back by Shift+Tab
        // In a list, Enter and Escape press no button (a focused button takes Enter).
        if (FocusedControl() < Form1::com_reset)
            PressKey(VK_RETURN), PressKey(VK_ESCAPE);
        PressKey(VK_TAB, step > 8);
        PumpFor(20);
        ASSERT_TRUE(form.Loaded());
        const int focused = cycle[(step > 8 ? 16 - step : step) % 8];
        SCOPED_TRACE(testing::Message() << (step > 8 ? "Shift+Tab" : "Tab") << ", step " << step);
        EXPECT_EQ(FocusedControl(), focused);
        EXPECT_EQ(TipsShown(), marked(focused) ? Tips{kMachineDisallows} : Tips{});
    }
    PressKey(VK_TAB);
    const HWND list = ListWindow(Form1::co_java_applet);
    const auto away = [&] { Activate(other), Activate(Window()); };
    const auto dpiChange = [](int dpi) {
        RECT r;
        GetWindowRect(Window(), &r), OffsetRect(&r, 40, 30);
        SendMessageW(Window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&r));
    };
    const auto noTip = [](const char* when) { EXPECT_EQ(TipsShown(), Tips{}) << when; };
    const auto minimiseAndRestore = [&] {
        SendMessageW(Window(), WM_SYSCOMMAND, SC_MINIMIZE, 0), PumpFor(50), noTip("minimised");
        SendMessageW(Window(), WM_SYSCOMMAND, SC_RESTORE, 0);
    };
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"reached by Tab", [] {}},
        {"the window moved", [] { SetWindowPos(Window(), nullptr, 300, 200, 0, 0, SWP_NOSIZE); }},
        {"moved to a monitor of 144 DPI", [&] { dpiChange(144); }},
        {"and back to 96 DPI", [&] { dpiChange(96); }},
        {"the list opened, the window moved meanwhile, the list closed",
         [&] {
             PressKey(VK_F4), PumpFor(100), noTip("open");
             SetWindowPos(Window(), nullptr, 320, 210, 0, 0, SWP_NOSIZE), PressKey(VK_ESCAPE);
         }},
        {"the system menu opened and closed",
         [] {
             SetTimer(nullptr, 0, 200, LookInTheMenu);
             PostMessageW(Window(), WM_SYSCOMMAND, SC_KEYMENU, ' ');
             PumpFor(400);
             EXPECT_EQ(seenInTheMenu, Tips{}) << "while the menu is open";
         }},
        {"minimised and restored", minimiseAndRestore},
        {"hidden and shown",
         [] { ShowWindow(Window(), SW_HIDE), ShowWindow(Window(), SW_SHOW), Activate(Window()); }},
        {"another window in front", away},
        {"the window itself given the focus", [] { SetFocus(Window()); }},
        {"left from the next list, then minimised from this one",
         [&] { PressKey(VK_TAB), away(), PressKey(VK_TAB, true), minimiseAndRestore(); }},
    };
    for (const auto& [name, step] : steps) {
        SCOPED_TRACE(name);
        step();
        PumpFor(50);
        EXPECT_EQ(FocusedControl(), Form1::co_java_applet);
        if (TipsShown().empty()) // the focus given back by the program, not by Tab
            PressKey(VK_TAB, true), PressKey(VK_TAB);
        HWND tip = nullptr;
        ASSERT_TRUE(PumpUntil([&] { return TipsShown(&tip) == Tips{kMachineDisallows}; }));
        RECT shown;
        RECT window;
        RECT l;
        RECT overlap;
        GetWindowRect(tip, &shown), GetWindowRect(Window(), &window), GetWindowRect(list, &l);
        InflateRect(&shown, -1, -1); // Wine places a tip's border a pixel off
        EXPECT_NEAR(shown.top, l.top + 1, 1) << "beside its list";
        EXPECT_FALSE(IntersectRect(&overlap, &shown, &window)) << "over the window";
        const POINT centre{(shown.left + shown.right) / 2, (shown.top + shown.bottom) / 2};
        EXPECT_EQ(SendMessageW(tip, WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)),
                  HTTRANSPARENT);
    }
    // The tip changes where it shows; the mouse shows another one's while it rests there.
    Machine(L"1402", 0);
    const Tips mine{L"コンピューターの設定: 有効にする"};
    EXPECT_TRUE(PumpUntil([&] { return TipsShown() == mine; }));
    RECT label;
    GetWindowRect(form.Control(Form1::Label3), &label);
    MoveMouse({(label.left + label.right) / 2, (label.top + label.bottom) / 2});
    EXPECT_TRUE(PumpUntil([] { return TipsShown() == Tips{kMachineDisallows}; })) << "hovered";
    MoveMouse({0, 0});
    EXPECT_TRUE(PumpUntil([&] { return TipsShown() == mine; })) << "left";
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_EQ(DumpTree(L""), tree);
    // A control that had the focus and was destroyed meanwhile: the first one takes it.
    SetFocus(ListWindow(Form1::com_end)), Activate(other),
        DestroyWindow(ListWindow(Form1::com_end));
    Activate(Window());
    EXPECT_EQ(FocusedControl(), Form1::co_java_script);
    DestroyWindow(other);
}

using MainWindowBehaviour = MainWindowTest;

TEST_F(MainWindowBehaviour, EveryEntryPickedWritesItsValueToItsOwnName) {
    // Raw bytes show as entry 0; picking that shown entry still writes it, as a REG_DWORD.
    for (const ListUnderTest& l : kLists)
        PutRaw(kZonePath, l.valueName, REG_BINARY, DwordBytes(l.java ? 0x10000 : 1));
    Open();
    Stored5 expected;
    for (size_t i = 0; i < std::size(kLists); ++i) {
        const auto& values = kLists[i].java ? kJavaValues : kPolicyValues;
        const auto& texts = kLists[i].java ? kJavaTexts : kPolicyTexts;
        for (size_t entry = 0; entry < values.size(); ++entry) {
            const bool useMouse = (i + entry) % 2 == 0;
            SCOPED_TRACE(testing::Message() << "list " << i << " entry " << entry
                                            << (useMouse ? " by mouse" : " by keyboard"));
            PickEntry(ListWindow(kLists[i].list), static_cast<int>(entry), useMouse);
            expected[i] = values[entry];
            EXPECT_EQ(ListText(kLists[i].list), texts[entry]);
            EXPECT_EQ(AllStored(), expected);
        }
    }
}

TEST_F(MainWindowBehaviour, FixedSetButtonsAskFirstAndOnYesWriteAndShowTheSet) {
    Open(); // no zone key: every value reads as 0, and opening creates nothing
    EXPECT_EQ(AllTexts(), (Texts5{kAllow, kAllow, kDisable, kAllow, kAllow}));
    EXPECT_FALSE(KeyExists(kZonePath));
    const struct {
        Form1::ControlIndex button;
        const wchar_t *title, *question;
        Stored5 stored;
        Texts5 shown;
    } kButtons[] = {
        // clang-format off
        {Form1::com_reset, L"既定値設定", L"既定値に戻してもよろしいですか？",
         {0, 0, 0x10000, 0, 0}, {kAllow, kAllow, L"安全性-高", kAllow, kAllow}},
        {Form1::Command1, L"全無効設定", L"全て無効にしてもよろしいですか？",
         {3, 3, 0, 3, 3}, {kDisable, kDisable, kDisable, kDisable, kDisable}},
        // clang-format on
    };
    // Yes twice: the second write stores the same values, which Wine reports to no watch.
    for (const auto& b : kButtons) {
        for (const int answer : {IDNO, IDYES, IDYES}) {
            SCOPED_TRACE(testing::Message() << "button " << b.button << " answer " << answer);
            const std::wstring tree = DumpTree(L"");
            const Texts5 texts = AllTexts();
            MessageBoxAnswerer answerer(answer);
            Press(b.button);
            ASSERT_TRUE(PumpUntil([&] { return answerer.Seen().size() == 1; }));
            PumpFor(50);
            EXPECT_EQ(answerer.Seen()[0], (SeenMessageBox{b.title, b.question, Window(),
                                                          MB_YESNO | MB_ICONINFORMATION}));
            EXPECT_EQ(AllTexts(), answer == IDNO ? texts : b.shown);
            if (answer == IDNO)
                EXPECT_EQ(DumpTree(L""), tree);
            else
                EXPECT_EQ(AllStored(), b.stored);
        }
    }
}

TEST_F(MainWindowBehaviour, AReadOnlyZoneKeyShowsWhatIsStoredAndSaysWhenAWriteIsRefused) {
    const std::uint32_t values[] = {2, 3, 0x40000, 0xFFFFFFFF, 1}; // 2, 0x40000, -1: no entry
    for (size_t i = 0; i < std::size(kLists); ++i)
        Store(kLists[i].valueName, values[i]);
    SetKeySddl(kZonePath, L"D:P(A;;KR;;;WD)");
    const std::wstring tree = DumpTree(L"");
    Open();
    const Texts5 stored = {L"", kDisable, L"", L"", kPrompt};
    EXPECT_EQ(AllTexts(), stored);
    const SeenMessageBox refusal{L"QUELM", L"設定を保存できませんでした。", Window(),
                                 MB_OK | MB_ICONEXCLAMATION};
    MessageBoxAnswerer answerer(IDYES);
    PickEntry(ListWindow(Form1::co_java_script), 1, true);
    for (const int button : std::initializer_list<int>{-1, Form1::com_reset, Form1::Command1}) {
        SCOPED_TRACE(testing::Message() << "button " << button);
        const size_t boxes = button < 0 ? 1 : answerer.Seen().size() + 2; // question, refusal
        if (button >= 0)
            Press(button);
        ASSERT_TRUE(PumpUntil([&] { return answerer.Seen().size() == boxes; }));
        PumpFor(150);
        EXPECT_EQ(answerer.Seen().size(), boxes);
        EXPECT_EQ(answerer.Seen().back(), refusal);
        EXPECT_EQ(AllTexts(), stored); // back to what is stored
    }
    EXPECT_EQ(DumpTree(L""), tree);
}

// What a label is painted in: the background right of its caption (at 96 DPI), and its letters.
using Colors = std::pair<COLORREF, COLORREF>;
Colors Painted(int label) {
    const HWND hwnd = Form1::Instance().Control(label);
    UpdateWindow(hwnd);
    const HDC hdc = GetDC(hwnd);
    const COLORREF back = GetPixel(hdc, 105, 6);
    SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                 reinterpret_cast<LPARAM>(hwnd));
    const Colors painted{back, GetTextColor(hdc)};
    ReleaseDC(hwnd, hdc);
    return painted;
}

// Marked: painted dark red, with white letters.
bool Marked(int label) {
    const auto [back, fore] = Painted(label);
    EXPECT_EQ(back == RGB(192, 0, 0), fore == RGB(255, 255, 255)) << "label " << label;
    return back == RGB(192, 0, 0);
}

// reg.exe on the scratch hive's zone key, in a process of its own (not redirected), no shell.
void RegExe(const ScratchKey& hkcu, const wchar_t* verb, const wchar_t* arguments) {
    const std::wstring key = L"\"HKCU\\" + hkcu.Path() + L"\\" + kZonePath + L"\"";
    ASSERT_EQ(0, _wspawnlp(_P_WAIT, L"reg.exe", L"reg.exe", verb, key.c_str(), arguments, L"/f",
                           nullptr));
}

using LiveState = MainWindowTest;

// High contrast switched while the window is open, both ways, and the system's colours changed
// meanwhile: a marked label takes the highlight colours of the moment, the others leave their
// grey for the system's colours; switched off, dark red and grey again.
TEST_F(LiveState, HighContrastSwitchedWhileOpenRepaintsTheLabels) {
    Machine(L"1400", 3);
    Open();
    ASSERT_TRUE(PumpUntil([] { return Marked(Form1::la_script); }));
    Form1::Instance().SetToolTipText(Form1::Label4, L"left alone"); // by any marking pass
    const int highlight = COLOR_HIGHLIGHT;
    const COLORREF before = GetSysColor(highlight);
    const COLORREF green = RGB(0, 128, 0);
    const COLORREF text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    const Colors system{GetSysColor(COLOR_3DFACE), GetSysColor(COLOR_WINDOWTEXT)};
    const Colors grey{RGB(128, 128, 128), GetSysColor(COLOR_BTNTEXT)};
    const struct {
        const char* name;
        std::optional<bool> highContrast; // none: the highlight turns green
        Colors marked, plain;
    } steps[] = {
        {"on", true, {before, text}, system},
        {"a new highlight colour", {}, {green, text}, system},
        {"off", false, {RGB(192, 0, 0), RGB(255, 255, 255)}, grey},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        PretendHighContrastForTests(s.highContrast.value_or(true));
        if (s.highContrast) // as Windows tells every window
            SendMessageW(Window(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        else
            SetSysColors(1, &highlight, &green); // tells every window itself
        EXPECT_EQ(Painted(Form1::la_script), s.marked);
        EXPECT_EQ(Painted(Form1::Label1), s.plain);
    }
    SetSysColors(1, &highlight, &before);
    PretendHighContrastForTests(std::nullopt);
    for (int i = 0; i < 20; ++i) // a theme switched: no marking pass, nothing loaded
        SendMessageW(Window(), WM_SYSCOLORCHANGE, 0, 0),
            SendMessageW(Window(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    PumpFor(100);
    EXPECT_EQ(Form1::Instance().ToolTipText(Form1::Label4), L"left alone");
}

TEST_F(LiveState, TheWindowFollowsWhatIsStoredAndWhatIsInForceAndWritesNothing) {
    Open();
    const auto markedFirst = [] {
        EXPECT_TRUE(PumpUntil([] { return Marked(Form1::la_script); })) << "marked first";
    };
    const struct {
        const char* name;
        std::function<void()> change;
        Form1::ControlIndex list;
        std::wstring shown;
        std::wstring tip; // of the script setting, which is marked where it has one
    } changes[] = {
        {"reg.exe sets a value", [&] { RegExe(hkcu_, L"add", L"/v 1400 /t REG_DWORD /d 3"); },
         Form1::co_java_script, kDisable, L""},
        {"a value added while a list is open, shown when it closes",
         [&] {
             SetFocus(ListWindow(Form1::co_java_applet)), PressKey(VK_F4), PumpFor(100);
             Store(L"1A02", 1), PumpFor(300);
             EXPECT_EQ(ListText(Form1::co_cookie_cookie), kAllow) << "refreshed while open";
             PressKey(VK_ESCAPE);
         },
         Form1::co_cookie_cookie, L"注意を表示する", L""},
        {"reg.exe deletes a value: the machine's 3 in force",
         [&] { RegExe(hkcu_, L"delete", L"/v 1400"); }, Form1::co_java_script, kAllow,
         kMachineDisallows},
        {"the machine's value changed, the user having none",
         [&] { RegExe(hkcu_, L"delete", L"/v 1400"), markedFirst(), Machine(L"1400", 0); },
         Form1::co_java_script, kAllow, L"コンピューターの設定: 有効にする"},
        {"the key deleted and created again",
         [] { RegDeleteKeyW(HKEY_CURRENT_USER, kZonePath.c_str()), Store(L"1C00", 0x800000); },
         Form1::co_java_java, L"カスタム設定", kMachineDisallows},
        {"the user's policy, and the security manager's other answer",
         [] { PutRaw(kPolicyZone, L"1400", REG_DWORD, DwordBytes(3)); }, Form1::co_java_script,
         kAllow,
         L"グループ ポリシー（ユーザーの構成）: 無効にする\r\n実際に適用されている設定: "
         L"有効にする"},
        {"3 picked for the user", [&] { PickEntry(ListWindow(Form1::co_java_script), 2, true); },
         Form1::co_java_script, kDisable, L""},
        {"3 picked where the computer's policy decides: the mark stays",
         [&] {
             Machine(L"1400", 3, kPolicyZone), markedFirst();
             PickEntry(ListWindow(Form1::co_java_script), 2, true);
             EXPECT_EQ(AllStored()[0], 3u);
         },
         Form1::co_java_script, kDisable, L"グループ ポリシー（コンピューターの構成）: 無効にする"},
        {"the user's 0 stored again: the mark goes",
         [&] { RegExe(hkcu_, L"delete", L"/v 1400"), markedFirst(), Store(L"1400", 0); },
         Form1::co_java_script, kAllow, L""},
        {"writes that change nothing: no new marking pass",
         [&] {
             Form1::Instance().SetToolTipText(Form1::Label4, L"left alone");
             Store(L"1400", 0), Store(L"1401", 3), PumpFor(100);
             EXPECT_EQ(Form1::Instance().ToolTipText(Form1::Label4), L"left alone");
         },
         Form1::co_java_script, kAllow, L""},
        // Last: COM stays entered on the thread until the end.
        {"no security manager: COM entered otherwise on the thread",
         [&] {
             Form1::Instance().Unload(), RegExe(hkcu_, L"delete", L"/v 1400");
             EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
             Open(), PickEntry(ListWindow(Form1::co_java_applet), 2, false); // all else works
             EXPECT_EQ(AllStored()[1], 3u);
         },
         Form1::co_java_script, kAllow, kMachineDisallows},
    };
    const Texts5 start = {kAllow, kAllow, kDisable, kAllow, kAllow};
    for (const auto& c : changes) {
        SCOPED_TRACE(c.name);
        // Each change starts from the user's 0 for scripts and the machine's 3, nothing else.
        for (const HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            RegDeleteTreeW(hive, L"Software\\Policies"), RegDeleteTreeW(hive, kZonePath.c_str());
        Machine(L"1400", 3), Store(L"1400", 0);
        ASSERT_TRUE(PumpUntil([&] { return AllTexts() == start && !Marked(Form1::la_script); }))
            << "the start";
        c.change();
        const std::wstring tree = DumpTree(L"");
        const auto tip = [] { return Form1::Instance().ToolTipText(Form1::la_script); };
        PumpUntil([&] { return ListText(c.list) == c.shown && tip() == c.tip; }, 500);
        EXPECT_EQ(ListText(c.list), c.shown);
        EXPECT_EQ(Marked(Form1::la_script), !c.tip.empty());
        EXPECT_EQ(DumpTree(L""), tree);
        for (const int control : {Form1::la_script, Form1::co_java_script})
            EXPECT_EQ(Form1::Instance().ToolTipText(control), c.tip);
        for (const int label : {Form1::Label1, Form1::Label2, Form1::Label3, Form1::Label4})
            EXPECT_FALSE(Marked(label)) << label; // agreeing, or no policy to be had
    }
    Form1::Instance().Unload();
    CoUninitialize();
}

TEST_F(LiveState, TheFieldShowsOnlyWhatIsStoredOrJustPicked) {
    Store(L"1400", 0);
    Open();
    const HWND combo = ListWindow(Form1::co_java_script);
    const auto copyJava = [] { // "無効にする" from the Java list, for the pastes
        const HWND java = ListWindow(Form1::co_java_java);
        SendMessageW(java, CB_SETEDITSEL, 0, MAKELPARAM(0, -1)), SendMessageW(java, WM_COPY, 0, 0);
    };
    const auto openAndGoDown = [&](bool withMouse) {
        withMouse ? ClickAt(combo, {102, 9}) : PressKey(VK_F4);
        PumpFor(100), PressKey(VK_DOWN), PumpFor(50);
    };
    // None of these changes what the list shows, "有効にする", or writes anything.
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"F4, Down, F4", [&] { openAndGoDown(false), PressKey(VK_F4); }},
        {"F4, Down, Alt+Up", // the key as the system sends it with Alt held
         [&] { openAndGoDown(false), PostMessageW(GetFocus(), WM_SYSKEYDOWN, VK_UP, 1 << 29); }},
        {"arrow, Down, Tab", [&] { openAndGoDown(true), PressKey(VK_TAB); }},
        {"F4, Down, click elsewhere", [&] { openAndGoDown(false), ClickAt(Window(), POINT{}); }},
        {"Shift+Insert", [&] { copyJava(), PressKey(VK_INSERT, true); }},
        {"the context menu's Paste", [&] { copyJava(), PressKey(VK_F10, true), PressKey('P'); }},
        {"Delete", [] { PressKey(VK_DELETE); }},
        {"Shift+Delete", [] { PressKey(VK_DELETE, true); }},
        {"WM_SETTEXT", [&] { SendMessageW(combo, WM_SETTEXT, 0, LPARAM(L"無効にする")); }},
        {"CB_SETCURSEL", [&] { SendMessageW(combo, CB_SETCURSEL, 2, 0); }},
        {"CB_SELECTSTRING", [&] { SendMessageW(combo, CB_SELECTSTRING, 0, LPARAM(L"無効")); }},
        {"typing", [] { TypeText(L"abcXYZ 123あ"), PressKey(VK_BACK); }},
        {"the shown text put over itself, and that undone: the same text, no entry selected",
         [] {
             SendMessageW(GetFocus(), EM_SETSEL, 0, -1);
             SendMessageW(GetFocus(), EM_REPLACESEL, TRUE, LPARAM(L"有効にする"));
             SendMessageW(GetFocus(), EM_UNDO, 0, 0);
         }},
    };
    for (const auto& [name, act] : cases) {
        SCOPED_TRACE(name);
        Form1::Instance().ShowEntry(Form1::co_java_script, 1);
        SetFocus(combo), Runtime::DoEvents(); // what the focus change posted comes first
        const std::wstring tree = DumpTree(L"");
        act(), PumpFor(150); // give the input time to arrive
        EXPECT_EQ(ListText(Form1::co_java_script), kAllow);
        EXPECT_EQ(Form1::Instance().ListIndex(Form1::co_java_script), 1);
        EXPECT_EQ(DumpTree(L""), tree) << "written";
    }
}

// Another program leaves the focused list blank: Up, Down and F4 then start from the first entry,
// as at a fresh start, never from the entry shown before (which would write back the value just
// replaced). A deleted value or key reads as 0: the keys move from "有効にする". Enter picks and
// Escape cancels in the open list, marked or not.
TEST_F(LiveState, ABlankListAnswersTheKeysAsAtAFreshStart) {
    const std::tuple<const char*, std::function<void()>, bool> changes[] = {
        // blank or not
        {"blank at the start", [] { Form1::Instance().Unload(), Store(L"1400", 2), Open(); }, true},
        {"0xFFFFFFFF", [] { Store(L"1400", 0xFFFFFFFF); }, true},
        {"REG_SZ \"3\"", [] { PutRaw(kZonePath, L"1400", REG_SZ, Utf16Bytes(L"3")); }, true},
        {"the value deleted",
         [] { RegDeleteKeyValueW(HKEY_CURRENT_USER, kZonePath.c_str(), L"1400"); }, false},
        {"the key deleted", [] { RegDeleteTreeW(HKEY_CURRENT_USER, kZonePath.c_str()); }, false},
    };
    const auto f4 = [] { // and the list open, however busy the machine
        PressKey(VK_F4), PumpUntil([] {
            return SendMessageW(ListWindow(Form1::co_java_script), CB_GETDROPPEDSTATE, 0, 0) != 0;
        });
    };
    // The keys, and the entry they pick from "有効にする".
    const std::tuple<const char*, std::function<void()>, int> keys[] = {
        {"Up", [] { PressKey(VK_UP); }, 0},
        {"Down", [] { PressKey(VK_DOWN); }, 2},
        {"F4, Down, Enter", [&] { f4(), PressKey(VK_DOWN), PressKey(VK_RETURN); }, 2},
        {"F4, Down, Down, Escape, Up",
         [&] {
             f4(), PressKey(VK_DOWN), PressKey(VK_DOWN), PumpFor(50);
             PressKey(VK_ESCAPE), PumpFor(100), PressKey(VK_UP);
         },
         0},
    };
    const auto shows = [](const std::wstring& text) {
        return PumpUntil([&] { return ListText(Form1::co_java_script) == text; });
    };
    MoveMouse({0, 0}); // off the lists: an open list highlights the entry under the mouse
    Open();
    for (const int from : {1, 2}) { // not the first entry, which a blank list starts from
        // From "無効にする" the list is marked by a policy: its tooltip subclasses the field.
        const bool marked = from == 2;
        if (marked)
            PutRaw(kPolicyZone, L"1400", REG_DWORD, DwordBytes(3));
        for (const auto& [change, act, blank] : changes)
            for (const auto& [key, press, belowAllow] : keys) {
                SCOPED_TRACE(testing::Message()
                             << "from " << from << ", " << change << ", " << key);
                Store(L"1400", kPolicyValues[from]);
                ASSERT_TRUE(shows(kPolicyTexts[from]));
                SetFocus(ListWindow(Form1::co_java_script)), Runtime::DoEvents(), act();
                ASSERT_TRUE(shows(blank ? L"" : kAllow));
                ASSERT_TRUE(!marked || PumpUntil([] { return Marked(Form1::la_script); }));
                const auto before = AllStored()[0];
                press(), PumpUntil([&] { return AllStored()[0] != before; });
                const int picked = blank ? 0 : belowAllow;
                EXPECT_EQ(AllStored()[0], kPolicyValues[picked]);
                EXPECT_EQ(ListText(Form1::co_java_script), kPolicyTexts[picked]);
            }
    }
}

// The whole program in a child process, as wWinMain runs it, on a zone key that refuses writes.
TEST(DISABLED_Child, MainWindowProgram) {
    ExitProcess([] { // the scratch keys gone first
        const ScratchKey hklm(HKEY_LOCAL_MACHINE);
        const ScratchKey hkcu;
        PutRaw(kZonePath, L"1400", REG_DWORD, DwordBytes(0));
        SetKeySddl(kZonePath, L"D:P(A;;KR;;;WD)");
        Form1::Instance().Show();
        return static_cast<UINT>(Runtime::Run());
    }());
}

TEST(MainWindowEnding, TheExitButtonTheTitleBarAndClosingDuringTheNoticeEndWithCodeZero) {
    for (const std::string how : {"exit button", "title bar", "closing during the notice"}) {
        SCOPED_TRACE(how);
        const DWORD code = RunChild(L"MainWindowProgram", [&](DWORD child) {
            HWND window = nullptr;
            ASSERT_TRUE(PumpUntil(
                [&] { return (window = FindWindowOfProcess(child, L"QUELM.Form")) != nullptr; },
                10000));
            if (how == "exit button") {
                PostMessageW(FindWindowExW(window, nullptr, L"Button", L"終了"), BM_CLICK, 0, 0);
            } else if (how == "title bar") {
                PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            } else { // Down in the first list picks the entry below; the write is refused
                const HWND combo = FindWindowExW(window, nullptr, L"ComboBox", nullptr);
                PostMessageW(FindWindowExW(combo, nullptr, L"Edit", nullptr), WM_KEYDOWN, VK_DOWN,
                             0);
                ASSERT_TRUE(
                    PumpUntil([&] { return FindWindowOfProcess(child) != nullptr; }, 10000));
                PostMessageW(window, WM_CLOSE, 0, 0);
            }
        });
        EXPECT_EQ(code, 0u);
    }
}

} // namespace
