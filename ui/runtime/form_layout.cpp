#include <windows.h>
#include <commctrl.h>

#include "ui/runtime/form.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "ui/runtime/dpi.h"
#include "ui/runtime/window_classes.h"

// Creation, layout, font and DPI of forms: the definition's twips become pixels at the window's
// DPI when it is made and whenever its DPI changes.

namespace {

constexpr DWORD FrameStyle(FrameKind frame) {
    constexpr DWORD common = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    return frame == FrameKind::FixedDialog ? common : common | WS_THICKFRAME;
}

constexpr DWORD FrameExStyle(FrameKind frame) {
    return WS_EX_CONTROLPARENT | (frame == FrameKind::FixedDialog ? WS_EX_DLGMODALFRAME : 0);
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

void Form::CreateFormWindow() {
    const DWORD style = FrameStyle(def_.frame);
    const DWORD exStyle = FrameExStyle(def_.frame);
    const UINT dpi = Dpi::System();
    RECT frame{0, 0, TwipsToPixels(def_.clientWidth, dpi), TwipsToPixels(def_.clientHeight, dpi)};
    Dpi::AdjustWindowRect(frame, style, exStyle, dpi);
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

    const UINT windowDpi = Dpi::OfWindow(hwnd_);
    if (def_.iconId) {
        for (const auto& [which, metric] :
             {std::pair{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
            const int size = Dpi::SystemMetric(metric, windowDpi);
            const HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(def_.iconId),
                                           IMAGE_ICON, size, size, LR_SHARED);
            SendMessageW(hwnd_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
        }
    }
    CreateControls(windowDpi);
    FitFrame(windowDpi);
}

void Form::CreateControls(UINT dpi) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const auto& defs = def_.controls;
    controls_.clear();
    controls_.resize(defs.size());
    SetFont(dpi);
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
        const HWND parent = c.container == kOnForm ? hwnd_ : Control(c.container);
        const std::wstring caption(c.caption);
        const RECT place = PlaceOf(c, dpi);
        const HWND hwnd = CreateWindowExW(
            exStyle, className, caption.c_str(), style, place.left, place.top,
            place.right - place.left, place.bottom - place.top, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + i)), instance, nullptr);
        if (!hwnd)
            throw std::runtime_error("CreateWindowEx failed for a control");
        ControlState& state = controls_[i];
        state.hwnd = hwnd;
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        state.colors = ControlColors(c.backColor);
        if (c.kind == ControlKind::PictureBox)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, c.pictureId);
        for (const std::wstring_view entry : c.entries) {
            const std::wstring text(entry);
            SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        if (c.kind == ControlKind::ComboBox) {
            state.list = std::make_unique<ComboField>(hwnd, static_cast<int>(c.entries.size()),
                                                      fieldFit_, ListHandlers(static_cast<int>(i)));
            state.list->Fit(place.bottom - place.top);
        }
    }
}

void Form::ApplyLayout(UINT dpi) {
    SetFont(dpi);
    const auto& defs = def_.controls;
    for (size_t i = 0; i < defs.size(); ++i) {
        const ControlState& c = controls_[i];
        const RECT place = PlaceOf(defs[i], dpi);
        MoveWindow(c.hwnd, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, FALSE);
        if (c.list)
            c.list->Fit(place.bottom - place.top);
    }
    FitFrame(dpi);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

// Makes the form's font for dpi and gives it to the controls made so far and to the tips; the
// font they had is freed only then.
void Form::SetFont(UINT dpi) {
    LOGFONTW lf{};
    if (def_.font) {
        lf.lfHeight = -MulDiv(def_.font->hundredthsOfPoint, static_cast<int>(dpi), 7200);
        lf.lfWeight = def_.font->weight;
        lf.lfCharSet = def_.font->charset;
        def_.font->face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    } else {
        lf = Dpi::NonClientMetrics(dpi).lfMessageFont;
    }
    UniqueGdiObject font(CreateFontIndirectW(&lf));
    auto* const handle = static_cast<HFONT>(font.get());
    for (const ControlState& c : controls_)
        if (c.hwnd)
            SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(handle), FALSE);
    tips_.SetFont(handle);
    font_ = std::move(font);
    fieldFit_ = {};
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
