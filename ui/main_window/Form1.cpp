#include <windows.h>

#include "ui/main_window/Form1.h"

#include <span>
#include <stdexcept>
#include <string>

#include "ui/main_window/entry_tables.h"
#include "ui/runtime/runtime.h"
#include "zone/Module1.h"
#include "zone/zone_policy.h"
#include "zone/zone_settings.h"
#include "zone/zone_sources.h"

namespace {

// Which list stands for which setting: its place in ZoneValues and kZoneSettings, and the
// entries it offers.
struct SettingList {
    Form1::ControlIndex list;
    Form1::ControlIndex label;
    std::size_t setting;
    std::span<const ListEntry> entries;
};

constexpr SettingList kSettingLists[] = {
    {Form1::co_java_script, Form1::la_script, 0, kPolicyEntries}, // "1400"
    {Form1::co_java_applet, Form1::Label1, 1, kPolicyEntries},    // "1402"
    {Form1::co_java_java, Form1::Label2, 2, kJavaEntries},        // "1C00"
    {Form1::co_cookie_cookie, Form1::Label3, 3, kPolicyEntries},  // "1A02"
    {Form1::co_cookie_session, Form1::Label4, 4, kPolicyEntries}, // "1A03"
};

constexpr UINT kQuestionStyle = MB_YESNO | MB_ICONINFORMATION;
constexpr UINT kWarningStyle = MB_OK | MB_ICONEXCLAMATION;

const SettingList& SettingOf(int list) {
    for (const SettingList& s : kSettingLists)
        if (s.list == list)
            return s;
    throw std::logic_error("not a settings list");
}

// The entry that shows value, or -1 when the list has none.
int EntryOf(const SettingList& s, std::int32_t value) {
    for (std::size_t i = 0; i < s.entries.size(); ++i)
        if (s.entries[i].value == value)
            return static_cast<int>(i);
    return -1;
}

} // namespace

Form1& Form1::Instance() {
    static Form1 form;
    return form;
}

Form1::Form1() : Form(Form1Definition()) {}

void Form1::Form_Load() {
    watch_.emplace(); // before reading, so that no change goes unseen
    for (const HANDLE event : watch_->Events())
        WatchEvent(event);
    Module1::ReadZoneValues();
    ShowValues(Module1::ZoneValues);
    // The security manager takes a while to load: not before the window is up and ready for
    // input.
    Runtime::WhenIdle([this] {
        if (!Loaded())
            return;
        marking_ = true;
        MarkSettingsInEffect();
    });
}

// The window goes: stop watching; the next load marks once its window is up again.
void Form1::Form_Unload(std::int16_t& /*Cancel*/) {
    marking_ = false;
    watch_.reset();
}

// Something under a watched key changed: watch on, then show what is stored and in force now,
// as at load; that writes nothing and is no pick. Where nothing of it changed, nothing is done:
// whatever wrote there (the security manager itself, perhaps) is not asked again.
void Form1::Form_Signalled(HANDLE event) {
    watch_->Arm(event);
    Module1::ReadZoneValues();
    if (Module1::ZoneValues == shown_ && (!marking_ || ReadZoneSources() == sources_))
        return;
    ShowValues(Module1::ZoneValues);
}

// A mark in high contrast is in the system's colours of the moment. Where the marks stand is
// unchanged: no marking pass, so a burst of these (a theme switch) loads nothing.
void Form1::Form_SystemColorsChanged() {
    const MarkColors mark = LabelMark();
    for (const SettingList& s : kSettingLists)
        if (!ToolTipText(s.label).empty())
            SetColors(s.label, mark.back, mark.fore);
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
    const std::int32_t value = setting.entries[picked].value;
    Module1::PendingValue = value;
    std::wstring valueName(kZoneSettings[setting.setting].valueName);
    if (!Module1::WriteZoneValue(valueName))
        return ReportRefusedWrite();
    shown_[setting.setting] = value;
    MarkSettingsInEffect();
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

// Shows each value as its list's entry, selected, so that the arrow keys move from the entry
// the user sees; a value that no entry stands for leaves the edit field empty and selects
// nothing. Showing is not a pick: it writes nothing.
void Form1::ShowValues(const std::array<std::int32_t, 5>& values) {
    for (const SettingList& s : kSettingLists)
        ShowEntry(s.list, EntryOf(s, values[s.setting]));
    shown_ = values;
    MarkSettingsInEffect();
}

// The registry refused a write: say so, and show what is really stored rather than what was
// asked for. Closing the window while the notice is open leaves nothing to show.
void Form1::ReportRefusedWrite() {
    MsgBox(L"設定を保存できませんでした。", kWarningStyle, L"QUELM");
    if (!Loaded())
        return;
    Module1::ReadZoneValues();
    ShowValues(Module1::ZoneValues);
}

// Marks each setting that something other than the user's own value decides (a policy, the
// machine-only switch, the machine's value), or whose policy in force as the security manager
// answers differs from its list: its label in the mark's colours, and a tip on the label and
// the list saying why. The security manager is loaded for each pass and let go after it: kept,
// it would hold some 2.4 MiB while the window waits for the user.
void Form1::MarkSettingsInEffect() {
    if (!marking_)
        return;
    sources_ = ReadZoneSources();
    const ZonePolicy policy;
    const MarkColors mark = LabelMark();
    for (const SettingList& s : kSettingLists) {
        const std::wstring tip =
            SourceTip(sources_[s.setting], policy.InEffect(kZoneSettings[s.setting].urlAction),
                      [&](std::int32_t value) {
                          const int entry = EntryOf(s, value);
                          return entry >= 0 ? s.entries[entry].text : std::wstring_view();
                      });
        // A tip says why its setting is marked: where there is none, nothing is.
        SetColors(s.label, tip.empty() ? kDefaultColor : mark.back,
                  tip.empty() ? kDefaultColor : mark.fore);
        SetToolTipText(s.label, tip);
        SetToolTipText(s.list, tip);
    }
}
