#include <windows.h>
#include <commctrl.h>

#include "ui/runtime/form.h"

#include <algorithm>
#include <iterator>
#include <numeric>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "ui/runtime/runtime.h"
#include "ui/runtime/window_classes.h"

namespace {

// Control IDs start above IDOK and IDCANCEL, which the dialog manager sends for Enter and
// Escape when no button claims them.
constexpr int kFirstControlId = 100;

// Posted to a form to raise the click of a combo box once its notifications are over.
constexpr UINT kPickMessage = WM_APP + 1;
// Posted to a form to raise the next handler of Form::Post.
constexpr UINT kPostedMessage = WM_APP + 2;

constexpr DWORD FrameStyle(FrameKind frame) {
    constexpr DWORD common = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    return frame == FrameKind::FixedDialog ? common : common | WS_THICKFRAME;
}

constexpr DWORD FrameExStyle(FrameKind frame) {
    return WS_EX_CONTROLPARENT | (frame == FrameKind::FixedDialog ? WS_EX_DLGMODALFRAME : 0);
}

Form* FormOf(HWND hwnd) {
    return reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// A control's rectangle in its container's client area at dpi; a combo box's closed rectangle.
RECT PlaceOf(const ControlDef& c, UINT dpi) {
    const int x = TwipsToPixels(c.left, dpi);
    const int y = TwipsToPixels(c.top, dpi);
    return {x, y, x + TwipsToPixels(c.width, dpi), y + TwipsToPixels(c.height, dpi)};
}

} // namespace

int TwipsToPixels(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

// The window procedures of forms and of the controls the runtime extends; a friend of Form.
class FormWindow {
  public:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE) {
            auto* form = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
            form->hwnd_ = hwnd;
            Runtime::Detail::AddWindow(hwnd);
        }
        Form* form = FormOf(hwnd);
        if (form == nullptr)
            return DefWindowProcW(hwnd, msg, wp, lp);
        return form->Handle(msg, wp, lp);
    }

    // The edit field of a combo box. Typed characters reach the key-press handler first;
    // KeyAscii 0 drops them. Every new text is checked, whoever set it: a combo box passes on
    // a WM_SETTEXT without notifying anyone. The field's own procedure is kept in its user data
    // (comctl32's subclassing looks its data up in a window property on every message: a
    // server round trip under Wine).
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        const HWND combo = msg == WM_CHAR || msg == WM_SETTEXT ? GetParent(hwnd) : nullptr;
        Form* form = combo ? FormOf(GetAncestor(combo, GA_ROOT)) : nullptr;
        const int index = form ? form->IndexOf(combo) : -1;
        if (index < 0)
            return CallWindowProcW(original, hwnd, msg, wp, lp);
        if (msg == WM_SETTEXT) {
            const LRESULT result = CallWindowProcW(original, hwnd, msg, wp, lp);
            form->FieldChanged(index);
            return result;
        }
        auto keyAscii = static_cast<std::int16_t>(wp);
        if (form->def_.controls[index].events & kKeyPress)
            Runtime::RaiseEvent([&] { form->KeyPress(index, keyAscii); });
        if (keyAscii == 0)
            return 0;
        form->changingField_ = true;
        const LRESULT result = CallWindowProcW(
            original, hwnd, msg, static_cast<WPARAM>(static_cast<std::uint16_t>(keyAscii)), lp);
        form->changingField_ = false;
        form->KeepField(index);
        return result;
    }
};

// Everything a form window does with its messages.
LRESULT Form::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return 0;
    case DM_GETDEFID:
        return DefaultButtonId();
    case kPickMessage: {
        const auto index = static_cast<int>(wp);
        if (index < static_cast<int>(pendingPicks_.size()) && pendingPicks_[index]) {
            pendingPicks_[index] = false;
            RaisePick(index);
        }
        return 0;
    }
    case kPostedMessage:
        RaisePosted();
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (const int index = IndexOf(reinterpret_cast<HWND>(lp)); index >= 0 && brushes_[index]) {
            const HDC hdc = reinterpret_cast<HDC>(wp);
            const Colors& colors = colors_[index];
            SetBkColor(hdc, colors.back);
            SetTextColor(hdc,
                         colors.fore == kDefaultColor ? GetSysColor(COLOR_BTNTEXT) : colors.fore);
            return reinterpret_cast<LRESULT>(brushes_[index].get());
        }
        break;
    case WM_ACTIVATE:
        // Windows gives a plain window no focus memory: keep the control that had the focus.
        if (LOWORD(wp) == WA_INACTIVE) {
            if (const HWND focus = GetFocus(); focus && IsChild(hwnd_, focus))
                lastFocus_ = focus;
        } else {
            const HWND target = lastFocus_ && IsWindow(lastFocus_)
                                    ? lastFocus_
                                    : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
            if (target)
                SetFocus(target);
        }
        return 0;
    case WM_CLOSE:
        Unload();
        return 0;
    case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lp);
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        ApplyLayout(HIWORD(wp));
        FontToToolTip();
        return 0;
    }
    case WM_NCDESTROY: {
        const HWND hwnd = hwnd_;
        hwnd_ = nullptr;
        lastFocus_ = nullptr;
        toolTip_ = nullptr;
        StopWatching();
        controls_.clear();
        pendingPicks_.clear();
        listSized_.clear();
        brushes_.clear();
        colors_.clear();
        fields_.clear();
        posted_.clear();
        font_.reset();
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        Runtime::Detail::RemoveWindow(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void Form::OnCommand(int id, int code, HWND control) {
    if (id == IDCANCEL && control == nullptr) {
        // Escape: only a cancel button answers it.
        const auto& controls = def_.controls;
        const auto cancel = std::find_if(controls.begin(), controls.end(),
                                         [](const ControlDef& c) { return c.isCancel; });
        if (cancel != controls.end())
            RaiseClick(static_cast<int>(cancel - controls.begin()));
        return;
    }
    const int index = IndexOf(control);
    if (index < 0)
        return;
    switch (def_.controls[index].kind) {
    case ControlKind::CommandButton:
    case ControlKind::CheckBox:
        if (code == BN_CLICKED)
            RaiseClick(index);
        break;
    case ControlKind::ComboBox:
        if (code == CBN_DROPDOWN)
            SizeList(index);
        // A pick is the list closing on an entry, or an arrow key moving the selection of a
        // closed list; moving through an open list is not a pick yet. One pick sends several
        // of these notifications, in an order that differs between systems: raise one click,
        // after the combo box has finished its own work.
        if ((code == CBN_SELENDOK ||
             (code == CBN_SELCHANGE && SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0) == 0)) &&
            !pendingPicks_[index]) {
            pendingPicks_[index] = true;
            PostMessageW(hwnd_, kPickMessage, static_cast<WPARAM>(index), 0);
        } else if (code == CBN_CLOSEUP) {
            // Closed without a pick, the field goes back to what it showed; either way, what
            // waited for the list to close comes now.
            Post([this, index] {
                if (!pendingPicks_[index])
                    RestoreField(index);
                RaiseDeferredSignals();
            });
        } else if (code == CBN_EDITCHANGE) {
            FieldChanged(index);
        }
        break;
    default:
        break;
    }
}

LRESULT Form::DefaultButtonId() const {
    const auto& controls = def_.controls;
    const auto def = std::find_if(controls.begin(), controls.end(),
                                  [](const ControlDef& c) { return c.isDefault; });
    if (def == controls.end())
        return 0;
    // Enter presses the button that has the focus, else the default button.
    int index = static_cast<int>(def - controls.begin());
    if (const int focus = IndexOf(GetFocus());
        focus >= 0 && controls[focus].kind == ControlKind::CommandButton)
        index = focus;
    return MAKELRESULT(kFirstControlId + index, DC_HASDEFID);
}

Form::~Form() {
    StopWatching();
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        const HWND hwnd = std::exchange(hwnd_, nullptr);
        Runtime::Detail::RemoveWindow(hwnd);
        DestroyWindow(hwnd);
    }
}

void Form::Load() {
    if (hwnd_)
        return;
    const DWORD style = FrameStyle(def_.frame);
    const DWORD exStyle = FrameExStyle(def_.frame);
    const UINT dpi = GetDpiForSystem();
    RECT frame{0, 0, TwipsToPixels(def_.clientWidth, dpi), TwipsToPixels(def_.clientHeight, dpi)};
    AdjustWindowRectExForDpi(&frame, style, FALSE, exStyle, dpi);
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    if (def_.clientOrigin) {
        x = TwipsToPixels(def_.clientOrigin->x, dpi) + frame.left;
        y = TwipsToPixels(def_.clientOrigin->y, dpi) + frame.top;
    }
    const std::wstring caption(def_.caption);
    CreateWindowExW(exStyle, kFormClass, caption.c_str(), style, x, y, frame.right - frame.left,
                    frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (!hwnd_)
        throw std::runtime_error("CreateWindowEx failed for a form");

    const UINT windowDpi = GetDpiForWindow(hwnd_);
    if (def_.iconId) {
        for (const auto& [which, metric] :
             {std::pair{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
            const int size = GetSystemMetricsForDpi(metric, windowDpi);
            const HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(def_.iconId),
                                           IMAGE_ICON, size, size, LR_SHARED);
            SendMessageW(hwnd_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
        }
    }
    CreateControls(windowDpi);
    FitFrame(windowDpi);
    Runtime::RaiseEvent([this] { Form_Load(); });
}

void Form::Show() {
    Load();
    if (hwnd_) // Form_Load may have unloaded it
        ShowWindow(hwnd_, SW_SHOWNORMAL);
}

void Form::Unload() {
    if (!hwnd_ || Runtime::Ending())
        return;
    std::int16_t cancel = 0;
    Runtime::RaiseEvent([&] { Form_Unload(cancel); });
    if (cancel == 0 && hwnd_)
        DestroyWindow(hwnd_);
}

void Form::CreateControls(UINT dpi) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto& defs = def_.controls;
    controls_.assign(defs.size(), nullptr);
    pendingPicks_.assign(defs.size(), false);
    listSized_.assign(defs.size(), false);
    brushes_.clear();
    brushes_.resize(defs.size());
    colors_.assign(defs.size(), {});
    fields_.assign(defs.size(), {});
    MakeFont(dpi);
    // A new control goes to the bottom of its container's window order, and the dialog manager
    // moves the focus in that order: create each container's controls by tab index so that Tab
    // follows the tab indexes. A label that names a control goes just before it, where screen
    // readers look for a control's name; labels take no focus, so Tab is unchanged. Containers
    // come before what they hold.
    const auto createKey = [&](size_t i) {
        int depth = 0;
        for (int holder = defs[i].container; holder != kOnForm; holder = defs[holder].container)
            ++depth;
        const int named = defs[i].labelFor;
        return named >= 0 ? std::tuple{depth, defs[named].tabIndex, 0}
                          : std::tuple{depth, defs[i].tabIndex, 1};
    };
    std::vector<size_t> order(defs.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return createKey(a) < createKey(b); });
    for (const size_t i : order) {
        const ControlDef& c = defs[i];
        const wchar_t* className = WC_STATICW;
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD exStyle = 0;
        switch (c.kind) {
        case ControlKind::Label:
            style |= SS_NOPREFIX | (c.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP);
            break;
        case ControlKind::ComboBox:
            className = WC_COMBOBOXW;
            style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
            break;
        case ControlKind::CommandButton:
            className = WC_BUTTONW;
            style |= WS_TABSTOP | (c.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            break;
        case ControlKind::CheckBox:
            className = WC_BUTTONW;
            style |= WS_TABSTOP | BS_AUTOCHECKBOX;
            break;
        case ControlKind::PictureBox:
            className = kPictureBoxClass;
            style |= WS_BORDER | WS_CLIPCHILDREN;
            exStyle |= WS_EX_CONTROLPARENT;
            break;
        }
        const HWND parent = c.container == kOnForm ? hwnd_ : controls_.at(c.container);
        const std::wstring caption(c.caption);
        const RECT place = PlaceOf(c, dpi);
        const HWND hwnd = CreateWindowExW(
            exStyle, className, caption.c_str(), style, place.left, place.top,
            place.right - place.left, place.bottom - place.top, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + i)), instance, nullptr);
        if (!hwnd)
            throw std::runtime_error("CreateWindowEx failed for a control");
        controls_[i] = hwnd;
        colors_[i].back = c.backColor;
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        if (c.backColor != kDefaultColor)
            brushes_[i].reset(CreateSolidBrush(c.backColor));
        if (c.kind == ControlKind::PictureBox)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, c.pictureId);
        for (const std::wstring_view entry : c.entries) {
            const std::wstring text(entry);
            SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        if (c.kind == ControlKind::ComboBox) {
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            GetComboBoxInfo(hwnd, &info);
            SetWindowLongPtrW(info.hwndItem, GWLP_USERDATA,
                              GetWindowLongPtrW(info.hwndItem, GWLP_WNDPROC));
            SetWindowLongPtrW(info.hwndItem, GWLP_WNDPROC,
                              reinterpret_cast<LONG_PTR>(FormWindow::EditProc));
            FitComboField(hwnd, place.bottom - place.top);
        }
    }
}

void Form::ApplyLayout(UINT dpi) {
    MakeFont(dpi);
    const auto& defs = def_.controls;
    for (size_t i = 0; i < defs.size(); ++i) {
        const HWND hwnd = controls_[i];
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        const RECT place = PlaceOf(defs[i], dpi);
        MoveWindow(hwnd, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   FALSE);
        if (defs[i].kind == ControlKind::ComboBox) {
            FitComboField(hwnd, place.bottom - place.top);
            listSized_[i] = false;
        }
    }
    FitFrame(dpi);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Form::MakeFont(UINT dpi) {
    LOGFONTW lf{};
    if (def_.font) {
        lf.lfHeight = -MulDiv(def_.font->hundredthsOfPoint, static_cast<int>(dpi), 7200);
        lf.lfWeight = def_.font->weight;
        lf.lfCharSet = def_.font->charset;
        def_.font->face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    } else {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
        lf = metrics.lfMessageFont;
    }
    font_.reset(CreateFontIndirectW(&lf));
    knownComboHeight_ = -1;
}

// A drop-down combo's height follows its edit field: size the field so that the closed combo is
// exactly height high. CB_GETITEMHEIGHT and CB_SETITEMHEIGHT of the field do not agree on every
// system (Wine adds its padding to one of them), so correct by what the combo really became. The
// field that gave a combo of the same height its exact size is taken at once by the others: every
// resize of a combo box also moves its list window, which is slow under Wine.
void Form::FitComboField(HWND combo, int height) {
    auto field =
        static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    if (knownComboHeight_ == height) {
        field = knownField_;
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT closed;
        GetWindowRect(combo, &closed);
        const int error = height - (closed.bottom - closed.top);
        if (error == 0)
            break;
        field += error;
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
        knownComboHeight_ = height;
        knownField_ = field;
    }
}

// The height a drop-down combo is given is that of its opened list, which needs it only when it
// opens: it gets room for all its entries then, not at start, where the resizes would cost time
// under Wine. A resize gives the edit field back the height of its font (Wine): fit it again.
void Form::SizeList(int combo) {
    if (listSized_[combo])
        return;
    listSized_[combo] = true;
    const HWND hwnd = controls_[combo];
    RECT closed;
    GetWindowRect(hwnd, &closed);
    const int height = closed.bottom - closed.top;
    const auto itemHeight = static_cast<int>(SendMessageW(hwnd, CB_GETITEMHEIGHT, 0, 0));
    const auto entries = static_cast<int>(def_.controls[combo].entries.size());
    SetWindowPos(hwnd, nullptr, 0, 0, closed.right - closed.left, height + itemHeight * entries + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    FitComboField(hwnd, height);
}

// Sizes the frame from what it really measures now: the title bar and borders are the system's,
// at whatever DPI the system draws them. A frame created at its size stays.
void Form::FitFrame(UINT dpi) {
    RECT window;
    RECT client;
    GetWindowRect(hwnd_, &window);
    GetClientRect(hwnd_, &client);
    const int clientWidth = TwipsToPixels(def_.clientWidth, dpi);
    const int clientHeight = TwipsToPixels(def_.clientHeight, dpi);
    if (client.right != clientWidth || client.bottom != clientHeight)
        SetWindowPos(hwnd_, nullptr, 0, 0,
                     (window.right - window.left) - client.right + clientWidth,
                     (window.bottom - window.top) - client.bottom + clientHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}

int Form::IndexOf(HWND control) const {
    if (!control)
        return -1;
    const auto it = std::find(controls_.begin(), controls_.end(), control);
    return it == controls_.end() ? -1 : static_cast<int>(it - controls_.begin());
}

void Form::RaiseClick(int control) {
    if (def_.controls[control].events & kClick)
        Runtime::RaiseEvent([this, control] { Click(control); });
}

// A pick shows the entry picked, whatever happened to the field while the list was open.
void Form::RaisePick(int combo) {
    if (const int picked = ListIndex(combo); picked >= 0)
        ShowEntry(combo, picked);
    else
        RestoreField(combo);
    RaiseClick(combo);
}

// Undoes a change of the edit field that is no showing, no pick and no let-through character.
// While the list is open the field follows the entry moved to; closing puts it right. On a
// closed list the field may show the entry just selected by an arrow key, whose pick comes.
void Form::FieldChanged(int combo) {
    if (changingField_ || SendMessageW(controls_[combo], CB_GETDROPPEDSTATE, 0, 0))
        return;
    const std::wstring text = Text(combo);
    const int selected = ListIndex(combo);
    const Field& field = fields_[combo];
    if (text == field.text ||
        (selected >= 0 && selected != field.entry && text == List(combo, selected)))
        return;
    RestoreField(combo);
}

void Form::KeepField(int combo) {
    fields_[combo] = {Text(combo), ListIndex(combo)};
}

void Form::RestoreField(int combo) {
    const Field& field = fields_[combo];
    const HWND hwnd = controls_[combo];
    changingField_ = true;
    SendMessageW(hwnd, CB_SETCURSEL, static_cast<WPARAM>(field.entry), 0);
    if (Text(combo) != field.text)
        SetWindowTextW(hwnd, field.text.c_str());
    changingField_ = false;
}

bool Form::ListOpen() const {
    for (size_t i = 0; i < controls_.size(); ++i)
        if (def_.controls[i].kind == ControlKind::ComboBox &&
            SendMessageW(controls_[i], CB_GETDROPPEDSTATE, 0, 0))
            return true;
    return false;
}

int Form::ListIndex(int combo) const {
    return static_cast<int>(SendMessageW(Control(combo), CB_GETCURSEL, 0, 0));
}

std::wstring Form::List(int combo, int n) const {
    const HWND hwnd = Control(combo);
    const LRESULT length = SendMessageW(hwnd, CB_GETLBTEXTLEN, n, 0);
    if (length == CB_ERR)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(hwnd, CB_GETLBTEXT, n, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

std::wstring Form::Text(int control) const {
    const HWND hwnd = Control(control);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Form::SetText(int control, std::wstring_view text) {
    const std::wstring copy(text);
    changingField_ = true;
    SetWindowTextW(Control(control), copy.c_str());
    changingField_ = false;
    if (def_.controls[control].kind == ControlKind::ComboBox)
        KeepField(control);
}

void Form::ShowEntry(int combo, int n) {
    changingField_ = true;
    SendMessageW(Control(combo), CB_SETCURSEL, static_cast<WPARAM>(n), 0);
    changingField_ = false;
    KeepField(combo);
}

int Form::Value(int checkBox) const {
    return SendMessageW(Control(checkBox), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Form::SetValue(int checkBox, int value) {
    if (value == Value(checkBox))
        return;
    SendMessageW(Control(checkBox), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    RaiseClick(checkBox);
}

int Form::MsgBox(std::wstring_view prompt, UINT style, std::wstring_view title) {
    const std::wstring text(prompt);
    const std::wstring caption(title);
    ++openMessageBoxes_;
    const int answer = MessageBoxW(hwnd_, text.c_str(), caption.c_str(), style);
    --openMessageBoxes_;
    RaiseDeferredSignals();
    return answer;
}

void Form::SetColors(int label, COLORREF back, COLORREF fore) {
    Colors& colors = colors_.at(label);
    const COLORREF backColor = back == kDefaultColor ? def_.controls[label].backColor : back;
    if (colors.back == backColor && colors.fore == fore)
        return;
    colors = {backColor, fore};
    brushes_[label].reset(backColor == kDefaultColor ? nullptr : CreateSolidBrush(backColor));
    InvalidateRect(Control(label), nullptr, TRUE);
}

std::wstring Form::ToolTipText(int control) const {
    if (!toolTip_)
        return {};
    wchar_t text[1024] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = hwnd_;
    tool.uId = reinterpret_cast<UINT_PTR>(Control(control));
    tool.lpszText = text;
    SendMessageW(toolTip_, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    return text;
}

void Form::SetToolTipText(int control, std::wstring_view text) {
    if (ToolTipText(control) == text)
        return;
    const HWND hwnd = Control(control);
    if (!toolTip_) {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        if (!toolTip_)
            throw std::runtime_error("CreateWindowEx failed for a tooltip");
        FontToToolTip();
    }
    // The mouse over a combo box is mostly over its edit field, a window of its own; a label
    // lets the mouse through to the form unless it notifies.
    std::vector<HWND> targets{hwnd};
    switch (def_.controls[control].kind) {
    case ControlKind::ComboBox: {
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        if (GetComboBoxInfo(hwnd, &info))
            targets.push_back(info.hwndItem);
        break;
    }
    case ControlKind::Label:
        SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) | SS_NOTIFY);
        break;
    default:
        break;
    }
    std::wstring copy(text);
    for (const HWND target : targets) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = reinterpret_cast<UINT_PTR>(target);
        tool.lpszText = copy.data();
        SendMessageW(toolTip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        if (!copy.empty())
            SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// Tips are in the form's font, like its controls; the font changes with the DPI.
void Form::FontToToolTip() {
    if (toolTip_)
        SendMessageW(toolTip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

void Form::RaisePosted() {
    if (posted_.empty())
        return;
    const std::function<void()> handler = std::move(posted_.front());
    posted_.pop_front();
    Runtime::RaiseEvent(handler);
}

void Form::Post(std::function<void()> handler) {
    if (!hwnd_)
        return;
    posted_.push_back(std::move(handler));
    PostMessageW(hwnd_, kPostedMessage, 0, 0);
}

// The runtime's wait sees the event; the form hears of it after the messages already waiting,
// so that a pick on its way comes first.
void Form::WatchEvent(HANDLE event) {
    watched_.push_back(event);
    Runtime::Watch(event, [this, event] { Post([this, event] { Signalled(event); }); });
}

void Form::Signalled(HANDLE event) {
    if (openMessageBoxes_ > 0 || ListOpen()) {
        if (std::find(deferredSignals_.begin(), deferredSignals_.end(), event) ==
            deferredSignals_.end())
            deferredSignals_.push_back(event);
        return;
    }
    Form_Signalled(event);
}

void Form::RaiseDeferredSignals() {
    for (const HANDLE event : std::exchange(deferredSignals_, {}))
        Post([this, event] { Signalled(event); });
}

void Form::StopWatching() {
    for (const HANDLE event : watched_)
        Runtime::Unwatch(event);
    watched_.clear();
    deferredSignals_.clear();
}

LRESULT CALLBACK FormWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return FormWindow::Proc(hwnd, msg, wp, lp);
}
