#include <windows.h>

#include "ui/main_window/Form1.h"
#include "ui/runtime/runtime.h"

// The program starts by showing its main window; it takes no command line. A failure to make the
// window ends the program through the runtime's error report, like any other fault.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    Runtime::Initialize();
    Runtime::RaiseEvent([] { Form1::Instance().Show(); });
    return Runtime::Run();
}
