#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/scratch_hkcu.h"
#include "tests/support/ui_driver.h"
#include "ui/main_window/Form1.h"
#include "ui/runtime/app_info.h"
#include "ui/tip_of_day/frmTip.h"

inline std::wstring TipsFilePath() {
    return App::Path() + L"\\TIPOFDAY.TXT";
}

inline void WriteTipsFile(std::string_view bytes) {
    const UniqueFile file(CreateFileW(TipsFilePath().c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

inline std::wstring SettingKey() {
    return L"Software\\" + App::Title() + L"\\Options";
}

// The show-at-startup setting as stored, or nothing when absent.
inline std::optional<std::wstring> StoredSetting() {
    DWORD type = 0;
    std::string data;
    if (!QueryRaw(SettingKey(), L"Show Tips at Startup", type, data) || type != REG_SZ)
        return std::nullopt;
    const std::wstring value(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
    return value.substr(0, value.find(L'\0'));
}

inline void StoreSetting(const std::wstring& value) {
    PutRaw(SettingKey(), L"Show Tips at Startup", REG_SZ,
           std::string(reinterpret_cast<const char*>(value.c_str()), (value.size() + 1) * 2));
}

inline bool MainWindowShown() {
    return Form1::Instance().Loaded() && IsWindowVisible(Form1::Instance().Hwnd()) != FALSE;
}

inline std::vector<std::wstring> Tips(const frmTip& tip) {
    std::vector<std::wstring> tips;
    for (std::int32_t i = 1; i <= static_cast<std::int32_t>(tip.TipList.Count()); ++i)
        tips.emplace_back(tip.TipList.Item(i));
    return tips;
}

// A tip window of its own for each test, so that TipList starts empty; the settings in a
// scratch HKEY_CURRENT_USER; no tips file until the test writes one.
class TipWindowTest : public ScratchHkcuTest {
  protected:
    void SetUp() override { RemoveTipsFile(); }
    void TearDown() override {
        if (tip_.Loaded())
            tip_.Unload();
        if (Form1::Instance().Loaded())
            Form1::Instance().Unload();
        PumpFor(20);
        RemoveTipsFile();
    }
    static void RemoveTipsFile() {
        SetFileAttributesW(TipsFilePath().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(TipsFilePath().c_str());
        RemoveDirectoryW(TipsFilePath().c_str());
    }
    void ShowTip() {
        tip_.Show();
        PumpFor(50);
    }
    std::wstring TipText() const { return tip_.Text(frmTip::lblTipText); }
    void Press(int button) {
        ClickCenter(tip_.Control(button));
        PumpFor(50);
    }

    frmTip tip_;
};
