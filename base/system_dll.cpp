#include "base/system_dll.h"

#include <string>

HMODULE LoadSystemDll(const wchar_t* name) {
    std::wstring path(MAX_PATH, L'\0');
    const UINT length = GetSystemDirectoryW(path.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    path.resize(length);
    path += L'\\';
    path += name;
    return LoadLibraryW(path.c_str());
}
