#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The parent key for a RegKey value. Predefined keys are negative 32-bit numbers and must be
// sign-extended: HKEY_CURRENT_USER is 0xFFFFFFFF80000001 in a 64-bit process. (Wine also takes
// the zero-extended 0x80000001; 64-bit Windows need not.)
HKEY RegKeyHandle(std::int32_t regKey);

// One registry key, named by a parent key (RegKey) and a path beneath it (SubKey), with typed
// reads, writes, enumeration and deletion. Every method opens the key, in the registry's 64-bit
// view in the 32-bit build too, does its work and closes the key before returning. A registry
// failure is only ever a result: the caller's default, 0, false, or an untouched or erased array. A
// SubKey, name or text without an exact equivalent in the ANSI code page (ToAnsi) fails the method
// as a key that cannot be opened does, and changes nothing.
class clsRegEdit {
  public:
    // Handle value of the parent key, such as HKEY_CURRENT_USER = 0x80000001; 0 until set.
    void RegKey(std::int32_t enmNewValue);
    std::int32_t RegKey() const;
    // Path beneath RegKey, kept exactly as given.
    void SubKey(std::wstring strNewValue);
    const std::wstring& SubKey() const;

    // Stores every value name at indices 0..n-1, the array cut to n, and returns n. When the
    // key cannot be opened or has no values: 0, the array untouched.
    std::int32_t EnumValueName(std::vector<std::wstring>& strlpEnumValueName) const;
    // The same for the names of the subkeys.
    std::int32_t EnumSubKey(std::vector<std::wstring>& strlpEnumKey) const;

    // True when the (childless) subkey was deleted; false for an empty name, which names none.
    bool DeleteSubKey(std::wstring_view strSubKey) const;
    // True when the value was deleted.
    bool DeleteValueName(std::wstring_view strValueName) const;

    // The value's data as text up to its first NUL, whatever its type; strDefault when the key
    // or value is missing or the data is over 4,096 bytes.
    std::wstring GetString(std::wstring_view strValueName, std::wstring_view strDefault = {}) const;
    // Stores REG_SZ text, creating the key path; false when the key or value cannot be written.
    bool SetString(std::wstring_view strValueName, std::wstring_view strNewValue) const;

    // The value's first four bytes as a little-endian number (upper bytes 0 when shorter),
    // whatever its type; lngDefault when the key or value is missing or the data is over 4 bytes.
    std::int32_t GetDWORD(std::wstring_view strValueName, std::int32_t lngDefault = 0) const;
    // Stores a REG_DWORD, creating the key path; false when it cannot be written.
    bool SetDWORD(std::wstring_view strValueName, std::int32_t lngNewValue) const;

    // Replaces bytValue with the value's data (at most 4,096 bytes) and returns its length.
    // Missing key: 0, the array untouched. Missing value or longer data: 0, the array erased.
    std::int32_t GetBinary(std::wstring_view strValueName,
                           std::vector<std::uint8_t>& bytValue) const;
    // Stores the first lngValueLen bytes of bytValue as REG_BINARY, creating the key path.
    // lngValueLen is the "untyped value": a number, or numeric text (a whole decimal number).
    // False, with nothing written, when lngValueLen is no such number or lies outside
    // 0..bytValue.size(), when bytValue is empty, or when the key or value cannot be written.
    bool SetBinary(std::wstring_view strValueName, const std::vector<std::uint8_t>& bytValue,
                   const std::variant<std::int64_t, std::wstring>& lngValueLen) const;

  private:
    std::int32_t regKey_ = 0;
    std::wstring subKey_;
};
