#include <windows.h>

#include "ui/main_window/Form1.h"

#include <span>
#include <stdexcept>
#include <string>

#include "ui/main_window/entry_tables.h"
#include "ui/runtime/runtime.h"
#include "zone/Module1.h"
#include "zone/zone_settings.h"

namespace {

// Which list stands for which setting: its place in ZoneValues and kZoneSettings, and the
// entries it offers.
struct SettingList {
    Form1::ControlIndex list;
    std::size_t setting;
    std::span<const ListEntry> entries;
};

constexpr SettingList kSettingLists[] = {
    {Form1::co_java_script, 0, kPolicyEntries},    // "1400"
    {Form1::co_java_applet, 1, kPolicyEntries},    // "1402"
    {Form1::co_java_java, 2, kJavaEntries},        // "1C00"
    {Form1::co_cookie_cookie, 3, kPolicyEntries},  // "1A02"
    {Form1::co_cookie_session, 4, kPolicyEntries}, // "1A03"
};

constexpr UINT kQuestionStyle = MB_YESNO | MB_ICONINFORMATION; // 68
constexpr UINT kWarningStyle = MB_OK | MB_ICONEXCLAMATION;     // 48

const SettingList& SettingOf(int list) {
    for (const SettingList& s : kSettingLists)
        if (s.list == list)
            return s;
    throw std::logic_error("not a settings list");
}

} // namespace

Form1& Form1::Instance() {
    static Form1 form;
    return form;
}

Form1::Form1() : Form(Form1Definition()) {}

void Form1::Form_Load() {
    Module1::ReadZoneValues();
    ShowValues(Module1::ZoneValues);
}

void Form1::Click(int control) {
    switch (control) {
    case co_java_script:
        co_java_script_Click();
        break;
    case co_java_applet:
        co_java_applet_Click();
        break;
    case co_java_java:
        co_java_java_Click();
        break;
    case co_cookie_cookie:
        co_cookie_cookie_Click();
        break;
    case co_cookie_session:
        co_cookie_session_Click();
        break;
    case com_reset:
        com_reset_Click();
        break;
    case Command1:
        Command1_Click();
        break;
    case com_end:
        com_end_Click();
        break;
    }
}

// The lists take no typing: a setting changes only by picking an entry.
void Form1::KeyPress(int /*control*/, std::int16_t& KeyAscii) {
    KeyAscii = 0;
}

void Form1::co_java_script_Click() {
    WritePick(co_java_script);
}
void Form1::co_java_applet_Click() {
    WritePick(co_java_applet);
}
void Form1::co_java_java_Click() {
    WritePick(co_java_java);
}
void Form1::co_cookie_cookie_Click() {
    WritePick(co_cookie_cookie);
}
void Form1::co_cookie_session_Click() {
    WritePick(co_cookie_session);
}

void Form1::com_reset_Click() {
    WriteFixedSet(L"既定値に戻してもよろしいですか？", L"既定値設定", Module1::WriteDefaultValues,
                  &ZoneSetting::defaultValue);
}

void Form1::Command1_Click() {
    WriteFixedSet(L"全て無効にしてもよろしいですか？", L"全無効設定", Module1::WriteAllDisabled,
                  &ZoneSetting::disabledValue);
}

void Form1::com_end_Click() {
    Unload();
    Runtime::End();
}

void Form1::WritePick(int list) {
    const SettingList& setting = SettingOf(list);
    const int picked = ListIndex(list);
    if (picked < 0 || picked >= static_cast<int>(setting.entries.size()))
        return; // no entry picked: nothing to write
    Module1::PendingValue = setting.entries[picked].value;
    std::wstring valueName(kZoneSettings[setting.setting].valueName);
    if (!Module1::WriteZoneValue(valueName))
        ReportRefusedWrite();
}

// Asks; on Yes writes the set and shows its entries, without reading the registry back.
void Form1::WriteFixedSet(std::wstring_view question, std::wstring_view title, bool (*write)(),
                          std::int32_t ZoneSetting::*column) {
    if (MsgBox(question, kQuestionStyle, title) != IDYES)
        return;
    if (!write())
        return ReportRefusedWrite();
    std::array<std::int32_t, 5> values{};
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = kZoneSettings[i].*column;
    ShowValues(values);
}

// Shows each value as its list's entry; a value that no entry stands for leaves the edit field
// empty. Showing is not a pick: it writes nothing.
void Form1::ShowValues(const std::array<std::int32_t, 5>& values) {
    for (const SettingList& s : kSettingLists) {
        std::wstring_view text;
        for (const ListEntry& entry : s.entries)
            if (entry.value == values[s.setting])
                text = entry.text;
        SetText(s.list, text);
    }
}

// The registry refused a write: say so, and show what is really stored rather than what was
// asked for.
void Form1::ReportRefusedWrite() {
    MsgBox(L"設定を保存できませんでした。", kWarningStyle, L"QUELM");
    Module1::ReadZoneValues();
    ShowValues(Module1::ZoneValues);
}
