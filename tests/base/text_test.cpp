#include <windows.h>

#include <gtest/gtest.h>

#include "base/text.h"

namespace {

TEST(AnsiText, TheTestsRunWithTheJapaneseCodePage) {
    ASSERT_EQ(GetACP(), 932u);
}

TEST(AnsiText, JapaneseRoundTripsThroughShiftJis) {
    const std::wstring text = L"ﾜﾝﾎﾟｲﾝﾄ 安全性-高 ＭＳ Ｐゴシック";
    const std::string sjis = ToAnsi(text);
    // Halfwidth katakana take one byte each, kanji and fullwidth letters two.
    EXPECT_EQ(sjis.substr(0, 2), "\xdc\xdd");
    EXPECT_EQ(FromAnsi(sjis), text);
}

TEST(AnsiText, EmptyAndNulHandling) {
    EXPECT_EQ(ToAnsi(L""), "");
    EXPECT_EQ(FromAnsi(""), L"");
    EXPECT_EQ(FromAnsiBuffer(std::string("ab\0cd", 5)), L"ab");
    EXPECT_EQ(FromAnsiBuffer("abc"), L"abc");
}

TEST(AnsiText, InvalidShiftJisDoesNotLoseTheRestOfTheText) {
    // A lead byte at the end and an unassigned lead byte in the middle.
    const std::wstring text = FromAnsi("a\xff"
                                       "b\x81");
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(text.front(), L'a');
    EXPECT_NE(text.find(L'b'), std::wstring::npos);
}

} // namespace
