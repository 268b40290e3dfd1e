#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

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

    // The scratch key itself (what HKEY_CURRENT_USER now stands for).
    HKEY Key() const { return key_.get(); }
    // Its path under the real HKEY_CURRENT_USER, for other processes, which are not redirected.
    const std::wstring& Path() const { return path_; }

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
// the code under test.
bool KeyExists(const std::wstring& path);
// The raw value: type and bytes; false when missing.
bool QueryRaw(const std::wstring& path, const std::wstring& name, DWORD& type, std::string& data);
// Writes a raw value, creating the key.
void PutRaw(const std::wstring& path, const std::wstring& name, DWORD type,
            const std::string& data);
// Replaces the key's DACL with the given SDDL (for example read-only for everyone).
void SetKeySddl(const std::wstring& path, const wchar_t* sddl);
// Every key and value under path, one line each, in registry order: for before/after compares.
std::wstring DumpTree(const std::wstring& path);
