#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "base/unique_handle.h"
#include "registry/clsRegEdit.h"

// HKEY_CURRENT_USER as the predefined handle value clsRegEdit::RegKey takes.
inline constexpr std::int32_t kHkcu = static_cast<std::int32_t>(0x80000001);

// An editor on a key under the (redirected) HKEY_CURRENT_USER.
inline clsRegEdit EditorAt(std::wstring path) {
    clsRegEdit editor;
    editor.RegKey(kHkcu);
    editor.SubKey(std::move(path));
    return editor;
}

inline std::string Bytes(std::initializer_list<unsigned> bytes) {
    std::string out;
    for (const unsigned b : bytes)
        out += static_cast<char>(b);
    return out;
}

// Little-endian, as REG_DWORD data is stored.
inline std::string DwordBytes(std::uint32_t value) {
    return Bytes({value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF, value >> 24});
}

// REG_SZ data as the W functions store it, with its terminating NUL.
inline std::string Utf16Bytes(std::wstring_view text) {
    const std::wstring withNul = std::wstring(text) + L'\0';
    return {reinterpret_cast<const char*>(withNul.data()), withNul.size() * 2};
}

inline void CreateKey(const std::wstring& path) {
    UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
}

// A volatile key: the registry refuses to create a non-volatile key beneath it
// (ERROR_CHILD_MUST_BE_VOLATILE), which gives a key that cannot be created.
inline void CreateVolatileKey(const std::wstring& path) {
    UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
}

// A value's bytes as the A functions return them (text data in the ANSI code page); false when
// missing.
inline bool QueryAnsi(const std::wstring& path, const std::string& name, std::string& data) {
    UniqueHkey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
        return false;
    data.assign(size, '\0');
    return RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr,
                            reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS &&
           size == data.size();
}
