#pragma once

#include <windows.h>

// The DPI functions of user32 came with Windows 10 (1607 and 1703). Importing them would keep the
// program from starting on Windows 7 and 8.x, so they are looked up once, here, and where they
// are missing the older ways give the same result: the monitor's DPI from shcore on Windows 8.1,
// otherwise the system DPI of the screen's device context, with the metrics scaled from it.
namespace Dpi {

// The system DPI, at which the program's windows are first created.
UINT System();
// The DPI of the monitor the window is on.
UINT OfWindow(HWND hwnd);
// Grows a client rectangle to the window rectangle for a frame of this style at dpi.
void AdjustWindowRect(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);
// A system metric (GetSystemMetrics' index) at dpi.
int SystemMetric(int index, UINT dpi);
// The system's non-client metrics (fonts of captions, menus, messages) at dpi.
NONCLIENTMETRICSW NonClientMetrics(UINT dpi);
// Asks for per-monitor awareness (version 2) where the system knows it. The manifest asks for it
// too; this covers hosts that ignore the manifest.
void BecomePerMonitorAware();

// Which system's functions the program uses. Only tests choose: they make the program take the
// ways of an older system on a newer one.
enum class Level { Newest, Windows81, Windows7 };
void UseLevelForTests(Level level);

} // namespace Dpi
