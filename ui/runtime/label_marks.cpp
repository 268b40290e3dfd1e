// The colours and tips that mark a form's controls.

#include <windows.h>
#include <commctrl.h>

#include "ui/runtime/label_marks.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <utility>
#include <vector>

void LabelMarks::Attach(HWND form, std::vector<HWND> controls) {
    form_ = form;
    controls_ = std::move(controls);
    colors_.clear();
    for (size_t i = 0; i < controls_.size(); ++i)
        colors_.emplace_back(def_.controls[i].backColor);
    if (!form)
        tips_.Forget();
}

void LabelMarks::SetColors(int control, COLORREF back, COLORREF fore) {
    if (colors_.at(control).Set(back, fore))
        InvalidateRect(controls_[control], nullptr, TRUE);
}

std::wstring LabelMarks::ToolTipText(int control) const {
    return tips_.Text(form_, controls_.at(control));
}

void LabelMarks::SetToolTipText(int control, std::wstring_view text, HFONT font) {
    if (ToolTipText(control) == text)
        return;
    const HWND hwnd = controls_[control];
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
    tips_.Set(form_, targets, text, font);
}

HBRUSH LabelMarks::Brush(HDC hdc, HWND control) const {
    const auto it = std::find(controls_.begin(), controls_.end(), control);
    return it != controls_.end() ? colors_[it - controls_.begin()].Apply(hdc) : nullptr;
}

void LabelMarks::Refresh() {
    for (ControlColors& colors : colors_)
        colors.Refresh();
}

namespace {

std::optional<bool> pretendedHighContrast;

} // namespace

bool HighContrast() {
    if (pretendedHighContrast)
        return *pretendedHighContrast;
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) != FALSE &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void PretendHighContrastForTests(std::optional<bool> on) {
    pretendedHighContrast = on;
}

MarkColors LabelMark(bool highContrast) {
    if (highContrast)
        return {GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT)};
    return {RGB(192, 0, 0), RGB(255, 255, 255)};
}

bool ControlColors::Set(COLORREF back, COLORREF fore) {
    back_ = back;
    fore_ = fore;
    return Refresh();
}

bool ControlColors::Refresh() {
    const COLORREF back = back_ != kDefaultColor ? back_ : HighContrast() ? kDefaultColor : own_;
    if (back == drawnBack_ && fore_ == drawnFore_)
        return false;
    drawnBack_ = back;
    drawnFore_ = fore_;
    brush_.reset(back == kDefaultColor ? nullptr : CreateSolidBrush(back));
    return true;
}

HBRUSH ControlColors::Apply(HDC hdc) const {
    if (!brush_)
        return nullptr;
    SetBkColor(hdc, drawnBack_);
    SetTextColor(hdc, drawnFore_ == kDefaultColor ? GetSysColor(COLOR_BTNTEXT) : drawnFore_);
    return static_cast<HBRUSH>(brush_.get());
}

std::wstring ToolTips::Text(HWND form, HWND control) const {
    if (!window_)
        return {};
    wchar_t text[1024] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = form;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageW(window_, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    return text;
}

namespace {

HWND MakeTipWindow(HWND form, HFONT font) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    const HWND window = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    if (!window)
        throw std::runtime_error("CreateWindowEx failed for a tooltip");
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // A tip breaks its lines only where it has a width to keep to.
    SendMessageW(window, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN));
    return window;
}

} // namespace

void ToolTips::Set(HWND form, const std::vector<HWND>& targets, std::wstring_view text,
                   HFONT font) {
    if (!window_) {
        window_ = MakeTipWindow(form, font);
        trackWindow_ = MakeTipWindow(form, font);
    }
    std::wstring copy(text);
    for (const HWND target : targets) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = form;
        tool.uId = reinterpret_cast<UINT_PTR>(target);
        tool.lpszText = copy.data();
        SendMessageW(window_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        if (!copy.empty())
            SendMessageW(window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    if (tracked_ == targets.front())
        Track(form, tracked_);
}

void ToolTips::Track(HWND form, HWND control) {
    Untrack(form);
    std::wstring text = Text(form, control);
    tracked_ = control;
    if (text.empty())
        return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    // Transparent: the tip answers HTTRANSPARENT, so a click reaches the window under it.
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
    tool.hwnd = form;
    tool.lpszText = text.data();
    SendMessageW(trackWindow_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    Place(form);
    ShowTracked(form);
}

void ToolTips::Untrack(HWND form) {
    if (std::exchange(tracked_, nullptr) == nullptr || trackWindow_ == nullptr)
        return;
    ShowTracked(form);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = form;
    SendMessageW(trackWindow_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

namespace {

// Where the keyboard's tip of a list goes: beside the form's window at the list's height, right
// or left, then below or above the window, wherever the monitor's work area holds it whole.
// Only where none does, just below the list.
POINT TipPosition(const RECT& list, const RECT& window, SIZE tip, const RECT& work) {
    const POINT outside[] = {{window.right, list.top},
                             {window.left - tip.cx, list.top},
                             {list.left, window.bottom},
                             {list.left, window.top - tip.cy}};
    for (const POINT p : outside)
        if (p.x >= work.left && p.y >= work.top && p.x + tip.cx <= work.right &&
            p.y + tip.cy <= work.bottom)
            return p;
    return {list.left, list.bottom};
}

} // namespace

void ToolTips::Place(HWND form) const {
    if (!tracked_ || !trackWindow_)
        return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = form;
    const auto bubble = static_cast<DWORD>(
        SendMessageW(trackWindow_, TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&tool)));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(form, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT list;
    RECT window;
    GetWindowRect(tracked_, &list);
    GetWindowRect(form, &window);
    const POINT at = TipPosition(list, window, {LOWORD(bubble), HIWORD(bubble)}, monitor.rcWork);
    SendMessageW(trackWindow_, TTM_TRACKPOSITION, 0, MAKELPARAM(at.x, at.y));
}

void ToolTips::SetHold(HWND form, Hold hold, bool on) {
    holds_ = on ? holds_ | hold : holds_ & ~hold;
    if (tracked_)
        ShowTracked(form);
}

void ToolTips::Notified(HWND form, const NMHDR& header) {
    if (header.hwndFrom != window_ || (header.code != TTN_SHOW && header.code != TTN_POP))
        return;
    hovering_ = header.code == TTN_SHOW;
    if (tracked_)
        ShowTracked(form);
}

// The keyboard's tip shows while a control is tracked, unless the mouse's shows or a hold
// keeps it aside.
void ToolTips::ShowTracked(HWND form) const {
    const bool show = tracked_ != nullptr && !hovering_ && holds_ == 0;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = form;
    SendMessageW(trackWindow_, TTM_TRACKACTIVATE, show ? TRUE : FALSE,
                 reinterpret_cast<LPARAM>(&tool));
}

void ToolTips::SetFont(HFONT font) const {
    for (const HWND window : {window_, trackWindow_})
        if (window)
            SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}
