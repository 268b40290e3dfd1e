#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/unique_handle.h"
#include "ui/runtime/text_file.h"

namespace {

using Lines = std::vector<std::wstring>;

// One file of the test's own in the temporary folder.
class TextFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        path_ = temp + std::wstring(L"quelm-lines-") + std::to_wstring(GetCurrentProcessId());
    }
    void TearDown() override { DeleteFileW(path_.c_str()); }
    std::wstring Write(const std::string& bytes) {
        const std::wstring& path = path_;
        const UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        return path;
    }
    Lines ReadLines(const std::string& bytes) {
        TextFile file;
        EXPECT_TRUE(file.Open(Write(bytes)));
        Lines lines;
        while (!file.Eof())
            lines.emplace_back(file.LineInput());
        EXPECT_FALSE(file.Failed());
        return lines;
    }

    std::wstring path_;
};

using TextFileLines = TextFileTest;
using TextFileOpen = TextFileTest;

TEST_F(TextFileLines, CrOrCrLfEndsALineAndALoneLfStaysInIt) {
    const struct {
        std::string bytes;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a\r\n", {L"a"}},
        {"\r\r\n\r", {L"", L"", L""}},
        {"a\nb\r\nc", {L"a\nb", L"c"}},
        {"a\r\n\n", {L"a", L"\n"}},
        {" padded \t\r\n", {L" padded \t"}},
        // 表 ends in 0x5C, which is no backslash in code page 932.
        {"\x95\x5c\x8e\xa6\r\n\xdc\xdd\xce\xdf\xb2\xdd\xc4", {L"表示", L"ﾜﾝﾎﾟｲﾝﾄ"}},
    };
    ASSERT_EQ(GetACP(), 932u);
    for (const auto& c : cases)
        EXPECT_EQ(ReadLines(c.bytes), c.lines) << testing::PrintToString(c.bytes);
}

TEST_F(TextFileLines, NulBytesAndInvalidSequencesStayWithinTheirLine) {
    // A lead byte before CR would take the CR as its trail byte if the text were converted
    // whole; here it stays the end of its line.
    const Lines lines = ReadLines(std::string("a\0b\r\n", 5) +
                                  "x\x82\r\n\xff\xfe\xa0\r\ny\x81\rz\x82\nw\r\nlast\x82");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], std::wstring(L"a\0b", 3));
    EXPECT_EQ(lines[1].substr(0, 1), L"x");
    EXPECT_EQ(lines[3].substr(0, 1), L"y");
    EXPECT_EQ(lines[4].front(), L'z');
    EXPECT_EQ(lines[4].back(), L'w');
    EXPECT_EQ(lines[5].substr(0, 4), L"last");
}

TEST_F(TextFileLines, LinesComeWholeAcrossReads) {
    std::string bytes(TextFile::kChunkBytes - 1, 'a'); // its CR LF straddles the first read
    Lines expected{std::wstring(bytes.size(), L'a')};
    bytes += "\r\n";
    std::string doubleByte = "b"; // longer than two reads, so reads end inside characters
    expected.emplace_back(L"b");
    while (doubleByte.size() < 5 * TextFile::kChunkBytes / 2) {
        doubleByte += "\x82\xa0";
        expected.back() += L'あ';
    }
    bytes += doubleByte + "\r";
    for (int i = 0; i < 100000; ++i) {
        bytes += std::to_string(i) + (i % 3 ? "\r\n" : "\r");
        expected.push_back(std::to_wstring(i));
    }
    EXPECT_EQ(ReadLines(bytes), expected);
}

TEST_F(TextFileOpen, WhatCannotBeOpenedIsAFailureNotAnError) {
    TextFile file;
    EXPECT_FALSE(file.Open(path_ + L".missing"));
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    EXPECT_FALSE(file.Open(folder));
    const std::wstring path = Write("one\r\ntwo");
    {
        const UniqueFile locked(
            CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(locked);
        EXPECT_FALSE(file.Open(path));
        EXPECT_TRUE(file.Eof());
        EXPECT_EQ(file.LineInput(), L"");
    }
    ASSERT_TRUE(file.Open(path));
    EXPECT_EQ(file.Size(), 8u);
    EXPECT_EQ(file.LineInput(), L"one");
    file.Close();
    EXPECT_TRUE(file.Eof());
}

} // namespace
