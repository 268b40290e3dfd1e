#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "base/unique_handle.h"

// Redirects HKEY_CURRENT_USER of this process to a fresh, empty scratch key for the lifetime of
// the object, so tests never read or change the settings of whoever runs them. The scratch key
// is non-volatile: keys created beneath a volatile key fail with ERROR_CHILD_MUST_BE_VOLATILE.
class ScratchHkcu {
  public:
    ScratchHkcu();
    ~ScratchHkcu();
    ScratchHkcu(const ScratchHkcu&) = delete;
    ScratchHkcu& operator=(const ScratchHkcu&) = delete;

  private:
    std::wstring path_; // under the real HKEY_CURRENT_USER
    UniqueHkey key_;
};

// Fixture form, for suites whose every test wants a redirected HKEY_CURRENT_USER.
class ScratchHkcuTest : public ::testing::Test {
  protected:
    ScratchHkcu hkcu_;
};

// Registry checks against the scratch hive, through the W API so that they do not depend on
// the code under test. Paths are under HKEY_CURRENT_USER.
bool KeyExists(const std::wstring& path);
// Creates the key; a volatile one refuses non-volatile keys beneath it, so that they cannot be
// created.
void CreateKey(const std::wstring& path, DWORD options = REG_OPTION_NON_VOLATILE);
// The raw value: type and bytes; false when missing.
bool QueryRaw(const std::wstring& path, const std::wstring& name, DWORD& type, std::string& data);
// Writes a raw value, creating the key.
void PutRaw(const std::wstring& path, const std::wstring& name, DWORD type,
            const std::string& data);
// Replaces the key's DACL with the given SDDL (for example read-only for everyone).
void SetKeySddl(const std::wstring& path, const wchar_t* sddl);
// Every key and value under path, one line each, in registry order: for before/after compares.
std::wstring DumpTree(const std::wstring& path);

// Value data as stored: a DWORD's four little-endian bytes; REG_SZ text in UTF-16 with its NUL.
inline std::string DwordBytes(std::uint32_t value) {
    return {reinterpret_cast<const char*>(&value), sizeof value};
}
inline std::string Utf16Bytes(std::wstring_view text) {
    return {reinterpret_cast<const char*>(std::wstring(text).c_str()), 2 * (text.size() + 1)};
}
