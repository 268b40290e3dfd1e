// The runtime's window classes: forms and picture boxes.

#include <windows.h>

#include "ui/runtime/window_classes.h"

#include "base/unique_handle.h"

namespace {

// A picture box keeps the DPI its form is laid out at in its one extra word.
constexpr int kPictureDpiSlot = 0;

LRESULT CALLBACK PictureBoxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_COMMAND:
        return SendMessageW(GetAncestor(hwnd, GA_ROOT), msg, wp, lp);
    case WM_ERASEBKGND: {
        // The form keeps the colours of its controls; ask it as a child would.
        const HWND form = GetAncestor(hwnd, GA_ROOT);
        auto* brush = reinterpret_cast<HBRUSH>(
            SendMessageW(form, WM_CTLCOLORSTATIC, wp, reinterpret_cast<LPARAM>(hwnd)));
        RECT rect;
        GetClientRect(hwnd, &rect);
        FillRect(reinterpret_cast<HDC>(wp), &rect, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        const HDC hdc = BeginPaint(hwnd, &ps);
        if (const auto pictureId = static_cast<int>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) {
            // A 32 x 32 picture, scaled with the form's DPI like everything else.
            const auto dpi = static_cast<int>(GetWindowLongPtrW(hwnd, kPictureDpiSlot));
            const int size = MulDiv(32, dpi, 96);
            // Loaded at that size, not from the shared cache, which keeps one size a name.
            const UniqueIcon icon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                                                MAKEINTRESOURCEW(pictureId),
                                                                IMAGE_ICON, size, size, 0)));
            if (icon)
                DrawIconEx(hdc, 0, 0, icon.get(), size, size, 0, nullptr, DI_NORMAL);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace

LRESULT CALLBACK FormWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

void SetPictureDpi(HWND pictureBox, UINT dpi) {
    SetWindowLongPtrW(pictureBox, kPictureDpiSlot, static_cast<LONG_PTR>(dpi));
    InvalidateRect(pictureBox, nullptr, TRUE);
}

void RegisterWindowClasses() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = FormWindowProc;
    form.hInstance = instance;
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    form.lpszClassName = kFormClass;
    RegisterClassExW(&form);

    WNDCLASSEXW picture{};
    picture.cbSize = sizeof picture;
    picture.lpfnWndProc = PictureBoxProc;
    picture.cbWndExtra = sizeof(LONG_PTR);
    picture.hInstance = instance;
    picture.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    picture.lpszClassName = kPictureBoxClass;
    RegisterClassExW(&picture);
}
