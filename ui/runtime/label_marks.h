#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/unique_handle.h"
#include "ui/runtime/form_def.h"

// How a form marks its controls: colours of their own (labels and picture boxes) and tips shown
// while the mouse rests on them, or beside a list that the keyboard reached.

// The colours of a marked label.
struct MarkColors {
    COLORREF back;
    COLORREF fore;
    bool operator==(const MarkColors&) const = default;
};
// True while the system is in high contrast mode (never under Wine).
bool HighContrast();
// Tests: high contrast taken as on or off whatever the system says, or with none asked again.
void PretendHighContrastForTests(std::optional<bool> on);
// Dark red with white letters or, in high contrast mode, the system's highlight colours, as
// Windows asks of every program: the one place that chooses.
MarkColors LabelMark(bool highContrast = HighContrast());

// The colours one control is drawn in, where they are not the system's: its own background,
// which gives way to the system's in high contrast as Windows asks, or the colours the program
// set (a mark), which are the program's to choose.
class ControlColors {
  public:
    ControlColors() = default;
    explicit ControlColors(COLORREF own) : own_(own) { Refresh(); }
    // Background back (kDefaultColor: the control's own), text fore (kDefaultColor: the system's
    // button text). False when the control was already drawn so.
    bool Set(COLORREF back, COLORREF fore);
    // The system's colours or high contrast changed. False when the control's did not.
    bool Refresh();
    // Sets the colours into hdc and returns the background brush, or null where the system's
    // colours apply.
    HBRUSH Apply(HDC hdc) const;

  private:
    COLORREF own_ = kDefaultColor;
    COLORREF back_ = kDefaultColor, fore_ = kDefaultColor;           // as set
    COLORREF drawnBack_ = kDefaultColor, drawnFore_ = kDefaultColor; // as drawn
    UniqueGdiObject brush_; // none with the system's background
};

// The tips of one form's controls: one tooltip window for the mouse and one for the keyboard,
// each made when first needed, which the system destroys with the form. A tip under the mouse
// hides the keyboard's while it shows.
class ToolTips {
  public:
    // The tip of control (a window of form), empty for none.
    std::wstring Text(HWND form, HWND control) const;
    // Sets the tip of a control and of the windows that make it up (targets, the control
    // first); empty for none. Throws when the tooltip window cannot be made.
    void Set(HWND form, const std::vector<HWND>& targets, std::wstring_view text, HFONT font);
    // Tips are in the form's font, like its controls.
    void SetFont(HFONT font) const;
    // Shows the tip of control beside the form until Untrack, for keyboard users, who rest no
    // mouse on it; a tip set meanwhile shows at once. Nothing shows while the control has none.
    // The tip covers none of the form's controls where the screen has room, and a click on it
    // goes to what is under it.
    void Track(HWND form, HWND control);
    void Untrack(HWND form);
    // The form moved or was laid out again: the keyboard's tip goes with its control.
    void Place(HWND form) const;
    // Why the keyboard's tip may stand aside for a while; it shows again when none holds.
    enum Hold : unsigned { kListOpen = 1, kMenuOpen = 2, kMinimised = 4 };
    void SetHold(HWND form, Hold hold, bool on);
    // A notification that the form received: the mouse's tip shows or goes.
    void Notified(HWND form, const NMHDR& header);
    // The form's window is gone, and the tooltip windows with it.
    void Forget() {
        window_ = trackWindow_ = tracked_ = nullptr;
        hovering_ = false;
        holds_ = 0;
    }

  private:
    void ShowTracked(HWND form) const;

    HWND window_ = nullptr;      // the mouse's tips, a tool for each control
    HWND trackWindow_ = nullptr; // the keyboard's, one tool for the form (uId 0)
    HWND tracked_ = nullptr;
    bool hovering_ = false; // the mouse's tip shows
    unsigned holds_ = 0;    // Hold flags
};

// The colours and tips of one form's controls. The form tells it its window and the controls'
// handles once they are made.
class LabelMarks {
  public:
    explicit LabelMarks(const FormDef& def) : def_(def) {}

    // The form's window and its controls, in the definition's order, are made; or gone (null).
    void Attach(HWND form, std::vector<HWND> controls);
    // See Form::SetColors and Form::SetToolTipText.
    void SetColors(int control, COLORREF back, COLORREF fore);
    std::wstring ToolTipText(int control) const;
    void SetToolTipText(int control, std::wstring_view text, HFONT font);
    // Sets the colours of a control that has its own into hdc and gives its background brush;
    // null for any other window.
    HBRUSH Brush(HDC hdc, HWND control) const;
    // The system's colours or high contrast changed.
    void Refresh();
    // Tips are in the form's font; a list that the keyboard reached shows its tip until Untrack.
    void SetFont(HFONT font) const { tips_.SetFont(font); }
    void Track(HWND control) { tips_.Track(form_, control); }
    void Untrack() { tips_.Untrack(form_); }
    void PlaceTip() const { tips_.Place(form_); }
    void HoldTip(ToolTips::Hold hold, bool on) { tips_.SetHold(form_, hold, on); }
    void Notified(const NMHDR& header) { tips_.Notified(form_, header); }

  private:
    const FormDef& def_;
    HWND form_ = nullptr;
    std::vector<HWND> controls_;
    std::vector<ControlColors> colors_;
    ToolTips tips_;
};
