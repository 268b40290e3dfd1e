#include <windows.h>

#include "tests/ui/main_window/main_window_driver.h"

#include <cstring>

#include "tests/support/ui_driver.h"

void MainWindowTest::TearDown() {
    if (Form1& form = Form1::Instance(); form.Loaded()) {
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

std::optional<std::uint32_t> MainWindowTest::Stored(const wchar_t* valueName) {
    DWORD type = 0;
    std::string data;
    if (!QueryRaw(kZonePath, valueName, type, data) || type != REG_DWORD || data.size() != 4)
        return std::nullopt;
    std::uint32_t value = 0;
    std::memcpy(&value, data.data(), 4);
    return value;
}

Stored5 MainWindowTest::AllStored() {
    Stored5 values;
    for (size_t i = 0; i < kLists.size(); ++i)
        values[i] = Stored(kLists[i].valueName);
    return values;
}

Texts5 MainWindowTest::AllTexts() {
    Texts5 texts;
    for (size_t i = 0; i < kLists.size(); ++i)
        texts[i] = Form1::Instance().Text(kLists[i].list);
    return texts;
}

// Wine's shell32, which urlmon brings in, writes the user's shell folders into the registry
// when it first loads. The main window loads urlmon once it is up: load it before any test,
// so that this lands in the real hive and not in the scratch hives the tests compare.
[[maybe_unused]] static const HMODULE kUrlmonLoadedFirst = LoadLibraryW(L"urlmon.dll");
