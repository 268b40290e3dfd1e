#pragma once

#include <string>
#include <string_view>

// The per-user settings store: strings under an application name, a section and a key, kept in
// HKEY_CURRENT_USER\Software\<application>\<section>.

// The stored string, or defaultValue when nothing is stored or it cannot be read.
std::wstring GetSetting(std::wstring_view appName, std::wstring_view section, std::wstring_view key,
                        std::wstring_view defaultValue);

// Stores the string, creating the keys that are missing; false when the registry refuses.
bool SaveSetting(std::wstring_view appName, std::wstring_view section, std::wstring_view key,
                 std::wstring_view value);
