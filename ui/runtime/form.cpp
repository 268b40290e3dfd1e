// Forms: their window procedure, their events, and what they keep for their controls.

#include <windows.h>

#include "ui/runtime/form.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "ui/runtime/dpi.h"
#include "ui/runtime/runtime.h"

namespace {

// Posted to a form to raise the next handler of Form::Post.
constexpr UINT kPostedMessage = WM_APP + 2;

Form* FormOf(HWND hwnd) {
    return reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

} // namespace

// The window procedure of forms; a friend of Form.
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
        return form->WindowProc(msg, wp, lp);
    }
};

LRESULT Form::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return 0;
    case DM_GETDEFID:
        return DefaultButtonId();
    case kPostedMessage:
        RaisePosted();
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (const HBRUSH brush =
                marks_.Brush(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp)))
            return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_SETTINGCHANGE:
        if (wp == SPI_SETHIGHCONTRAST)
            SystemColorsChanged();
        else if (wp == SPI_SETNONCLIENTMETRICS) // the system's fonts, the message font too
            ApplyLayout(layout_.Dpi());
        break;
    case WM_SYSCOLORCHANGE:
        // Common controls hear of it from their parent.
        for (const ControlState& c : controls_)
            SendMessageW(c.hwnd, msg, wp, lp);
        SystemColorsChanged();
        break;
    case WM_NOTIFY:
        marks_.Notified(*reinterpret_cast<const NMHDR*>(lp));
        return 0;
    // Windows gives a plain window no focus memory: keep the control that had the focus, as a
    // dialog box does, and give it back when the form is active again or gets the focus. Hiding
    // the form deactivates it; minimising may take the focus first, so the command keeps it.
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE)
            RememberFocus();
        else
            RestoreFocus();
        return 0;
    case WM_SETFOCUS:
        RestoreFocus();
        return 0;
    case WM_SYSCOMMAND:
        if ((wp & 0xFFF0) == SC_MINIMIZE)
            RememberFocus();
        break;
    case WM_SIZE:
        marks_.HoldTip(ToolTips::kMinimised, wp == SIZE_MINIMIZED);
        break;
    case WM_MOVE:
        marks_.PlaceTip();
        break;
    case WM_ENTERMENULOOP:
    case WM_EXITMENULOOP:
        marks_.HoldTip(ToolTips::kMenuOpen, msg == WM_ENTERMENULOOP);
        break;
    case WM_CLOSE:
        Unload();
        return 0;
    // Windows asks for the size at the new DPI before it moves the window to another monitor,
    // and proposes that size in WM_DPICHANGED.
    case WM_GETDPISCALEDSIZE:
        *reinterpret_cast<SIZE*>(lp) = layout_.FrameSize(static_cast<UINT>(wp));
        return TRUE;
    case WM_DPICHANGED:
        ApplyLayout(HIWORD(wp), reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_NCDESTROY: {
        // The controls are gone: so is everything kept for them, in this one place.
        const HWND hwnd = std::exchange(hwnd_, nullptr);
        lastFocus_ = nullptr;
        marks_.Attach(nullptr, {});
        StopWatching();
        controls_.clear();
        posted_.clear();
        layout_.Release();
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
        // A list reached by Tab or Shift+Tab shows its tip while it has the focus; not over its
        // own open list.
        if (code == CBN_SETFOCUS && GetKeyState(VK_TAB) < 0)
            marks_.Track(control);
        else if (code == CBN_KILLFOCUS)
            marks_.Untrack();
        else if (code == CBN_DROPDOWN || code == CBN_CLOSEUP)
            marks_.HoldTip(ToolTips::kListOpen, code == CBN_DROPDOWN);
        ListOf(index).Notified(code);
        break;
    default:
        break;
    }
}

// Brushes made from the old colours go: the controls' here, the form's handler's from there.
void Form::SystemColorsChanged() {
    marks_.Refresh();
    Runtime::RaiseEvent([this] { Form_SystemColorsChanged(); });
    if (hwnd_)
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
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
    CreateFormWindow();
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

// Makes the window and its controls at the window's DPI; they go with the window.
void Form::CreateFormWindow() {
    layout_.CreateFormWindow(this);
    const std::vector<HWND> handles = layout_.CreateControls(hwnd_, kFirstControlId);
    controls_.resize(handles.size());
    for (size_t i = 0; i < handles.size(); ++i) {
        ControlState& c = controls_[i];
        c.hwnd = handles[i];
        const ControlDef& def = def_.controls[i];
        if (def.kind == ControlKind::ComboBox)
            c.list =
                std::make_unique<ComboField>(c.hwnd, static_cast<int>(def.entries.size()),
                                             layout_.FieldFit(), ListHandlers(static_cast<int>(i)));
    }
    FitLists(Dpi::OfWindow(hwnd_));
    marks_.Attach(hwnd_, handles);
}

// Lays the form out for dpi, in the rectangle the system suggests when the DPI changed, and
// repaints all of it: moving a control without repainting leaves its old pixels, and the form's
// WS_CLIPCHILDREN keeps its own invalidation from reaching them.
void Form::ApplyLayout(UINT dpi, const RECT* suggested) {
    layout_.Apply(
        hwnd_, Handles(), dpi, [this](HFONT font) { marks_.SetFont(font); }, suggested);
    FitLists(dpi);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    marks_.PlaceTip();
}

// A dialog box's focus memory: only a control of the form counts, so a focus already gone
// (minimising takes it) leaves the last one kept.
void Form::RememberFocus() {
    if (const HWND focus = GetFocus(); focus && IsChild(hwnd_, focus))
        lastFocus_ = focus;
}

// SetFocus gives nothing the focus while the form is minimised: its controls are hidden.
void Form::RestoreFocus() {
    const HWND target =
        IsChild(hwnd_, lastFocus_) ? lastFocus_ : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
    if (target)
        SetFocus(target);
}

void Form::FitLists(UINT dpi) {
    for (size_t i = 0; i < controls_.size(); ++i)
        if (const auto& list = controls_[i].list)
            list->Fit(layout_.Height(static_cast<int>(i), dpi));
}

std::vector<HWND> Form::Handles() const {
    std::vector<HWND> handles;
    for (const ControlState& c : controls_)
        handles.push_back(c.hwnd);
    return handles;
}

int Form::IndexOf(HWND control) const {
    if (!control)
        return -1;
    const auto it = std::find_if(controls_.begin(), controls_.end(),
                                 [&](const ControlState& c) { return c.hwnd == control; });
    return it == controls_.end() ? -1 : static_cast<int>(it - controls_.begin());
}

ComboField& Form::ListOf(int combo) const {
    const auto& list = controls_.at(combo).list;
    if (!list)
        throw std::logic_error("not a combo box");
    return *list;
}

// The list raises the key-press and click handlers of its control, and what waited for it to
// close.
ComboField::Handlers Form::ListHandlers(int combo) {
    ComboField::Handlers handlers;
    if (def_.controls[combo].events & kKeyPress)
        handlers.keyPress = [this, combo](std::int16_t& keyAscii) {
            Runtime::RaiseEvent([&] { KeyPress(combo, keyAscii); });
        };
    handlers.pick = [this, combo] { RaiseClick(combo); };
    handlers.closed = [this] { RaiseDeferredSignals(); };
    return handlers;
}

void Form::RaiseClick(int control) {
    if (def_.controls[control].events & kClick)
        Runtime::RaiseEvent([this, control] { Click(control); });
}

bool Form::ListOpen() const {
    return std::any_of(controls_.begin(), controls_.end(),
                       [](const ControlState& c) { return c.list && c.list->Open(); });
}

int Form::ListIndex(int combo) const {
    return static_cast<int>(SendMessageW(Control(combo), CB_GETCURSEL, 0, 0));
}

std::wstring Form::List(int combo, int n) const {
    return ListOf(combo).Entry(n);
}

std::wstring Form::Text(int control) const {
    const HWND hwnd = Control(control);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Form::SetText(int control, std::wstring_view text) {
    if (const auto& list = controls_.at(control).list) {
        list->SetText(text);
        return;
    }
    const std::wstring copy(text);
    SetWindowTextW(Control(control), copy.c_str());
}

void Form::ShowEntry(int combo, int n) {
    ListOf(combo).Show(n);
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

void Form::SetColors(int label, COLORREF back, COLORREF fore) {
    marks_.SetColors(label, back, fore);
}

std::wstring Form::ToolTipText(int control) const {
    return marks_.ToolTipText(control);
}

void Form::SetToolTipText(int control, std::wstring_view text) {
    marks_.SetToolTipText(control, text, layout_.Font());
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
