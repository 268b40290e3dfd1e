#include <windows.h>

// Holds Wine's desktop for a whole test run; says "ready" once it is up, for no program to race.
int main() {
    GetDesktopWindow();
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "ready\n", 6, &written, nullptr);
    Sleep(INFINITE);
}
