#include <windows.h>
#include <commctrl.h>

#include <span>
#include <string>

#include "base/unique_handle.h"
#include "ui/main_window/entry_tables.h"

// QUELM's main window with nothing behind it: the same frame, the thirteen controls at their
// pixel places at 96 DPI, the same font, the list entries and one shown entry in each list,
// built with the same flags and manifest, and no registry, runtime or layout code. The startup
// benchmark measures QUELM against it.
namespace {

constexpr wchar_t kClassName[] = L"QuelmSameWindow";
constexpr wchar_t kTitle[] = L"same_window";
constexpr SIZE kClient{229, 119};
constexpr COLORREF kLabelGrey = 0x00808080;

// The field height that makes a closed combo box 19 pixels high under Wine 8, and the height
// of a list entry, as QUELM finds them for this font.
constexpr int kComboField = 13;
constexpr int kEntryHeight = 12;

enum class Kind { Label, List, Button };

struct Control {
    Kind kind;
    const wchar_t* text; // labels and buttons
    RECT rect;           // client pixels at 96 DPI; lists: the closed combo box
    std::span<const ListEntry> entries = {};
    int shown = 0; // lists: the entry shown in the edit field
};

// In QUELM's window order, which is the order of creation.
// clang-format off
const Control kControls[] = {
    {Kind::Label, L"JAVA Script の設定", {4, 6, 113, 19}},
    {Kind::List, nullptr, {4, 20, 113, 39}, kPolicyEntries, 1},
    {Kind::Label, L"JAVA Applet の設定", {4, 44, 113, 57}},
    {Kind::List, nullptr, {4, 58, 113, 77}, kPolicyEntries, 1},
    {Kind::Label, L"JAVA の設定", {4, 82, 113, 95}},
    {Kind::List, nullptr, {4, 96, 113, 115}, kJavaEntries, 0},
    {Kind::Label, L"Cookie の設定", {118, 6, 227, 19}},
    {Kind::List, nullptr, {116, 20, 225, 39}, kPolicyEntries, 1},
    {Kind::Label, L"セッションごとの設定", {118, 44, 227, 57}},
    {Kind::List, nullptr, {116, 58, 225, 77}, kPolicyEntries, 1},
    {Kind::Button, L"既定値", {158, 82, 201, 117}},
    {Kind::Button, L"終了", {200, 82, 229, 117}},
    {Kind::Button, L"全無効", {116, 82, 159, 117}},
};
// clang-format on

UniqueGdiObject labelBrush;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CTLCOLORSTATIC: {
        const HDC hdc = reinterpret_cast<HDC>(wp);
        SetBkColor(hdc, kLabelGrey);
        SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
        return reinterpret_cast<LRESULT>(labelBrush.get());
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND CreateControl(HWND parent, HINSTANCE instance, const Control& c, HFONT font) {
    const auto& [left, top, right, bottom] = c.rect;
    const wchar_t* className = WC_STATICW;
    DWORD style = WS_CHILD | WS_VISIBLE;
    int height = bottom - top;
    switch (c.kind) {
    case Kind::Label:
        style |= SS_NOPREFIX | SS_LEFTNOWORDWRAP;
        break;
    case Kind::List:
        className = WC_COMBOBOXW;
        style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
        height += kEntryHeight * static_cast<int>(c.entries.size()) + 2; // the open list
        break;
    case Kind::Button:
        className = WC_BUTTONW;
        style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
    }
    const HWND hwnd = CreateWindowExW(0, className, c.text, style, left, top, right - left, height,
                                      parent, nullptr, instance, nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (c.kind != Kind::List)
        return hwnd;
    for (const ListEntry& entry : c.entries) {
        const std::wstring text(entry.text);
        SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), kComboField);
    const std::wstring shown(c.entries[c.shown].text);
    SetWindowTextW(hwnd, shown.c_str());
    return hwnd;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    labelBrush.reset(CreateSolidBrush(kLabelGrey));
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassExW(&windowClass) == 0)
        return 1;
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    constexpr DWORD exStyle = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME;
    RECT frame{0, 0, kClient.cx, kClient.cy};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const HWND hwnd = CreateWindowExW(
        exStyle, kClassName, kTitle, style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
        frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (hwnd == nullptr)
        return 1;
    LOGFONTW lf{};
    lf.lfHeight = -11; // 8.25 points at 96 DPI
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpyW(lf.lfFaceName, L"ＭＳ Ｐゴシック");
    const UniqueGdiObject font(CreateFontIndirectW(&lf));
    for (const Control& c : kControls)
        CreateControl(hwnd, instance, c, static_cast<HFONT>(font.get()));
    ShowWindow(hwnd, SW_SHOWNORMAL);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
