// The DPI functions of Windows 10, looked up once, and what stands in for them before it.

#include "ui/runtime/dpi.h"

#include "base/system_dll.h"
#include "base/unique_handle.h"

namespace Dpi {
namespace {

// MONITOR_DPI_TYPE's MDT_EFFECTIVE_DPI, from shellscalingapi.h.
constexpr int kEffectiveDpi = 0;
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

struct Functions {
    decltype(&::GetDpiForSystem) getDpiForSystem = nullptr;
    decltype(&::GetDpiForWindow) getDpiForWindow = nullptr;
    decltype(&::AdjustWindowRectExForDpi) adjustWindowRectExForDpi = nullptr;
    decltype(&::GetSystemMetricsForDpi) getSystemMetricsForDpi = nullptr;
    decltype(&::SystemParametersInfoForDpi) systemParametersInfoForDpi = nullptr;
    decltype(&::SetProcessDpiAwarenessContext) setProcessDpiAwarenessContext = nullptr;
    GetDpiForMonitorFunction getDpiForMonitor = nullptr;
};

Functions Resolve(Level level) {
    Functions f;
    if (level == Level::Newest) {
        const HMODULE user32 = GetModuleHandleW(L"user32.dll");
        f.getDpiForSystem = Lookup<decltype(f.getDpiForSystem)>(user32, "GetDpiForSystem");
        f.getDpiForWindow = Lookup<decltype(f.getDpiForWindow)>(user32, "GetDpiForWindow");
        f.adjustWindowRectExForDpi =
            Lookup<decltype(f.adjustWindowRectExForDpi)>(user32, "AdjustWindowRectExForDpi");
        f.getSystemMetricsForDpi =
            Lookup<decltype(f.getSystemMetricsForDpi)>(user32, "GetSystemMetricsForDpi");
        f.systemParametersInfoForDpi =
            Lookup<decltype(f.systemParametersInfoForDpi)>(user32, "SystemParametersInfoForDpi");
        f.setProcessDpiAwarenessContext = Lookup<decltype(f.setProcessDpiAwarenessContext)>(
            user32, "SetProcessDpiAwarenessContext");
    }
    // Windows 8.1 knows each monitor's DPI, but only through shcore, which is loaded just then
    // and kept for the rest of the run.
    if (level != Level::Windows7 && !f.getDpiForWindow) {
        static const UniqueModule shcore(LoadSystemDll(L"shcore.dll"));
        f.getDpiForMonitor = Lookup<GetDpiForMonitorFunction>(shcore.get(), "GetDpiForMonitor");
    }
    return f;
}

Functions& Use() {
    static Functions functions = Resolve(Level::Newest);
    return functions;
}

UINT SystemDpiOfScreen() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return static_cast<UINT>(dpi);
}

// Metrics that the older functions give at the system DPI, brought to dpi.
int Scale(int value, UINT dpi) {
    return MulDiv(value, static_cast<int>(dpi), static_cast<int>(System()));
}

} // namespace

UINT System() {
    const auto& f = Use();
    return f.getDpiForSystem ? f.getDpiForSystem() : SystemDpiOfScreen();
}

UINT OfWindow(HWND hwnd) {
    const auto& f = Use();
    if (f.getDpiForWindow)
        return f.getDpiForWindow(hwnd);
    UINT x = 0;
    UINT y = 0;
    if (f.getDpiForMonitor &&
        SUCCEEDED(f.getDpiForMonitor(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST),
                                     kEffectiveDpi, &x, &y)))
        return y;
    return System();
}

void AdjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) {
    const auto& f = Use();
    if (f.adjustWindowRectExForDpi) {
        f.adjustWindowRectExForDpi(&rect, style, FALSE, exStyle, dpi);
        return;
    }
    // The frame at the system DPI, its edges scaled to dpi.
    RECT frame{};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    rect.left += Scale(frame.left, dpi);
    rect.top += Scale(frame.top, dpi);
    rect.right += Scale(frame.right, dpi);
    rect.bottom += Scale(frame.bottom, dpi);
}

int SystemMetric(int index, UINT dpi) {
    const auto& f = Use();
    return f.getSystemMetricsForDpi ? f.getSystemMetricsForDpi(index, dpi)
                                    : Scale(GetSystemMetrics(index), dpi);
}

NONCLIENTMETRICSW NonClientMetrics(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    const auto& f = Use();
    if (f.systemParametersInfoForDpi) {
        f.systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
        return metrics;
    }
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                           &metrics.lfStatusFont, &metrics.lfMessageFont})
        font->lfHeight = Scale(font->lfHeight, dpi);
    return metrics;
}

void BecomePerMonitorAware() {
    // Wine 8 refuses the call, which is harmless there.
    if (const auto& f = Use(); f.setProcessDpiAwarenessContext)
        f.setProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

void UseLevelForTests(Level level) {
    Use() = Resolve(level);
}

} // namespace Dpi
