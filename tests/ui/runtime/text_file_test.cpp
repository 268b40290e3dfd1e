#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/unique_handle.h"
#include "ui/runtime/text_file.h"

namespace {

using namespace std::string_literals;
using Lines = std::vector<std::wstring>;

// A file of the test program's own in the temporary folder, holding bytes.
std::wstring WriteTemp(const std::string& bytes) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = temp + L"quelm-lines-"s + std::to_wstring(GetCurrentProcessId());
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return path;
}

Lines ReadLines(const std::string& bytes) {
    TextFile file;
    EXPECT_TRUE(file.Open(WriteTemp(bytes)));
    Lines lines;
    while (!file.Eof())
        file.LineInput(lines.emplace_back());
    EXPECT_FALSE(file.Failed());
    return lines;
}

// CR or CR LF ends a line, a lone LF stays in it, the last line needs no terminator. 表 ends in
// 5C, which is no backslash in code page 932.
TEST(TextFile, CrOrCrLfEndsALineAndALoneLfStaysInIt) {
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
        {"\x95\x5c\x8e\xa6\r\n\xdc\xdd\xce\xdf\xb2\xdd\xc4", {L"表示", L"ﾜﾝﾎﾟｲﾝﾄ"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadLines(c.bytes), c.lines) << testing::PrintToString(c.bytes);
}

// A lead byte before a CR would take the CR as its trail byte if the text were converted whole:
// here it stays the end of its line, and a NUL stays in its line.
TEST(TextFile, NulBytesAndInvalidBytesStayWithinTheirLine) {
    const Lines lines = ReadLines("a\0b\r\nx\x82\r\n\xff\xfe\xa0\r\ny\x81\rz\x82\nw\r\nlast\x82"s);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], L"a\0b"s);
    EXPECT_EQ(lines[1].substr(0, 1) + lines[3].substr(0, 1) + lines[4].substr(0, 1), L"xyz");
    EXPECT_EQ(lines[4].back(), L'w');
    EXPECT_EQ(lines[5].substr(0, 4), L"last");
}

// The file is read a piece at a time: a CR LF split between two reads, a line of double-byte
// characters longer than two reads, each of which ends inside a character, and many lines.
TEST(TextFile, LinesComeWholeAcrossReads) {
    std::string bytes(TextFile::kChunkBytes - 1, 'a');
    Lines expected = {std::wstring(bytes.size(), L'a'), L"bb"};
    bytes += "\r\nbb";
    for (std::size_t i = 0; i < TextFile::kChunkBytes; ++i) {
        bytes += "\x82\xa0";
        expected.back() += L'あ';
    }
    bytes += "\r";
    for (int i = 0; i < 30000; ++i) {
        bytes += std::to_string(i) + (i % 3 ? "\r\n" : "\r");
        expected.push_back(std::to_wstring(i));
    }
    EXPECT_EQ(ReadLines(bytes), expected);
}

TEST(TextFile, WhatCannotBeOpenedIsAFailureNotAnError) {
    const std::wstring path = WriteTemp("one\r\ntwo");
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const UniqueFile locked(
        CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    std::wstring line;
    for (const std::wstring& what : {path + L".missing", std::wstring(folder), path}) {
        TextFile file;
        EXPECT_FALSE(file.Open(what)) << testing::PrintToString(what);
        EXPECT_TRUE(file.Eof());
        file.LineInput(line);
    }
    EXPECT_EQ(line, L"");
}

} // namespace
