#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "ui/runtime/form.h"
#include "zone/zone_settings.h"
#include "zone/zone_sources.h"
#include "zone/zone_watch.h"

// The main window: one drop-down list for each of the five zone settings, and the buttons
// "既定値" (defaults), "全無効" (disable all) and "終了" (exit). The lists follow the stored
// values while the window is open, and a setting that something other than the user's own value
// decides (group policy, the machine's value), or whose policy in force is another, is marked
// with where it comes from.
class Form1 final : public Form {
  public:
    // The controls, by their index in the definition table (which lists them in tab order).
    enum ControlIndex : int {
        la_script,
        co_java_script,
        co_java_applet,
        Label1,
        co_java_java,
        Label2,
        co_cookie_cookie,
        Label3,
        co_cookie_session,
        Label4,
        com_reset,
        com_end,
        Command1,
    };

    // The program's one main window.
    static Form1& Instance();

    Form1();

  protected:
    void Form_Load() override;
    void Form_Unload(std::int16_t& Cancel) override;
    void Click(int control) override;
    void KeyPress(int control, std::int16_t& KeyAscii) override;
    void Form_Signalled(HANDLE event) override;
    void Form_SystemColorsChanged() override;

  private:
    void co_java_script_Click();
    void co_java_applet_Click();
    void co_java_java_Click();
    void co_cookie_cookie_Click();
    void co_cookie_session_Click();
    void com_reset_Click();
    void Command1_Click();
    void com_end_Click();

    // Writes the entry just picked in a list; see Form1.cpp.
    void WritePick(int list);
    // The defaults and disable-all buttons: a Yes/No question, then a fixed set of values.
    void WriteFixedSet(std::wstring_view question, std::wstring_view title, bool (*write)(),
                       std::int32_t ZoneSetting::*column);
    // Shows values (in ZoneValues order) in the five lists.
    void ShowValues(const std::array<std::int32_t, 5>& values);
    void ReportRefusedWrite();
    void MarkSettingsInEffect();

    // The value each list stands for now, in ZoneValues order, and the sources of the settings
    // in force as the last marking pass found them.
    std::array<std::int32_t, 5> shown_{};
    ZoneSnapshot sources_{};
    std::optional<ZoneKeyWatch> watch_;
    bool marking_ = false; // from when the window is up
};

// The definition table of the main window.
const FormDef& Form1Definition();
