#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "base/unique_handle.h"

// Redirects a predefined key of this process to a fresh, empty, non-volatile key under
// HKEY_CURRENT_USER while it lives: tests never touch the settings of whoever runs them.
class ScratchKey {
  public:
    explicit ScratchKey(HKEY predefined = HKEY_CURRENT_USER);
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    const std::wstring& Path() const { return path_; } // in the real HKCU, for other processes

  private:
    HKEY predefined_;
    std::wstring path_;
    UniqueHkey key_;
};

// Both hives in scratch keys: what the code under test writes to the wrong one lands there too.
class ScratchRegistryTest : public ::testing::Test {
  protected:
    ScratchKey hklm_{HKEY_LOCAL_MACHINE}; // first: beside the other, not in it
    ScratchKey hkcu_;
};

// The scratch hive through the W API, not the code under test (PutRaw creates the key).
bool KeyExists(const std::wstring& path);
UniqueHkey CreateKey(const std::wstring& path, DWORD options = REG_OPTION_NON_VOLATILE);
void PutRaw(const std::wstring& path, const std::wstring& name, DWORD type,
            const std::string& data);
// Replaces the key's DACL, for example with "D:P(A;;KR;;;WD)": read-only for everyone.
void SetKeySddl(const std::wstring& path, const wchar_t* sddl, HKEY root = HKEY_CURRENT_USER);
// Every key and value under path, one line each, in registry order: for before/after compares.
std::wstring DumpTree(const std::wstring& path);

// Value data: a DWORD's four little-endian bytes; REG_SZ text in UTF-16 with its NUL.
inline std::string DwordBytes(std::uint32_t value) {
    return {reinterpret_cast<const char*>(&value), sizeof value};
}
inline std::string Utf16Bytes(std::wstring_view text) {
    return {reinterpret_cast<const char*>(std::wstring(text).c_str()), 2 * (text.size() + 1)};
}
