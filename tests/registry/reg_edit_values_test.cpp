#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "registry/clsRegEdit.h"
#include "tests/registry/reg_test_helpers.h"
#include "tests/support/scratch_hkcu.h"

namespace {

constexpr wchar_t kKey[] = L"Software\\QUELM\\Values";
constexpr std::int32_t kDefault = 0x0BADF00D;

class RegEditValueTest : public ScratchHkcuTest {
  protected:
    const clsRegEdit editor_ = EditorAt(kKey);
};

struct StoredData {
    const char* what;
    DWORD type;
    std::string data;
    std::int32_t expected;
};

class GetDWORDTest : public RegEditValueTest {};

TEST_F(GetDWORDTest, ReadsAnyDataUpToFourBytesWhateverItsType) {
    const StoredData cases[] = {
        {"REG_DWORD", REG_DWORD, DwordBytes(7), 7},
        {"REG_SZ \"1\" reads as its bytes 31 00", REG_SZ, Utf16Bytes(L"1"), 49},
        {"no data", REG_BINARY, "", 0},
        {"two bytes", REG_BINARY, Bytes({0x34, 0x12}), 0x1234},
        {"four bytes", REG_BINARY, Bytes({0x78, 0x56, 0x34, 0x12}), 0x12345678},
        {"eight bytes", REG_QWORD, Bytes({1, 0, 0, 0, 0, 0, 0, 0}), kDefault},
        {"0x80000000", REG_DWORD, DwordBytes(0x80000000), std::numeric_limits<std::int32_t>::min()},
        {"0xFFFFFFFF", REG_DWORD, DwordBytes(0xFFFFFFFF), -1},
    };
    for (const StoredData& c : cases) {
        SCOPED_TRACE(c.what);
        PutRaw(kKey, L"v", c.type, c.data);
        EXPECT_EQ(editor_.GetDWORD(L"v", kDefault), c.expected);
    }
    EXPECT_EQ(editor_.GetDWORD(L"missing", kDefault), kDefault);
}

class SetDWORDTest : public RegEditValueTest {};

TEST_F(SetDWORDTest, StoresFourLittleEndianBytesAsRegDword) {
    const std::pair<std::int32_t, std::string> cases[] = {
        {0x12345678, Bytes({0x78, 0x56, 0x34, 0x12})},
        {-1, Bytes({0xff, 0xff, 0xff, 0xff})},
        {std::numeric_limits<std::int32_t>::min(), Bytes({0, 0, 0, 0x80})},
        {0, Bytes({0, 0, 0, 0})},
    };
    for (const auto& [value, bytes] : cases) {
        SCOPED_TRACE(value);
        ASSERT_TRUE(editor_.SetDWORD(L"v", value));
        DWORD type = 0xdeadbeef;
        std::string data;
        ASSERT_TRUE(QueryRaw(kKey, L"v", type, data));
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(data, bytes);
        EXPECT_EQ(editor_.GetDWORD(L"v", kDefault), value);
    }
}

class RegEditStringTest : public RegEditValueTest {};

// 有効にする is 97 4C 8C F8 82 C9 82 B7 82 E9 in code page 932; 設定値 is 90 DD 92 E8 92 6C.
TEST_F(RegEditStringTest, JapaneseNameAndTextRoundTripThroughCodePage932) {
    ASSERT_TRUE(editor_.SetString(L"設定値", L"有効にする"));
    std::string ansi;
    ASSERT_TRUE(QueryAnsi(kKey, Bytes({0x90, 0xdd, 0x92, 0xe8, 0x92, 0x6c}), ansi));
    EXPECT_EQ(ansi, Bytes({0x97, 0x4c, 0x8c, 0xf8, 0x82, 0xc9, 0x82, 0xb7, 0x82, 0xe9, 0}));
    DWORD type = 0xdeadbeef;
    std::string wide;
    ASSERT_TRUE(QueryRaw(kKey, L"設定値", type, wide));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(wide, Utf16Bytes(L"有効にする"));
    EXPECT_EQ(editor_.GetString(L"設定値", L"既定"), L"有効にする");

    PutRaw(kKey, L"表示", REG_SZ, Utf16Bytes(L"注意を表示する")); // and from UTF-16
    EXPECT_EQ(editor_.GetString(L"表示"), L"注意を表示する");
}

TEST_F(RegEditStringTest, EmptyTextIsStoredWithoutDataAndReadsEmpty) {
    ASSERT_TRUE(editor_.SetString(L"s", L""));
    DWORD type = 0xdeadbeef;
    std::string data = "sentinel";
    ASSERT_TRUE(QueryRaw(kKey, L"s", type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, "");
    EXPECT_EQ(editor_.GetString(L"s", L"既定"), L"");
    PutRaw(kKey, L"t", REG_SZ, Utf16Bytes(L""));
    EXPECT_EQ(editor_.GetString(L"t", L"既定"), L"");
}

TEST_F(RegEditStringTest, ReadsUpTo4096BytesWithOrWithoutNul) {
    const std::string a = Bytes({0x82, 0xa0}); // あ
    std::string full;
    for (int i = 0; i < 2048; ++i)
        full += a;
    const std::wstring fullText(2048, L'あ');
    const struct {
        const char* what;
        std::string data;
        std::wstring expected;
    } cases[] = {
        {"4,096 bytes, no NUL", full, fullText},
        {"4,097 bytes", full + 'x', L"既定"},
        {"4,096 bytes ending in NUL", full.substr(0, 4094) + "z" + '\0',
         fullText.substr(0, 2047) + L"z"},
        {"text cut at its first NUL", Bytes({'a', 'b', 0, 'c'}), L"ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PutRaw(kKey, L"s", REG_BINARY, c.data);
        EXPECT_EQ(editor_.GetString(L"s", L"既定"), c.expected);
    }
    EXPECT_EQ(editor_.GetString(L"missing", L"既定"), L"既定");
}

// RegSetValueExA keeps the NUL that follows REG_SZ text even when the count leaves it out (Wine
// and NT alike), so 4,096 bytes of text take 4,097 and no longer read back.
TEST_F(RegEditStringTest, WrittenTextReadsBackUpTo4095Bytes) {
    const std::wstring fits = std::wstring(2047, L'あ') + L"z";
    const std::wstring tooLong(2048, L'あ');
    std::string ansi;
    ASSERT_TRUE(editor_.SetString(L"s", fits));
    ASSERT_TRUE(QueryAnsi(kKey, "s", ansi));
    EXPECT_EQ(ansi.size(), 4096u);
    EXPECT_EQ(editor_.GetString(L"s", L"既定"), fits);
    ASSERT_TRUE(editor_.SetString(L"s", tooLong));
    ASSERT_TRUE(QueryAnsi(kKey, "s", ansi));
    EXPECT_EQ(ansi.size(), 4097u);
    EXPECT_EQ(editor_.GetString(L"s", L"既定"), L"既定");
}

class RegEditBinaryTest : public RegEditValueTest {
  protected:
    std::vector<std::uint8_t> bytes_ = std::vector<std::uint8_t>(10, 0xbd);
};

std::string Pattern(std::size_t size) {
    std::string out;
    for (std::size_t i = 0; i < size; ++i)
        out += static_cast<char>(i * 7 + 1);
    return out;
}

TEST_F(RegEditBinaryTest, Reads4096BytesExactly) {
    PutRaw(kKey, L"b", REG_BINARY, Pattern(4096));
    ASSERT_EQ(editor_.GetBinary(L"b", bytes_), 4096);
    EXPECT_EQ(std::string(bytes_.begin(), bytes_.end()), Pattern(4096));
}

TEST_F(RegEditBinaryTest, LeavesAnEmptyArrayWhenNothingIsRead) {
    const std::pair<const char*, std::string> cases[] = {{"4,097 bytes", Pattern(4097)},
                                                         {"no data", ""}};
    for (const auto& [what, data] : cases) {
        SCOPED_TRACE(what);
        PutRaw(kKey, L"b", REG_BINARY, data);
        bytes_.assign(10, 0xbd);
        EXPECT_EQ(editor_.GetBinary(L"b", bytes_), 0);
        EXPECT_TRUE(bytes_.empty());
    }
    bytes_.assign(10, 0xbd);
    EXPECT_EQ(editor_.GetBinary(L"missing", bytes_), 0);
    EXPECT_TRUE(bytes_.empty());
}

TEST_F(RegEditBinaryTest, WritesTheGivenNumberOfBytes) {
    const std::vector<std::uint8_t> data = {1, 2, 3, 4, 5};
    const std::pair<std::variant<std::int64_t, std::wstring>, std::string> cases[] = {
        {std::int64_t{3}, Bytes({1, 2, 3})},
        {std::int64_t{0}, ""},
        {L" 4 ", Bytes({1, 2, 3, 4})},
    };
    for (const auto& [length, expected] : cases) {
        SCOPED_TRACE(expected.size());
        ASSERT_TRUE(editor_.SetBinary(L"b", data, length));
        DWORD type = 0xdeadbeef;
        std::string stored;
        ASSERT_TRUE(QueryRaw(kKey, L"b", type, stored));
        EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
        EXPECT_EQ(stored, expected);
    }
}

class SetBinaryTest : public RegEditValueTest {};

TEST_F(SetBinaryTest, RejectsBadArgumentsBeforeTouchingTheRegistry) {
    const std::vector<std::uint8_t> five = {1, 2, 3, 4, 5};
    const struct {
        const char* what;
        std::vector<std::uint8_t> data;
        std::variant<std::int64_t, std::wstring> length;
    } cases[] = {
        {"empty array", {}, std::int64_t{0}},
        {"negative count", five, std::int64_t{-1}},
        {"count past the end", five, std::int64_t{6}},
        {"count over 32 bits", five, std::int64_t{0x100000003}},
        {"no number", five, L"three"},
        {"trailing garbage", five, L"3x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(editor_.SetBinary(L"b", c.data, c.length));
        EXPECT_FALSE(KeyExists(kKey));
    }
}

} // namespace
