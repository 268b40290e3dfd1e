// The per-user settings store in the registry.

#include <windows.h>

#include "ui/runtime/settings.h"

#include "base/unique_handle.h"

namespace {

std::wstring KeyPath(std::wstring_view appName, std::wstring_view section) {
    std::wstring path = L"Software\\";
    path += appName;
    path += L"\\";
    path += section;
    return path;
}

} // namespace

std::wstring GetSetting(std::wstring_view appName, std::wstring_view section, std::wstring_view key,
                        std::wstring_view defaultValue) {
    const std::wstring name(key);
    UniqueHkey hkey;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(appName, section).c_str(), 0, KEY_QUERY_VALUE,
                      hkey.put()) != ERROR_SUCCESS)
        return std::wstring(defaultValue);
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type, nullptr, &bytes) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::wstring(defaultValue);
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(value.data()), &bytes) != ERROR_SUCCESS)
        return std::wstring(defaultValue);
    value.resize(value.find(L'\0')); // the stored string may or may not end in a NUL
    return value;
}

bool SaveSetting(std::wstring_view appName, std::wstring_view section, std::wstring_view key,
                 std::wstring_view value) {
    const std::wstring name(key);
    const std::wstring data(value);
    UniqueHkey hkey;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath(appName, section).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, hkey.put(),
                        nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(hkey.get(), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}
