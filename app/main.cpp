#include <windows.h>

#include "ui/main_window/Form1.h"
#include "ui/runtime/runtime.h"

// The program starts by showing its main window; it takes no command line.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    Runtime::Initialize();
    Form1::Instance().Show();
    return Runtime::Run();
}
