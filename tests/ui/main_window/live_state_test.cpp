#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/child_process.h"
#include "tests/support/ui_driver.h"
#include "tests/ui/main_window/main_window_driver.h"
#include "ui/runtime/runtime.h"

namespace {

const std::wstring kAllow = L"有効にする";
const std::wstring kDisable = L"無効にする";
const std::wstring kMachineDisallows =
    L"実際に適用されている設定: 無効にする（管理者またはコンピューターの設定）";

// The machine's zone key, with "1400" = 3, is a key of the scratch hive while this lives.
struct ScratchHklm {
    UniqueHkey machine;
    ScratchHklm() {
        PutRaw(L"Machine\\" + kZonePath, L"1400", REG_DWORD, std::string("\3\0\0\0", 4));
        RegOpenKeyExW(HKEY_CURRENT_USER, L"Machine", 0, KEY_READ, machine.put());
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine.get());
    }
    ~ScratchHklm() { RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr); }
};

// Marked: painted dark red, with white letters.
bool Marked(int label) {
    const HWND hwnd = Form1::Instance().Control(label);
    UpdateWindow(hwnd);
    const HDC hdc = GetDC(hwnd);
    const bool red = GetPixel(hdc, 105, 6) == RGB(192, 0, 0); // right of the caption, at 96 DPI
    SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                 reinterpret_cast<LPARAM>(hwnd));
    EXPECT_EQ(red, GetTextColor(hdc) == RGB(255, 255, 255)) << "label " << label;
    ReleaseDC(hwnd, hdc);
    return red;
}

// reg.exe on the scratch hive's zone key, in a process of its own (not redirected).
void RegExe(const ScratchHkcu& hkcu, const wchar_t* verb, const wchar_t* arguments) {
    const std::wstring line = std::wstring(L"reg.exe ") + verb + L" \"HKCU\\" + hkcu.Path() +
                              L"\\" + kZonePath + L"\" " + arguments + L" /f >nul";
    ASSERT_EQ(_wsystem(line.c_str()), 0) << "reg.exe failed";
}

using LiveState = MainWindowTest;

TEST_F(LiveState, TheWindowFollowsWhatIsStoredAndWhatIsInForceAndWritesNothing) {
    const ScratchHklm machine;
    Store(L"1400", 0);
    Open();
    const struct {
        const char* name;
        std::function<void()> change;
        Form1::ControlIndex list;
        std::wstring shown;
        bool marked;
    } changes[] = {
        {"reg.exe sets a value", [&] { RegExe(hkcu_, L"add", L"/v 1400 /t REG_DWORD /d 3"); },
         Form1::co_java_script, kDisable, false},
        {"a value added while a list is open, shown when it closes",
         [&] {
             SetFocus(ListWindow(Form1::co_java_applet)), PressKey(VK_F4), PumpFor(100);
             Store(L"1A02", 1), PumpFor(300);
             EXPECT_EQ(ListText(Form1::co_cookie_cookie), kAllow) << "refreshed while open";
             PressKey(VK_ESCAPE);
         },
         Form1::co_cookie_cookie, L"注意を表示する", false},
        {"reg.exe deletes a value: the machine's 3 in force",
         [&] { RegExe(hkcu_, L"delete", L"/v 1400"); }, Form1::co_java_script, kAllow, true},
        {"a value outside the table", [] { Store(L"1402", 2); }, Form1::co_java_applet, L"", true},
        {"the key deleted", [] { RegDeleteKeyW(HKEY_CURRENT_USER, kZonePath.c_str()); },
         Form1::co_cookie_cookie, kAllow, true},
        {"the key created again", [] { Store(L"1C00", 0x800000); }, Form1::co_java_java,
         L"カスタム設定", true},
        {"3 picked for the user", [&] { Pick(Form1::co_java_script, 2, true); },
         Form1::co_java_script, kDisable, false},
        {"the user's 0 stored", [] { Store(L"1400", 0); }, Form1::co_java_script, kAllow, false},
        {"no security manager: COM entered otherwise on the thread",
         [&] {
             Form1::Instance().Unload(), RegExe(hkcu_, L"delete", L"/v 1400");
             EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
             Open(), Pick(Form1::co_java_applet, 2, false); // all else works
             EXPECT_EQ(Stored(L"1402"), 3u);
         },
         Form1::co_java_script, kAllow, false},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.name);
        c.change();
        const std::wstring tree = DumpTree(L"");
        EXPECT_TRUE(PumpUntil(
            [&] { return ListText(c.list) == c.shown && Marked(Form1::la_script) == c.marked; },
            500));
        EXPECT_EQ(DumpTree(L""), tree);
        for (const int control : {Form1::la_script, Form1::co_java_script})
            EXPECT_EQ(Form1::Instance().ToolTipText(control), c.marked ? kMachineDisallows : L"");
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
    const HWND javaField =
        FindWindowExW(ListWindow(Form1::co_java_java), nullptr, L"Edit", nullptr);
    SendMessageW(javaField, EM_SETSEL, 0, -1);
    SendMessageW(javaField, WM_COPY, 0, 0); // "無効にする" on the clipboard, for the pastes
    const auto openAndGoDown = [&](bool withMouse) {
        withMouse ? ClickAt(combo, {102, 9}) : PressKey(VK_F4);
        PumpFor(100);
        PressKey(VK_DOWN);
        PumpFor(50);
    };
    const struct {
        const char* name;
        std::function<void()> act;
        std::uint32_t stored; // shown too: 0 "有効にする", 3 "無効にする"
    } cases[] = {
        {"F4, Down, Escape", [&] { openAndGoDown(false), PressKey(VK_ESCAPE); }, 0},
        {"arrow, Down, Tab", [&] { openAndGoDown(true), PressKey(VK_TAB); }, 0},
        {"F4, Down, click elsewhere", [&] { openAndGoDown(false), ClickAt(Window(), POINT{}); }, 0},
        {"Shift+Insert", [] { PressKey(VK_INSERT, true); }, 0},
        {"the context menu's Paste", [] { PressKey(VK_F10, true), PressKey('P'); }, 0},
        {"Delete", [] { PressKey(VK_DELETE); }, 0},
        {"Shift+Delete", [] { PressKey(VK_DELETE, true); }, 0},
        {"WM_SETTEXT", [&] { SendMessageW(combo, WM_SETTEXT, 0, LPARAM(L"無効にする")); }, 0},
        {"typing", [] { TypeText(L"abcXYZ 123あ"), PressKey(VK_BACK); }, 0},
        {"Down on the closed list picks the entry below", [] { PressKey(VK_DOWN); }, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetFocus(combo);
        const std::wstring tree = DumpTree(L"");
        c.act();
        PumpFor(150);
        EXPECT_EQ(ListText(Form1::co_java_script), c.stored == 0 ? kAllow : kDisable);
        EXPECT_EQ(Stored(L"1400"), c.stored);
        EXPECT_EQ(DumpTree(L"") == tree, c.stored == 0) << "written";
    }
}

// The whole program in a child process, as wWinMain runs it; with a refused pick, it waits in
// the loop of the notice.
TEST(DISABLED_Child, MainWindowProgram) {
    int code = 0;
    {
        ScratchHkcu hkcu;
        Form1::Instance().Show();
        code = Runtime::Run();
    }
    ExitProcess(code);
}

TEST(DISABLED_Child, RefusalNoticeOpen) {
    int code = 0;
    {
        ScratchHkcu hkcu;
        PutRaw(kZonePath, L"1400", REG_DWORD, DwordBytes(0));
        SetKeySddl(kZonePath, L"D:P(A;;KR;;;WD)");
        Form1& form = Form1::Instance();
        form.Show();
        Activate(form.Hwnd());
        SetFocus(form.Control(Form1::co_java_script));
        PressKey(VK_DOWN);
        code = Runtime::Run();
    }
    ExitProcess(code);
}

TEST(MainWindowEnding, TheExitButtonTheTitleBarAndClosingDuringTheNoticeEndWithCodeZero) {
    for (const char* scenario : {"exit button", "title bar", "notice"}) {
        SCOPED_TRACE(scenario);
        const bool notice = scenario == std::string("notice");
        ChildProcess child(notice ? L"RefusalNoticeOpen" : L"MainWindowProgram");
        HWND window = nullptr;
        ASSERT_TRUE(PumpUntil(
            [&] {
                window = notice ? FindDialogOfProcess(child.Id()) : FindWindowW(nullptr, L"QUELM");
                DWORD pid = 0;
                GetWindowThreadProcessId(window, &pid);
                return pid == child.Id() && IsWindowVisible(window);
            },
            10000));
        if (notice)
            PostMessageW(GetWindow(window, GW_OWNER), WM_CLOSE, 0, 0);
        else if (scenario == std::string("title bar"))
            PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            PostMessageW(FindWindowExW(window, nullptr, L"Button", L"終了"), BM_CLICK, 0, 0);
        ASSERT_TRUE(child.Wait(10000));
        EXPECT_EQ(child.ExitCode(), 0u);
    }
}

} // namespace
