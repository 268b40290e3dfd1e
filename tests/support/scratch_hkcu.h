#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "base/unique_handle.h"

// Redirects HKEY_CURRENT_USER of this process to a fresh, empty scratch key while it lives, so
// tests never touch the settings of whoever runs them. (Non-volatile: a volatile key could hold
// no non-volatile keys.)
class ScratchHkcu {
  public:
    ScratchHkcu();
    ~ScratchHkcu();
    ScratchHkcu(const ScratchHkcu&) = delete;
    ScratchHkcu& operator=(const ScratchHkcu&) = delete;

    // Its path under the real HKEY_CURRENT_USER, for other processes, which are not redirected.
    const std::wstring& Path() const { return path_; }

  private:
    std::wstring path_; // under the real HKEY_CURRENT_USER
    UniqueHkey key_;
};

class ScratchHkcuTest : public ::testing::Test {
  protected:
    ScratchHkcu hkcu_;
};

// Checks and changes of the scratch hive through the W API, independent of the code under test
// (no key can be created under a REG_OPTION_VOLATILE one; PutRaw creates the key).
bool KeyExists(const std::wstring& path);
UniqueHkey CreateKey(const std::wstring& path, DWORD options = REG_OPTION_NON_VOLATILE);
void PutRaw(const std::wstring& path, const std::wstring& name, DWORD type,
            const std::string& data);
// Replaces the key's DACL, for example with "D:P(A;;KR;;;WD)": read-only for everyone.
void SetKeySddl(const std::wstring& path, const wchar_t* sddl);
// Every key and value under path, one line each, in registry order: for before/after compares.
std::wstring DumpTree(const std::wstring& path);

// Value data: a DWORD's four little-endian bytes; REG_SZ text in UTF-16 with its NUL.
inline std::string DwordBytes(std::uint32_t value) {
    return {reinterpret_cast<const char*>(&value), sizeof value};
}
inline std::string Utf16Bytes(std::wstring_view text) {
    return {reinterpret_cast<const char*>(std::wstring(text).c_str()), 2 * (text.size() + 1)};
}
