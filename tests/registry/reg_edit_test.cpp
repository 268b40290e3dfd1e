#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "base/text.h"
#include "registry/clsRegEdit.h"
#include "tests/support/scratch_registry.h"

namespace {

using namespace std::string_literals;
using Bytes = std::vector<std::uint8_t>;
using Names = std::vector<std::wstring>;
constexpr std::int32_t kHkcu = static_cast<std::int32_t>(0x80000001);
constexpr std::int32_t kDefault = 0x0BADF00D;
const std::wstring kKey = L"Software\\QUELM\\Key";

clsRegEdit EditorAt(std::wstring path) {
    clsRegEdit editor;
    editor.RegKey(kHkcu);
    editor.SubKey(std::move(path));
    return editor;
}

// The value that this process's next handle takes: a key left open would hold the one before.
HANDLE NextHandle() {
    const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CloseHandle(event);
    return event;
}

using RegEdit = ScratchRegistryTest;

// Data of any type as each read takes it: a number from up to 4 bytes, text up to its first
// NUL from up to 4,096 bytes, up to 4,096 bytes (more erase the array); no key stays open.
TEST_F(RegEdit, ReadsAnyDataWithinTheirLimits) {
    const std::wstring kanaText(2048, L'あ');
    const std::string kana = ToAnsi(kanaText).value(); // 4,096 bytes
    const std::tuple<const char*, DWORD, std::string, std::int32_t, std::wstring> cases[] = {
        {"REG_DWORD", REG_DWORD, DwordBytes(0x12345678), 0x12345678, L"xV4\x12"},
        {"REG_SZ \"1\": the bytes 31 00", REG_SZ, Utf16Bytes(L"1"), 49, L"1"},
        {"no data", REG_BINARY, "", 0, L""},
        {"eight bytes", REG_QWORD, "\1\0\0\0\0\0\0\0"s, kDefault, L"\1"},
        {"4,096 bytes, no NUL", REG_BINARY, kana, kDefault, kanaText},
        {"4,097 bytes", REG_BINARY, kana + 'x', kDefault, L"既定"},
        {"4,096 bytes ending in NUL", REG_BINARY, kana.substr(2) + "z\0"s, kDefault,
         kanaText.substr(1) + L"z"},
    };
    const clsRegEdit editor = EditorAt(kKey);
    for (const auto& [what, type, data, dword, text] : cases) {
        SCOPED_TRACE(what);
        PutRaw(kKey, L"v", type, data);
        const HANDLE next = NextHandle();
        EXPECT_EQ(editor.GetDWORD(L"v", kDefault), dword);
        EXPECT_EQ(editor.GetString(L"v", L"既定"), text);
        const std::string binary = type == REG_SZ ? "1\0"s : data.size() > 4096 ? ""s : data;
        Bytes bytes(3, 0xbd);
        EXPECT_EQ(editor.GetBinary(L"v", bytes), static_cast<std::int32_t>(binary.size()));
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), binary);
        EXPECT_EQ(NextHandle(), next) << "a key was left open";
    }
}

// What the writes store, in a key path they create (表 is 95 5C: its second byte a backslash,
// yet it names one key). A SetBinary whose count does not fit creates nothing.
TEST_F(RegEdit, WritesStoreTheirTypeAndBytes) {
    EXPECT_EQ(RegKeyHandle(kHkcu), HKEY_CURRENT_USER); // negative: sign-extended in 64 bits
    const Bytes five = {1, 2, 3, 4, 5};
    const clsRegEdit editor = EditorAt(L"Software\\表示\\A");
    EXPECT_TRUE(editor.SetDWORD(L"d", 0x12345678));
    EXPECT_TRUE(editor.SetString(L"s", L""));
    EXPECT_TRUE(editor.SetBinary(L"b0", five, 0));
    EXPECT_TRUE(editor.SetBinary(L"b3", five, 3));
    EXPECT_TRUE(editor.SetBinary(L"b5", five, L" 5 "));
    EXPECT_TRUE(editor.SetString(L"設定", L"有効"));
    EXPECT_EQ(DumpTree(L"Software"), L"[Software]\n[Software\\表示]\n[Software\\表示\\A]\nb0=3:\n"
                                     L"b3=3:010203\nb5=3:0102030405\nd=4:78563412\ns=1:\n"
                                     L"設定=1:0967b9520000\n");
    const std::variant<std::int64_t, std::wstring> refused[] = {-1, 6, 0x100000003, L"3x"};
    for (std::size_t i = 0; i < std::size(refused); ++i)
        EXPECT_FALSE(EditorAt(kKey).SetBinary(L"b", five, refused[i])) << "count " << i;
    EXPECT_FALSE(EditorAt(kKey).SetBinary(L"b", {}, 0));
    EXPECT_FALSE(KeyExists(kKey));
    // RegSetValueExA keeps the NUL that the count leaves out: 4,096 bytes of text take 4,097.
    const std::wstring fits = std::wstring(2047, L'あ') + L"z";
    EXPECT_TRUE(editor.SetString(L"s", fits));
    EXPECT_EQ(editor.GetString(L"s"), fits);
    EXPECT_TRUE(editor.SetString(L"s", fits + L"z"));
    EXPECT_EQ(editor.GetString(L"s", L"既定"), L"既定");
    const std::wstring tooLong(16384, L'v'); // value names stop at 16,383 characters
    EXPECT_FALSE(editor.SetDWORD(tooLong, 1));
    EXPECT_FALSE(editor.SetString(tooLong, L"x"));
    EXPECT_FALSE(editor.SetBinary(tooLong, five, 1));
}

// A missing key, one never named or that cannot be created, and text that the code page holds
// only approximately (é as e, ¥ as \, a lone surrogate as ?, cut at a NUL): every member fails.
TEST_F(RegEdit, WhatCannotBeReachedIsNeitherReadNorChanged) {
    for (const std::wstring& lookAlike :
         {L"Software\\cafe\\v"s, L"Software\\a\\b\\v"s, L"Software\\a\\v"s, kKey + L"\\cafe",
          kKey + L"\\a", kKey + L"\\?"}) {
        PutRaw(lookAlike.substr(0, lookAlike.rfind(L'\\')),
               lookAlike.substr(lookAlike.rfind(L'\\') + 1), REG_DWORD, DwordBytes(1));
        PutRaw(lookAlike, L"v", REG_DWORD, DwordBytes(1));
    }
    CreateKey(L"Volatile", REG_OPTION_VOLATILE);
    enum Reach { kKeyMissing, kNoKey, kNoName };
    const std::tuple<const char*, clsRegEdit, std::wstring, Reach> cases[] = {
        {"missing", EditorAt(kKey + L"\\missing"), L"v", kKeyMissing},
        {"never set", clsRegEdit(), L"v", kNoKey},
        {"under a volatile key", EditorAt(L"Volatile\\Child"), L"v", kNoKey},
        {"key é", EditorAt(L"Software\\café"), L"v", kNoKey},
        {"key ¥", EditorAt(L"Software\\a¥b"), L"v", kNoKey},
        {"key NUL", EditorAt(L"Software\\a\0b"s), L"v", kNoKey},
        {"name é", EditorAt(kKey), L"café", kNoName},
        {"name NUL", EditorAt(kKey), L"a\0b"s, kNoName},
        {"name lone surrogate", EditorAt(kKey), L"\xd800", kNoName},
    };
    for (const auto& [what, editor, name, reach] : cases) {
        SCOPED_TRACE(what);
        const std::wstring before = DumpTree(L"");
        Names names = {L"sentinel"};
        Bytes bytes = {0xbd};
        EXPECT_EQ(editor.GetDWORD(name, kDefault), kDefault);
        EXPECT_EQ(editor.GetString(name, L"既定"), L"既定");
        EXPECT_EQ(editor.GetBinary(name, bytes), 0);
        EXPECT_EQ(bytes.size(), 1u);
        EXPECT_FALSE(editor.DeleteValueName(name));
        EXPECT_FALSE(editor.DeleteSubKey(name));
        if (reach != kKeyMissing) {
            EXPECT_FALSE(editor.SetDWORD(name, 1));
            EXPECT_FALSE(editor.SetString(name, L"x"));
            EXPECT_FALSE(editor.SetBinary(name, {1}, 1));
            EXPECT_FALSE(editor.SetString(L"t", name));
        }
        EXPECT_EQ(reach == kNoName ? 0 : editor.EnumValueName(names) + editor.EnumSubKey(names), 0);
        EXPECT_EQ(names.size(), 1u);
        EXPECT_EQ(DumpTree(L""), before);
    }
}

// Names around the 80-byte buffer (40 characters of 設 take 80 bytes; 79 bytes and the NUL fill
// it) and the longest value name: all are listed, and the array holds exactly them.
TEST_F(RegEdit, EnumerationListsEveryNameAndCutsTheArray) {
    for (const bool values : {true, false}) {
        SCOPED_TRACE(values ? "values" : "subkeys");
        const std::wstring key = kKey + (values ? L"\\values" : L"\\subkeys");
        CreateKey(key);
        Names names(8, L"sentinel");
        const auto enumerate = [&] {
            return values ? EditorAt(key).EnumValueName(names) : EditorAt(key).EnumSubKey(names);
        };
        EXPECT_EQ(enumerate() + names.size(), 8u);
        Names expected = {L"a", std::wstring(200, L'm'), std::wstring(40, L'設'),
                          std::wstring(79, L'n'), L"設定"};
        if (values)
            expected.emplace_back(16383, L'設');
        const std::wstring subkeys = key + L"\\";
        for (const std::wstring& name : expected)
            PutRaw(values ? key : subkeys + name, values ? name : L"v", REG_DWORD, DwordBytes(1));
        ASSERT_EQ(enumerate(), static_cast<std::int32_t>(expected.size()));
        std::sort(names.begin(), names.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(names, expected);
    }
}

// RegDeleteKeyA would take an empty name as the open key itself.
TEST_F(RegEdit, DeletesRemoveOnlyANamedValueOrChildlessSubkey) {
    PutRaw(kKey, L"設定", REG_DWORD, DwordBytes(1));
    PutRaw(kKey + L"\\表示", L"v", REG_DWORD, DwordBytes(2));
    PutRaw(kKey + L"\\parent\\child", L"v", REG_DWORD, DwordBytes(3));
    const clsRegEdit editor = EditorAt(kKey);
    for (const bool again : {false, true}) {
        EXPECT_EQ(editor.DeleteValueName(L"設定"), !again) << "again " << again;
        EXPECT_EQ(editor.DeleteSubKey(L"表示"), !again) << "again " << again;
    }
    EXPECT_FALSE(editor.DeleteSubKey(L"parent"));
    for (const wchar_t* self : {L"", L".", L"..", L"\\", L"\\\\"})
        EXPECT_FALSE(EditorAt(kKey + L"\\parent\\child").DeleteSubKey(self))
            << "\"" << self << "\"";
    EXPECT_EQ(DumpTree(kKey), L"[" + kKey + L"]\n[" + kKey + L"\\parent]\n[" + kKey +
                                  L"\\parent\\child]\nv=4:03000000\n");
}

} // namespace
