#include <windows.h>

// Keeps Wine's desktop process alive for a whole test run: Wine closes it when the last process
// using user32 ends, and starting it again costs each test program seconds.
int main() {
    GetDesktopWindow();
    Sleep(INFINITE);
}
