// A form's layout: its definition's twips made windows, pixels and a font at the window's DPI.

#include <windows.h>
#include <commctrl.h>

#include "ui/runtime/form_layout.h"

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "ui/runtime/dpi.h"
#include "ui/runtime/window_classes.h"

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

HWND FormLayout::CreateFormWindow(void* param) {
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
    const HWND hwnd = CreateWindowExW(exStyle, kFormClass, caption.c_str(), style, x, y,
                                      frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), param);
    if (!hwnd)
        throw std::runtime_error("CreateWindowEx failed for a form");
    SetIcons(hwnd, Dpi::OfWindow(hwnd));
    return hwnd;
}

// Each icon loaded at the size it is shown, and owned: the shared cache would give the image
// first loaded under the name, whatever size is asked (LoadImage's LR_SHARED). The window's old
// icons go once it has the new ones.
void FormLayout::SetIcons(HWND form, UINT dpi) {
    if (!def_.iconId)
        return;
    const std::pair<WPARAM, int> kinds[] = {{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}};
    std::array<UniqueIcon, 2> icons;
    for (size_t i = 0; i < icons.size(); ++i) {
        const int size = Dpi::SystemMetric(kinds[i].second, dpi);
        icons[i].reset(static_cast<HICON>(LoadImageW(
            GetModuleHandleW(nullptr), MAKEINTRESOURCEW(def_.iconId), IMAGE_ICON, size, size, 0)));
        SendMessageW(form, WM_SETICON, kinds[i].first, reinterpret_cast<LPARAM>(icons[i].get()));
    }
    icons_ = std::move(icons);
}

std::vector<HWND> FormLayout::CreateControls(HWND form, int firstId) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    const UINT dpi = Dpi::OfWindow(form);
    const auto& defs = def_.controls;
    std::vector<HWND> controls(defs.size());
    SetFont({}, dpi);
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
        const HWND parent = c.container == kOnForm ? form : controls[c.container];
        const std::wstring caption(c.caption);
        const RECT place = PlaceOf(c, dpi);
        const HWND hwnd = CreateWindowExW(
            exStyle, className, caption.c_str(), style, place.left, place.top,
            place.right - place.left, place.bottom - place.top, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(firstId + static_cast<int>(i))), instance,
            nullptr);
        if (!hwnd)
            throw std::runtime_error("CreateWindowEx failed for a control");
        controls[i] = hwnd;
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        if (c.kind == ControlKind::PictureBox) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, c.pictureId);
            SetPictureDpi(hwnd, dpi);
        }
        for (const std::wstring_view entry : c.entries) {
            const std::wstring text(entry);
            SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
    }
    FitFrame(form, dpi);
    return controls;
}

void FormLayout::Apply(HWND form, std::span<const HWND> controls, UINT dpi,
                       const std::function<void(HFONT)>& takeFont, const RECT* suggested) {
    SetFont(controls, dpi, takeFont);
    const auto& defs = def_.controls;
    for (size_t i = 0; i < defs.size(); ++i) {
        const RECT place = PlaceOf(defs[i], dpi);
        MoveWindow(controls[i], place.left, place.top, place.right - place.left,
                   place.bottom - place.top, FALSE);
        if (defs[i].kind == ControlKind::PictureBox)
            SetPictureDpi(controls[i], dpi);
    }
    // Position and size in one move, the size computed for the new DPI: the frame measured now
    // is still the old DPI's.
    const SIZE size = FrameSize(dpi);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!suggested)
        flags |= SWP_NOMOVE;
    SetWindowPos(form, nullptr, suggested ? suggested->left : 0, suggested ? suggested->top : 0,
                 size.cx, size.cy, flags);
    FitFrame(form, dpi);
    SetIcons(form, dpi);
}

SIZE FormLayout::FrameSize(UINT dpi) const {
    RECT frame{0, 0, TwipsToPixels(def_.clientWidth, dpi), TwipsToPixels(def_.clientHeight, dpi)};
    Dpi::AdjustWindowRect(frame, FrameStyle(def_.frame), FrameExStyle(def_.frame), dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

int FormLayout::Height(int control, UINT dpi) const {
    const RECT place = PlaceOf(def_.controls[control], dpi);
    return place.bottom - place.top;
}

// Makes the form's font for dpi and gives it to the controls; the font they had is freed only
// then.
void FormLayout::SetFont(std::span<const HWND> controls, UINT dpi,
                         const std::function<void(HFONT)>& takeFont) {
    dpi_ = dpi;
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
    for (const HWND control : controls)
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(handle), FALSE);
    if (takeFont)
        takeFont(handle);
    font_ = std::move(font);
    fieldFit_ = {};
}

// Sizes the frame from what it really measures after a resize, which has the system recompute
// its non-client area: where the system draws the title bar and borders otherwise than its DPI
// functions say (Wine, which never scales them), the client area still comes out exact. A frame
// of the right size stays.
void FormLayout::FitFrame(HWND form, UINT dpi) const {
    RECT window;
    RECT client;
    GetWindowRect(form, &window);
    GetClientRect(form, &client);
    const int clientWidth = TwipsToPixels(def_.clientWidth, dpi);
    const int clientHeight = TwipsToPixels(def_.clientHeight, dpi);
    if (client.right != clientWidth || client.bottom != clientHeight)
        SetWindowPos(form, nullptr, 0, 0, (window.right - window.left) - client.right + clientWidth,
                     (window.bottom - window.top) - client.bottom + clientHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}
