#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/unique_handle.h"

// How a form marks its controls: colours of their own (labels and picture boxes) and tips shown
// while the mouse rests on them, or beside a list that the keyboard reached.

inline constexpr COLORREF kDefaultColor = CLR_INVALID;

// The colours of a marked label.
struct MarkColors {
    COLORREF back;
    COLORREF fore;
    bool operator==(const MarkColors&) const = default;
};
// True while the system is in high contrast mode (never under Wine).
bool HighContrast();
// Dark red with white letters or, in high contrast mode, the system's highlight colours, as
// Windows asks of every program: the one place that chooses.
MarkColors LabelMark(bool highContrast = HighContrast());

// The colours one control is drawn in, where they are not the system's.
class ControlColors {
  public:
    // Background back (kDefaultColor: the system's), text fore (kDefaultColor: the system's
    // button text). False when they were already so.
    bool Set(COLORREF back, COLORREF fore);
    // Sets the colours into hdc and returns the background brush, or null where the system's
    // colours apply.
    HBRUSH Apply(HDC hdc) const;

  private:
    COLORREF back_ = kDefaultColor;
    COLORREF fore_ = kDefaultColor;
    UniqueGdiObject brush_; // none with the default background
};

// The tips of one form's controls: one tooltip window, made when the first tip is set, which
// the system destroys with the form.
class ToolTips {
  public:
    // The tip of control (a window of form), empty for none.
    std::wstring Text(HWND form, HWND control) const;
    // Sets the tip of a control and of the windows that make it up (targets, the control
    // first); empty for none. Throws when the tooltip window cannot be made.
    void Set(HWND form, const std::vector<HWND>& targets, std::wstring_view text, HFONT font);
    // Tips are in the form's font, like its controls.
    void SetFont(HFONT font) const;
    // Shows the tip of control just below it until Untrack, for keyboard users, who rest no
    // mouse on it; a tip set meanwhile shows at once. Nothing shows while the control has none.
    void Track(HWND form, HWND control);
    void Untrack(HWND form);
    // The form's window is gone, and the tooltip window with it.
    void Forget() { window_ = tracked_ = nullptr; }

  private:
    HWND window_ = nullptr;
    HWND tracked_ = nullptr;
};
