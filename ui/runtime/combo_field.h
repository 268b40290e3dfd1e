#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// One drop-down list of a form (a CBS_DROPDOWN combo box) and the guard of its edit field.
//
// The field shows what it was last given (Show, SetText), the entry last picked, or what a typed
// character that the key-press handler let through made of it. Any other change is undone: a
// paste, a deletion, an undo, a WM_SETTEXT, or a CB_SETCURSEL or CB_SELECTSTRING that no pick
// follows gets the field's text and selected entry put back.
//
// A pick is the list closing on an entry (CBN_SELENDOK, or Enter), or an arrow key moving the
// selection of the closed list (CBN_SELCHANGE). However many of these one pick sends, and in
// whatever order, one pick is raised, after the combo box has finished its own work: the field
// shows the entry picked, then the pick handler runs. Moving through the open list is no pick;
// closing it any other way (Escape, F4, Alt+Up, Tab, a click elsewhere) is a cancel, and a
// CBN_SELCHANGE that follows a cancel is none either.
//
// Only what Microsoft documents about the notifications is relied on; where the order is left
// open (CBN_CLOSEUP and CBN_SELCHANGE), either order gives the same result.
class ComboField {
  public:
    // What the form raises for the list: typed characters (KeyAscii 0 drops one), a pick, and
    // the list closed and settled.
    struct Handlers {
        std::function<void(std::int16_t& keyAscii)> keyPress;
        std::function<void()> pick;
        std::function<void()> closed;
    };
    // A combo height and the field height that gives it, found by one list and taken at once
    // by the others of the form (each resize of a combo box also moves its list window).
    struct HeightFit {
        int comboHeight = -1;
        int fieldHeight = 0;
    };

    // Subclasses the combo box's edit field; the list holds entries entries.
    ComboField(HWND combo, int entries, HeightFit& fit, Handlers handlers);
    ~ComboField();
    ComboField(const ComboField&) = delete;
    ComboField& operator=(const ComboField&) = delete;

    // The list whose edit field is field, or null for any other window.
    static ComboField* OfField(HWND field);

    // The selected entry, -1 for none; the text of entry n (empty when there is none); the
    // field's text.
    int Selected() const;
    std::wstring Entry(int n) const;
    std::wstring Text() const;
    bool Open() const;

    // Selects entry n (-1: none, and an empty field, the arrow keys then moving to the first
    // entry as on a new list); sets the field's text, selecting nothing.
    void Show(int n);
    void SetText(std::wstring_view text);

    // Closes the open list as a pick or a cancel (Enter and Escape).
    void CloseList(bool pick);
    // The form's WM_COMMAND from the combo box.
    void Notified(int code);
    // Sizes the closed combo box height pixels high; the list gets room for its entries when it
    // next opens.
    void Fit(int height);

  private:
    static LRESULT CALLBACK FieldProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnFieldMessage(WNDPROC original, UINT msg, WPARAM wp, LPARAM lp);
    void FitField(int height);
    void SizeList();
    void Keep();
    void FieldChanged();
    void RequestPick();
    void PostSettle();
    void Settle();
    void Select(int n);
    void Restore();

    HWND combo_;
    HWND field_ = nullptr;
    HWND list_ = nullptr; // the combo box's list box
    int entries_;
    HeightFit& fit_;
    Handlers handlers_;
    std::wstring shownText_; // what the field is to show, and the entry selected with it
    int shownEntry_ = -1;
    bool listSized_ = false;
    bool busy_ = false;        // the list itself is changing the field, or a typed character
    bool closing_ = false;     // CloseList at work: its notifications are not the user's
    bool pickPending_ = false; // a pick waits to be raised
    bool cancelled_ = false;   // the list closed without a pick
    bool closedUp_ = false;    // the list closed
    bool settlePosted_ = false;
};
