#include "registry/clsRegEdit.h"

#include <charconv>
#include <limits>
#include <optional>

#include "base/text.h"
#include "base/unique_handle.h"

namespace {

// Every key is opened in the 64-bit view: on 64-bit Windows a 32-bit build would otherwise read
// the WOW6432Node copy of HKLM\Software, which 64-bit programs and the system do not use
// ("Registry Keys Affected by WOW64"). 32-bit Windows ignores the flag.
constexpr REGSAM kView = KEY_WOW64_64KEY;
// Writing and deleting methods ask for the six key-specific rights, nothing more.
constexpr REGSAM kWriteAccess = KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY |
                                KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY | KEY_CREATE_LINK | kView;
// Reading methods ask for read rights only, so that a key the user may read but not change
// still reads.
constexpr REGSAM kReadAccess = KEY_READ | kView;

constexpr DWORD kNameBufferSize = 80;
// A value name may be 16,383 characters, two bytes each in a double-byte code page, plus NUL.
constexpr DWORD kLongestNameSize = 2 * 16383 + 1;
constexpr DWORD kStringBufferSize = 4096;
constexpr DWORD kBinaryBufferSize = 4096;

// A path or name without an exact ANSI equivalent would reach another key or value (ToAnsi), so
// it opens, creates and names nothing.
UniqueHkey OpenKey(std::int32_t regKey, const std::wstring& subKey, REGSAM access) {
    const std::optional<std::string> path = ToAnsi(subKey);
    HKEY key = nullptr;
    if (!path ||
        RegOpenKeyExA(RegKeyHandle(regKey), path->c_str(), 0, access, &key) != ERROR_SUCCESS)
        return {};
    return UniqueHkey(key);
}

UniqueHkey CreateKey(std::int32_t regKey, const std::wstring& subKey) {
    const std::optional<std::string> path = ToAnsi(subKey);
    char keyClass[] = "";
    SECURITY_ATTRIBUTES security{};
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (!path ||
        RegCreateKeyExA(RegKeyHandle(regKey), path->c_str(), 0, keyClass, REG_OPTION_NON_VOLATILE,
                        kWriteAccess, &security, &key, &disposition) != ERROR_SUCCESS)
        return {};
    return UniqueHkey(key);
}

// Calls enumerate(index, buffer, capacity) for index 0, 1, ... and stores each name found in
// names, which is cut to the count, until the call fails. A name too long for the usual
// buffer is fetched again with room for the longest name the registry allows.
template <typename Enumerate>
std::int32_t EnumNames(std::vector<std::wstring>& names, Enumerate enumerate) {
    std::string buffer;
    DWORD index = 0;
    for (;; ++index) {
        buffer.assign(kNameBufferSize, ' ');
        DWORD capacity = kNameBufferSize;
        LSTATUS status = enumerate(index, buffer.data(), &capacity);
        if (status == ERROR_MORE_DATA) {
            buffer.assign(kLongestNameSize, ' ');
            capacity = kLongestNameSize;
            status = enumerate(index, buffer.data(), &capacity);
        }
        if (status != ERROR_SUCCESS)
            break;
        names.resize(index + 1);
        names[index] = FromAnsiBuffer(buffer);
    }
    return static_cast<std::int32_t>(index);
}

std::optional<std::int64_t> ParseWholeNumber(std::wstring_view text) {
    const auto first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(L" \t") - first + 1);
    if (text.front() == L'+')
        text.remove_prefix(1);
    std::string ascii;
    for (const wchar_t c : text) {
        if (c > 0x7F)
            return std::nullopt;
        ascii += static_cast<char>(c);
    }
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), number);
    if (error != std::errc{} || end != ascii.data() + ascii.size())
        return std::nullopt;
    return number;
}

// The untyped length as a byte count: a number or numeric text that fits a signed 32-bit
// integer.
std::optional<std::int32_t> ToLong(const std::variant<std::int64_t, std::wstring>& value) {
    const std::optional<std::int64_t> number =
        std::holds_alternative<std::int64_t>(value)
            ? std::optional<std::int64_t>(std::get<std::int64_t>(value))
            : ParseWholeNumber(std::get<std::wstring>(value));
    if (!number || *number < std::numeric_limits<std::int32_t>::min() ||
        *number > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(*number);
}

} // namespace

HKEY RegKeyHandle(std::int32_t regKey) {
    return reinterpret_cast<HKEY>(static_cast<std::intptr_t>(regKey));
}

void clsRegEdit::RegKey(std::int32_t enmNewValue) {
    regKey_ = enmNewValue;
}
std::int32_t clsRegEdit::RegKey() const {
    return regKey_;
}
void clsRegEdit::SubKey(std::wstring strNewValue) {
    subKey_ = std::move(strNewValue);
}
const std::wstring& clsRegEdit::SubKey() const {
    return subKey_;
}

std::int32_t clsRegEdit::EnumValueName(std::vector<std::wstring>& strlpEnumValueName) const {
    const UniqueHkey key = OpenKey(regKey_, subKey_, kReadAccess);
    if (!key)
        return 0;
    return EnumNames(strlpEnumValueName, [&](DWORD index, char* name, DWORD* capacity) {
        DWORD type = 0;
        DWORD dataSize = 0;
        return RegEnumValueA(key.get(), index, name, capacity, nullptr, &type, nullptr, &dataSize);
    });
}

std::int32_t clsRegEdit::EnumSubKey(std::vector<std::wstring>& strlpEnumKey) const {
    const UniqueHkey key = OpenKey(regKey_, subKey_, kReadAccess);
    if (!key)
        return 0;
    return EnumNames(strlpEnumKey, [&](DWORD index, char* name, DWORD* capacity) {
        FILETIME lastWrite{};
        return RegEnumKeyExA(key.get(), index, name, capacity, nullptr, nullptr, nullptr,
                             &lastWrite);
    });
}

// RegDeleteKeyA takes an empty name as the open key itself, which names no subkey.
bool clsRegEdit::DeleteSubKey(std::wstring_view strSubKey) const {
    const std::optional<std::string> name = ToAnsi(strSubKey);
    if (!name || name->empty())
        return false;
    const UniqueHkey key = OpenKey(regKey_, subKey_, kWriteAccess);
    return key && RegDeleteKeyA(key.get(), name->c_str()) == ERROR_SUCCESS;
}

bool clsRegEdit::DeleteValueName(std::wstring_view strValueName) const {
    const std::optional<std::string> name = ToAnsi(strValueName);
    if (!name)
        return false;
    const UniqueHkey key = OpenKey(regKey_, subKey_, kWriteAccess);
    return key && RegDeleteValueA(key.get(), name->c_str()) == ERROR_SUCCESS;
}

std::wstring clsRegEdit::GetString(std::wstring_view strValueName,
                                   std::wstring_view strDefault) const {
    const std::optional<std::string> name = ToAnsi(strValueName);
    if (!name)
        return std::wstring(strDefault);
    const UniqueHkey key = OpenKey(regKey_, subKey_, kReadAccess);
    if (!key)
        return std::wstring(strDefault);
    std::string buffer(kStringBufferSize, '\0');
    DWORD size = kStringBufferSize;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), name->c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
        return std::wstring(strDefault);
    // Data that fills the buffer without a NUL is taken whole.
    return FromAnsiBuffer(buffer);
}

bool clsRegEdit::SetString(std::wstring_view strValueName, std::wstring_view strNewValue) const {
    const std::optional<std::string> name = ToAnsi(strValueName);
    const std::optional<std::string> data = ToAnsi(strNewValue);
    if (!name || !data)
        return false;
    const UniqueHkey key = CreateKey(regKey_, subKey_);
    if (!key)
        return false;
    return RegSetValueExA(key.get(), name->c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data->data()),
                          static_cast<DWORD>(data->size())) == ERROR_SUCCESS;
}

std::int32_t clsRegEdit::GetDWORD(std::wstring_view strValueName, std::int32_t lngDefault) const {
    const std::optional<std::string> name = ToAnsi(strValueName);
    if (!name)
        return lngDefault;
    const UniqueHkey key = OpenKey(regKey_, subKey_, kReadAccess);
    if (!key)
        return lngDefault;
    std::int32_t value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), name->c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS)
        return lngDefault;
    return value;
}

bool clsRegEdit::SetDWORD(std::wstring_view strValueName, std::int32_t lngNewValue) const {
    const std::optional<std::string> name = ToAnsi(strValueName);
    if (!name)
        return false;
    const UniqueHkey key = CreateKey(regKey_, subKey_);
    if (!key)
        return false;
    return RegSetValueExA(key.get(), name->c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&lngNewValue),
                          sizeof lngNewValue) == ERROR_SUCCESS;
}

std::int32_t clsRegEdit::GetBinary(std::wstring_view strValueName,
                                   std::vector<std::uint8_t>& bytValue) const {
    const std::optional<std::string> name = ToAnsi(strValueName);
    if (!name)
        return 0;
    const UniqueHkey key = OpenKey(regKey_, subKey_, kReadAccess);
    if (!key)
        return 0;
    // One byte more than the registry is told about.
    bytValue.assign(kBinaryBufferSize + 1, 0);
    DWORD size = kBinaryBufferSize;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), name->c_str(), nullptr, &type, bytValue.data(), &size) !=
        ERROR_SUCCESS) {
        bytValue.clear();
        return 0;
    }
    bytValue.resize(size);
    return static_cast<std::int32_t>(size);
}

bool clsRegEdit::SetBinary(std::wstring_view strValueName,
                           const std::vector<std::uint8_t>& bytValue,
                           const std::variant<std::int64_t, std::wstring>& lngValueLen) const {
    // Checked before the key is created, so that a rejected call leaves no trace.
    const std::optional<std::string> name = ToAnsi(strValueName);
    const std::optional<std::int32_t> length = ToLong(lngValueLen);
    if (!name || bytValue.empty() || !length || *length < 0 ||
        static_cast<std::size_t>(*length) > bytValue.size())
        return false;
    const UniqueHkey key = CreateKey(regKey_, subKey_);
    if (!key)
        return false;
    return RegSetValueExA(key.get(), name->c_str(), 0, REG_BINARY, bytValue.data(),
                          static_cast<DWORD>(*length)) == ERROR_SUCCESS;
}
