#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/runtime/combo_field.h"
#include "ui/runtime/form_def.h"
#include "ui/runtime/form_layout.h"
#include "ui/runtime/label_marks.h"

// A form's window: made from its definition (form_def.h), it raises the form's event handlers,
// which hold the form's code.

class Form {
  public:
    explicit Form(const FormDef& def) : def_(def), layout_(def), marks_(def) {}
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

    // One control's window and its list, for combo boxes; both go with the window.
    struct ControlState {
        HWND hwnd = nullptr;
        std::unique_ptr<ComboField> list;
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

    void CreateFormWindow();
    ComboField::Handlers ListHandlers(int combo);
    void ApplyLayout(UINT dpi, const RECT* suggested = nullptr);
    void RememberFocus();
    void RestoreFocus();
    void FitLists(UINT dpi);
    std::vector<HWND> Handles() const;

    const FormDef& def_;
    HWND hwnd_ = nullptr;
    std::vector<ControlState> controls_;
    FormLayout layout_;
    LabelMarks marks_;
    HWND lastFocus_ = nullptr;
    std::deque<std::function<void()>> posted_;
    std::vector<HANDLE> watched_;
    std::vector<HANDLE> deferredSignals_;
    int openMessageBoxes_ = 0;
};
