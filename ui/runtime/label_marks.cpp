#include <windows.h>
#include <commctrl.h>

#include "ui/runtime/label_marks.h"

#include <iterator>
#include <stdexcept>
#include <vector>

#include "ui/runtime/form.h"

void Form::SetColors(int label, COLORREF back, COLORREF fore) {
    ControlState& c = controls_.at(label);
    if (c.colors.Set(back == kDefaultColor ? def_.controls[label].backColor : back, fore))
        InvalidateRect(c.hwnd, nullptr, TRUE);
}

std::wstring Form::ToolTipText(int control) const {
    return tips_.Text(hwnd_, Control(control));
}

void Form::SetToolTipText(int control, std::wstring_view text) {
    if (ToolTipText(control) == text)
        return;
    const HWND hwnd = Control(control);
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
    tips_.Set(hwnd_, targets, text, static_cast<HFONT>(font_.get()));
}

HBRUSH Form::ControlBrush(HDC hdc, HWND control) const {
    const int index = IndexOf(control);
    return index >= 0 ? controls_[index].colors.Apply(hdc) : nullptr;
}

bool ControlColors::Set(COLORREF back, COLORREF fore) {
    if (back_ == back && fore_ == fore)
        return false;
    back_ = back;
    fore_ = fore;
    brush_.reset(back == kDefaultColor ? nullptr : CreateSolidBrush(back));
    return true;
}

HBRUSH ControlColors::Apply(HDC hdc) const {
    if (!brush_)
        return nullptr;
    SetBkColor(hdc, back_);
    SetTextColor(hdc, fore_ == kDefaultColor ? GetSysColor(COLOR_BTNTEXT) : fore_);
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

void ToolTips::Set(HWND form, const std::vector<HWND>& targets, std::wstring_view text,
                   HFONT font) {
    if (!window_) {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        window_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        if (!window_)
            throw std::runtime_error("CreateWindowEx failed for a tooltip");
        SetFont(font);
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
}

void ToolTips::SetFont(HFONT font) const {
    if (window_)
        SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}
