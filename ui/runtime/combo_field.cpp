// A form's drop-down list: the guard of its edit field and the one pick per choice.

#include <windows.h>
#include <imm.h>

#include "ui/runtime/combo_field.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Posted to a list's edit field: the combo box has finished its own work, the field settles.
constexpr UINT kSettleMessage = WM_APP + 1;

// Sets a flag while it lives and gives back the value it found, so nested guards unwind right.
class ScopedFlag {
  public:
    explicit ScopedFlag(bool& flag) : flag_(flag), found_(std::exchange(flag, true)) {}
    ~ScopedFlag() { flag_ = found_; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

  private:
    bool& flag_;
    bool found_;
};

// The list of a field that FieldProc serves: the combo box keeps it in its user data.
ComboField* ListOf(HWND field) {
    return reinterpret_cast<ComboField*>(GetWindowLongPtrW(GetParent(field), GWLP_USERDATA));
}

// Every list alive, found by its field's handle: a tooltip or anyone else may subclass the field
// after us, so its window procedure does not tell it.
std::vector<ComboField*> allLists;

} // namespace

// The field's own procedure is kept in its user data (comctl32's subclassing looks its data up
// in a window property on every message: a server round trip under Wine).
ComboField::ComboField(HWND combo, int entries, HeightFit& fit, Handlers handlers)
    : combo_(combo), entries_(entries), fit_(fit), handlers_(std::move(handlers)) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    GetComboBoxInfo(combo, &info);
    field_ = info.hwndItem;
    list_ = info.hwndList;
    // The list takes no text: no input method, whose composition would show unstored text in
    // the field and take the arrow keys.
    ImmAssociateContextEx(field_, nullptr, 0);
    SetWindowLongPtrW(combo_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(field_, GWLP_USERDATA, GetWindowLongPtrW(field_, GWLP_WNDPROC));
    SetWindowLongPtrW(field_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FieldProc));
    allLists.push_back(this);
}

ComboField::~ComboField() {
    std::erase(allLists, this);
}

ComboField* ComboField::OfField(HWND field) {
    const auto it =
        std::ranges::find(allLists, field, [](const ComboField* l) { return l->field_; });
    return field && it != allLists.end() ? *it : nullptr;
}

LRESULT CALLBACK ComboField::FieldProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_CHAR:
    case WM_SETTEXT:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case kSettleMessage:
        if (ComboField* list = ListOf(hwnd))
            return list->OnFieldMessage(original, msg, wp, lp);
        break;
    default:
        break;
    }
    return CallWindowProcW(original, hwnd, msg, wp, lp);
}

LRESULT ComboField::OnFieldMessage(WNDPROC original, UINT msg, WPARAM wp, LPARAM lp) {
    const HWND field = field_;
    switch (msg) {
    case kSettleMessage:
        Settle();
        return 0;
    case WM_SETTEXT: {
        // A combo box passes a WM_SETTEXT on without notifying anyone: check every new text.
        const LRESULT result = CallWindowProcW(original, field, msg, wp, lp);
        FieldChanged();
        return result;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // F4, Alt+Up and Alt+Down close an open list: a cancel, whatever the combo box reports.
        if (Open() && (msg == WM_KEYDOWN ? wp == VK_F4 : wp == VK_UP || wp == VK_DOWN)) {
            CloseList(false);
            return 0;
        }
        break;
    default: { // WM_CHAR: typed characters reach the key-press handler first; 0 drops them
        auto keyAscii = static_cast<std::int16_t>(wp);
        if (handlers_.keyPress) {
            const auto keyPress = handlers_.keyPress; // the handler may unload the form
            keyPress(keyAscii);
            if (ListOf(field) != this)
                return 0;
        }
        if (keyAscii == 0)
            return 0;
        LRESULT result = 0;
        {
            const ScopedFlag busy(busy_);
            result = CallWindowProcW(original, field, msg,
                                     static_cast<WPARAM>(static_cast<std::uint16_t>(keyAscii)), lp);
        }
        Keep();
        return result;
    }
    }
    return CallWindowProcW(original, field, msg, wp, lp);
}

int ComboField::Selected() const {
    return static_cast<int>(SendMessageW(combo_, CB_GETCURSEL, 0, 0));
}

std::wstring ComboField::Text() const {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(combo_)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(combo_, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ComboField::Entry(int n) const {
    const LRESULT length = SendMessageW(combo_, CB_GETLBTEXTLEN, n, 0);
    if (length == CB_ERR)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo_, CB_GETLBTEXT, n, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

bool ComboField::Open() const {
    return SendMessageW(combo_, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void ComboField::Show(int n) {
    {
        const ScopedFlag busy(busy_);
        Select(n);
    }
    Keep();
}

void ComboField::SetText(std::wstring_view text) {
    const std::wstring copy(text);
    {
        const ScopedFlag busy(busy_);
        SetWindowTextW(combo_, copy.c_str());
    }
    Keep();
}

// Neither the dialog manager nor the combo box's own handling of these keys (which Microsoft
// does not document) closes the list: CB_SHOWDROPDOWN does, and the pick is this list's.
void ComboField::CloseList(bool pick) {
    {
        const ScopedFlag closing(closing_);
        SendMessageW(combo_, CB_SHOWDROPDOWN, FALSE, 0);
    }
    if (pick)
        RequestPick();
    else
        cancelled_ = true;
}

void ComboField::Notified(int code) {
    switch (code) {
    case CBN_DROPDOWN:
        SizeList();
        break;
    case CBN_SELENDOK:
        if (!closing_)
            RequestPick();
        break;
    case CBN_SELENDCANCEL:
        if (!closing_)
            cancelled_ = true;
        PostSettle();
        break;
    case CBN_SELCHANGE:
        // Moving through the open list is no pick yet; the CBN_SELCHANGE that may come as the
        // list closes (before or after CBN_CLOSEUP) belongs to how it closed.
        if (!closing_ && !cancelled_ && !Open())
            RequestPick();
        break;
    case CBN_CLOSEUP:
        closedUp_ = true;
        PostSettle();
        break;
    case CBN_EDITCHANGE:
        FieldChanged();
        break;
    default:
        break;
    }
}

void ComboField::Fit(int height) {
    FitField(height);
    listSized_ = false;
}

// A drop-down combo's height follows its edit field: size the field so that the closed combo is
// exactly height high. CB_GETITEMHEIGHT and CB_SETITEMHEIGHT of the field do not agree on every
// system (Wine adds its padding to one of them), so correct by what the combo really became.
void ComboField::FitField(int height) {
    auto field =
        static_cast<int>(SendMessageW(combo_, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    if (fit_.comboHeight == height) {
        field = fit_.fieldHeight;
        SendMessageW(combo_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT closed;
        GetWindowRect(combo_, &closed);
        const int error = height - (closed.bottom - closed.top);
        if (error == 0)
            break;
        field += error;
        SendMessageW(combo_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
        fit_ = {height, field};
    }
}

// The height a drop-down combo is given is that of its opened list, which needs it only when it
// opens: it gets room for all its entries then, not at start, where the resizes would cost time
// under Wine. A resize gives the edit field back the height of its font (Wine): fit it again.
void ComboField::SizeList() {
    if (listSized_)
        return;
    listSized_ = true;
    RECT closed;
    GetWindowRect(combo_, &closed);
    const int height = closed.bottom - closed.top;
    const auto itemHeight = static_cast<int>(SendMessageW(combo_, CB_GETITEMHEIGHT, 0, 0));
    SetWindowPos(combo_, nullptr, 0, 0, closed.right - closed.left,
                 height + itemHeight * entries_ + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    FitField(height);
}

void ComboField::Keep() {
    shownText_ = Text();
    shownEntry_ = Selected();
}

// Undoes a change of the field that is no showing, no pick and no let-through character. While
// the list is open the field follows the entry moved to; closing settles it. On the closed list
// an arrow key selects and shows an entry before or after its CBN_SELCHANGE (the order is not
// documented): such a change waits for the settling, which undoes it unless a pick came.
void ComboField::FieldChanged() {
    if (busy_ || Open())
        return;
    const std::wstring text = Text();
    const int selected = Selected();
    if (text == shownText_ && selected == shownEntry_)
        return;
    if (selected >= 0 && selected != shownEntry_ && text == Entry(selected))
        PostSettle();
    else
        Restore();
}

void ComboField::RequestPick() {
    pickPending_ = true;
    PostSettle();
}

void ComboField::PostSettle() {
    if (!std::exchange(settlePosted_, true))
        PostMessageW(field_, kSettleMessage, 0, 0);
}

// A pick shows the entry picked, whatever happened to the field while the list was open;
// without one, whatever changed is undone. Then the handlers run, which may unload the form and
// this list with it: only copies of them run, and nothing of the list is touched after.
void ComboField::Settle() {
    settlePosted_ = false;
    cancelled_ = false;
    const bool picked = std::exchange(pickPending_, false);
    const bool closed = std::exchange(closedUp_, false);
    if (const int entry = Selected(); picked && entry >= 0)
        Show(entry);
    else if (picked || !Open())
        Restore();
    const auto pick = picked ? handlers_.pick : nullptr;
    const auto close = closed ? handlers_.closed : nullptr;
    if (pick)
        pick();
    if (close)
        close();
}

// An arrow key on a closed list that has no entry selected selects the entry of its list box's
// caret, and CB_SETCURSEL -1 leaves the caret on the entry last selected (seen under Wine): so
// without an entry the caret goes back to the first one, where a new list has it, and the keys
// never bring back an entry the field no longer shows.
void ComboField::Select(int n) {
    SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(n), 0);
    if (n < 0)
        SendMessageW(list_, LB_SETCARETINDEX, 0, FALSE);
}

void ComboField::Restore() {
    const ScopedFlag busy(busy_);
    Select(shownEntry_);
    if (Text() != shownText_)
        SetWindowTextW(combo_, shownText_.c_str());
}
