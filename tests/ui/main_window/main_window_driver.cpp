#include <windows.h>

#include "tests/ui/main_window/main_window_driver.h"

#include <gtest/gtest.h>

#include "tests/support/ui_driver.h"

void MainWindowTest::TearDown() {
    Form1& form = Form1::Instance();
    if (form.Loaded()) {
        form.Unload();
        PumpFor(20);
    }
}

Form1& MainWindowTest::Open() {
    Form1& form = Form1::Instance();
    form.Show();
    Activate(form.Hwnd());
    return form;
}

void MainWindowTest::PickWithMouse(int list, int entry) {
    const HWND combo = ListWindow(list);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    ClickAt(combo, {(info.rcButton.left + info.rcButton.right) / 2,
                    (info.rcButton.top + info.rcButton.bottom) / 2});
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(info.hwndList) != FALSE; }))
        << "the list did not open";
    RECT item{};
    SendMessageW(info.hwndList, LB_GETITEMRECT, entry, reinterpret_cast<LPARAM>(&item));
    ClickAt(info.hwndList, {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(info.hwndList); }))
        << "the list did not close";
    PumpFor(20);
}

void MainWindowTest::PickWithKeyboard(int list, int entry) {
    const HWND combo = ListWindow(list);
    SetFocus(combo);
    PumpFor(10);
    PressKey(VK_F4); // F4 opens the list
    ASSERT_TRUE(PumpUntil([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }))
        << "the list did not open";
    // From wherever the highlight is, go to the top, then down to the entry.
    for (int i = 0; i < 6; ++i)
        PressKey(VK_UP);
    for (int i = 0; i < entry; ++i)
        PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) == 0; }))
        << "the list did not close";
    PumpFor(20);
}

void MainWindowTest::Press(int button) {
    ClickCenter(Form1::Instance().Control(button));
    PumpFor(20);
}

std::optional<std::uint32_t> MainWindowTest::Stored(const wchar_t* valueName) {
    DWORD type = 0;
    std::string data;
    if (!QueryRaw(kZonePath, valueName, type, data) || type != REG_DWORD || data.size() != 4)
        return std::nullopt;
    std::uint32_t value = 0;
    memcpy(&value, data.data(), 4);
    return value;
}

void MainWindowTest::Store(const wchar_t* valueName, std::uint32_t value) {
    PutRaw(kZonePath, valueName, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4));
}

// Wine's shell32, which urlmon brings in, writes the user's shell folders into the registry
// when it first loads. The main window loads urlmon once it is up: load it before any test,
// so that this lands in the real hive and not in the scratch hives the tests compare.
[[maybe_unused]] static const HMODULE kUrlmonLoadedFirst = LoadLibraryW(L"urlmon.dll");
