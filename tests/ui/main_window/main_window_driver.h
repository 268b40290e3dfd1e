#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "tests/support/scratch_hkcu.h"
#include "ui/main_window/Form1.h"

// The zone key as the tests see it (HKEY_CURRENT_USER is the scratch key).
inline const std::wstring kZonePath =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\3";

// The five lists in ZoneValues order, with their value names.
struct ListUnderTest {
    Form1::ControlIndex list;
    const wchar_t* valueName;
    bool java;
};
inline constexpr std::array<ListUnderTest, 5> kLists{{
    {Form1::co_java_script, L"1400", false},
    {Form1::co_java_applet, L"1402", false},
    {Form1::co_java_java, L"1C00", true},
    {Form1::co_cookie_cookie, L"1A02", false},
    {Form1::co_cookie_session, L"1A03", false},
}};

// A fixture that opens the main window on a redirected HKEY_CURRENT_USER and closes it again.
class MainWindowTest : public ScratchHkcuTest {
  protected:
    void TearDown() override;

    // Shows the main window as the program does at start.
    Form1& Open();
    HWND Window() const { return Form1::Instance().Hwnd(); }
    HWND ListWindow(int list) const { return Form1::Instance().Control(list); }
    std::wstring ListText(int list) const { return Form1::Instance().Text(list); }

    // Picks entry n of a list as a user does: opens it with the mouse and clicks the entry,
    // or opens it with Alt+Down and moves there with the arrow keys and Enter.
    void PickWithMouse(int list, int entry);
    void PickWithKeyboard(int list, int entry);
    // Clicks a button with the mouse.
    void Press(int button);

    // The stored DWORD, or nullopt when it is missing or not a 4-byte value.
    static std::optional<std::uint32_t> Stored(const wchar_t* valueName);
    static void Store(const wchar_t* valueName, std::uint32_t value);
};
