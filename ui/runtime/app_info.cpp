// The program's name and folder, both taken from its executable's path.

#include <windows.h>

#include "ui/runtime/app_info.h"

namespace {

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2); // truncated: long path
    }
}

} // namespace

namespace App {

std::wstring Title() {
    std::wstring name = ModulePath();
    name.erase(0, name.find_last_of(L"\\/") + 1);
    if (const auto dot = name.rfind(L'.'); dot != std::wstring::npos)
        name.resize(dot);
    return name;
}

std::wstring Path() {
    std::wstring path = ModulePath();
    path.resize(path.find_last_of(L"\\/"));
    return path;
}

} // namespace App
