#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "tests/support/scratch_hkcu.h"
#include "tests/support/ui_driver.h"
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

using Stored5 = std::array<std::optional<std::uint32_t>, 5>;
using Texts5 = std::array<std::wstring, 5>;

// A fixture that opens the main window on a redirected HKEY_CURRENT_USER and closes it again.
class MainWindowTest : public ScratchHkcuTest {
  protected:
    void TearDown() override;

    // Shows the main window as the program does at start.
    Form1& Open();
    HWND Window() const { return Form1::Instance().Hwnd(); }
    HWND ListWindow(int list) const { return Form1::Instance().Control(list); }
    std::wstring ListText(int list) const { return Form1::Instance().Text(list); }
    // Picks entry n of a list with the mouse or with the keyboard.
    void Pick(int list, int entry, bool withMouse) {
        PickEntry(ListWindow(list), entry, withMouse);
    }
    // Clicks a button with the mouse.
    void Press(int button) { ClickCenter(Form1::Instance().Control(button)), PumpFor(20); }

    // The stored DWORD, or nullopt when it is missing or not a 4-byte REG_DWORD.
    static std::optional<std::uint32_t> Stored(const wchar_t* valueName);
    static void Store(const wchar_t* valueName, std::uint32_t value) {
        PutRaw(kZonePath, valueName, REG_DWORD, DwordBytes(value));
    }
    // The five values and the five lists' texts, in ZoneValues order.
    static Stored5 AllStored();
    static Texts5 AllTexts();
};
