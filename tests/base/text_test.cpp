#include <windows.h>

#include <gtest/gtest.h>

#include "base/text.h"

namespace {

using namespace std::string_literals;

// Text with an exact form in code page 932 (the tests run with it) converts both ways; text it
// holds only approximately (best fit would give e for é, a backslash for ¥, ・ for a middle dot,
// ? for a lone surrogate) or that holds a NUL has no ANSI form.
TEST(AnsiText, OnlyTextWithAnExactAnsiFormConverts) {
    ASSERT_EQ(GetACP(), 932u);
    const std::pair<std::wstring, std::string> exact[] = {
        {L"ﾜﾝﾎﾟｲﾝﾄ 表示", "\xdc\xdd\xce\xdf\xb2\xdd\xc4 \x95\x5c\x8e\xa6"},
        {L"?~\\", "?~\\"},
        {L"", ""}};
    for (const auto& [text, ansi] : exact) {
        SCOPED_TRACE(testing::PrintToString(text));
        EXPECT_EQ(ToAnsi(text), ansi);
        EXPECT_EQ(FromAnsi(ansi), text);
    }
    for (const std::wstring& text : {L"café"s, L"a¥b"s, L"\u00b7"s, L"\xd800"s, L"a\0b"s})
        EXPECT_EQ(ToAnsi(text), std::nullopt) << testing::PrintToString(text);
}

// Text from a fixed buffer ends at its first NUL; invalid bytes lose nothing that follows them.
TEST(AnsiText, BufferTextEndsAtItsNulAndInvalidBytesLoseNothingElse) {
    EXPECT_EQ(FromAnsiBuffer("ab\0cd"s), L"ab");
    EXPECT_EQ(FromAnsiBuffer("abc"), L"abc");
    const std::wstring text = FromAnsi("a\xff" // an unassigned byte; a lead byte at the end
                                       "b\x81");
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(text.substr(0, 1), L"a");
    EXPECT_NE(text.find(L'b'), std::wstring::npos);
}

} // namespace
