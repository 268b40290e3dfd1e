#include <windows.h>

// Keeps Wine's desktop process alive for a whole test run. Wine starts the desktop when the
// first process touches user32 and closes it when the last one leaves; starting it costs
// seconds, which every test program would otherwise pay again.
int main() {
    GetDesktopWindow();
    Sleep(INFINITE);
}
