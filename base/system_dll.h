#pragma once

#include <windows.h>

// Loads a DLL of Windows by its full path in the system folder, so that a DLL of the same name
// beside the program is never loaded. (LOAD_LIBRARY_SEARCH_SYSTEM32 says the same, but Windows 7
// knows that flag only with update KB2533623.) Returns null when the DLL cannot be loaded.
HMODULE LoadSystemDll(const wchar_t* name);

// A function looked up by name, typed after its declaration: for functions that only newer
// versions of Windows have, and for DLLs the program does not link. Null when the module or the
// function is missing.
template <typename Function> Function Lookup(HMODULE module, const char* name) {
    if (!module)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
