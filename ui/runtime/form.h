#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/unique_handle.h"
#include "ui/runtime/combo_field.h"
#include "ui/runtime/label_marks.h"

// Forms are declared as data: a table of controls in twips, turned into windows and pixels at
// the window's real DPI. A form's code runs in event handlers that the runtime raises.

enum class ControlKind { Label, ComboBox, CommandButton, CheckBox, PictureBox };

// Which events of a control have handlers; the runtime raises no other.
enum ControlEvents : unsigned { kNoEvents = 0, kClick = 1, kKeyPress = 2 };

inline constexpr int kOnForm = -1;

struct ControlDef {
    std::wstring_view name;
    ControlKind kind = ControlKind::Label;
    std::wstring_view caption = {};                  // empty for combo boxes and picture boxes
    std::span<const std::wstring_view> entries = {}; // combo boxes: the list, in order
    int left = 0, top = 0, width = 0, height = 0;    // twips, in the container's client area
    int tabIndex = 0;
    unsigned events = kNoEvents;
    int container = kOnForm;            // table index of the picture box holding the control
    COLORREF backColor = kDefaultColor; // labels and picture boxes
    bool wordWrap = false;              // labels
    bool isDefault = false;             // command buttons: Enter presses it
    bool isCancel = false;              // command buttons: Escape presses it
    int pictureId = 0;                  // picture boxes: icon resource drawn at the top left
    int labelFor = -1;                  // labels: table index of the control the label names
};

enum class FrameKind { FixedDialog, Sizable };

struct FontDef {
    std::wstring_view face;
    BYTE charset;
    LONG weight;
    int hundredthsOfPoint;
};

struct FormDef {
    std::wstring_view caption;
    FrameKind frame = FrameKind::FixedDialog;
    int clientWidth = 0, clientHeight = 0;  // twips
    std::optional<POINT> clientOrigin = {}; // twips from the screen's top left; none: default
    int iconId = 0;                         // icon resource, 0 for none
    std::optional<FontDef> font = {};       // none: the system's user-interface font
    std::span<const ControlDef> controls = {};
};

int TwipsToPixels(int twips, UINT dpi);

class Form {
  public:
    explicit Form(const FormDef& def) : def_(def) {}
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Creates the window and its controls and raises Form_Load; the window stays hidden.
    void Load();
    // Loads the form when needed, then shows it, modeless and without an owner.
    void Show();
    // Raises Form_Unload; destroys the window unless the handler set Cancel.
    void Unload();
    bool Loaded() const { return hwnd_ != nullptr; }

    HWND Hwnd() const { return hwnd_; }
    HWND Control(int index) const { return controls_.at(index).hwnd; }

    // Combo boxes: index of the selected entry (-1 when none), text of entry n.
    int ListIndex(int combo) const;
    std::wstring List(int combo, int n) const;
    // Combo boxes: selects entry n and shows its text, or with n = -1 selects none and empties
    // the edit field. Raises no click.
    void ShowEntry(int combo, int n);
    // Text of a control: a combo box's edit field, a label's caption. Setting a combo box's
    // text selects no entry and raises no click. Anything else that changes the field but a
    // pick or a typed character that the key-press handler lets through is undone at once (see
    // combo_field.h).
    std::wstring Text(int control) const;
    void SetText(int control, std::wstring_view text);
    // Check boxes: 0 unchecked, 1 checked. Setting a new state raises the click event.
    int Value(int checkBox) const;
    void SetValue(int checkBox, int value);

    // Labels: background and text colour; kDefaultColor gives back the definition's background
    // (the system's in high contrast) and the system's button-text colour.
    void SetColors(int label, COLORREF back, COLORREF fore);
    // The tip shown while the mouse rests on the control (on a combo box's edit field too);
    // empty for none.
    std::wstring ToolTipText(int control) const;
    void SetToolTipText(int control, std::wstring_view text);

    // Modal message box owned by this form; returns the answer (IDYES 6, IDNO 7, ...).
    int MsgBox(std::wstring_view prompt, UINT style, std::wstring_view title);

    // Raises handler from the message loop, after the messages already waiting.
    void Post(std::function<void()> handler);
    // While the form is loaded, raises Form_Signalled each time the event is set. The signal
    // waits while one of the form's lists is open or a message box of the form is open, and
    // comes when they close.
    void WatchEvent(HANDLE event);

  protected:
    virtual void Form_Load() {}
    virtual void Form_Unload(std::int16_t& /*Cancel*/) {}
    virtual void Click(int /*control*/) {}
    virtual void KeyPress(int /*control*/, std::int16_t& /*KeyAscii*/) {}
    virtual void Form_Signalled(HANDLE /*event*/) {}
    // The system's colours changed, or high contrast went on or off: colours the form set from
    // them are to be set again.
    virtual void Form_SystemColorsChanged() {}

  private:
    friend class FormWindow;

    // Control IDs start above IDOK and IDCANCEL, which the dialog manager sends for Enter and
    // Escape when no button claims them.
    static constexpr int kFirstControlId = 100;

    // One control's window and what the runtime keeps for it; all of it goes with the window.
    struct ControlState {
        HWND hwnd = nullptr;
        ControlColors colors;             // labels and picture boxes
        std::unique_ptr<ComboField> list; // combo boxes
    };

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    void OnCommand(int id, int code, HWND control);
    void SystemColorsChanged();
    LRESULT DefaultButtonId() const;
    int IndexOf(HWND control) const;
    ComboField& ListOf(int combo) const;
    void RaiseClick(int control);
    bool ListOpen() const;
    void RaisePosted();
    void Signalled(HANDLE event);
    void RaiseDeferredSignals();
    void StopWatching();

    // Creation, layout, font and DPI (form_layout.cpp).
    void CreateFormWindow();
    void CreateControls(UINT dpi);
    ComboField::Handlers ListHandlers(int combo);
    void ApplyLayout(UINT dpi);
    void SetFont(UINT dpi);
    void FitFrame(UINT dpi);

    // Colours and tips (label_marks.cpp): the brush of a control with colours of its own.
    HBRUSH ControlBrush(HDC hdc, HWND control) const;

    const FormDef& def_;
    HWND hwnd_ = nullptr;
    std::vector<ControlState> controls_;
    UniqueGdiObject font_;
    ComboField::HeightFit fieldFit_; // for the current font
    ToolTips tips_;
    HWND lastFocus_ = nullptr;
    std::deque<std::function<void()>> posted_;
    std::vector<HANDLE> watched_;
    std::vector<HANDLE> deferredSignals_;
    int openMessageBoxes_ = 0;
};
