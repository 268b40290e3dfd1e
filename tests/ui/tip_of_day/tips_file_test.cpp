#include <functional>

#include "base/text.h"
#include "tests/ui/tip_of_day/tip_window_fixture.h"

namespace {

using TipsFile = TipWindowTest;
using Lines = std::vector<std::wstring>;

TEST_F(TipsFile, EveryLineIsOneTipWhateverEndsIt) {
    const struct {
        std::string bytes;
        Lines tips;
    } shapes[] = {
        {"First\r\n\r\nThird\r\n", {L"First", L"", L"Third"}},
        {"First\r\nLast", {L"First", L"Last"}},
        {"a\rb\rc\r", {L"a", L"b", L"c"}},
        {"a\nb\r\nc\r\n\n", {L"a\nb", L"c", L"\n"}},
        {"\x95\x5c\x8e\xa6\r\n\xdc\xdd\xce\xdf\xb2\xdd\xc4", {L"表示", L"ﾜﾝﾎﾟｲﾝﾄ"}},
    };
    for (const auto& shape : shapes) {
        SCOPED_TRACE(testing::PrintToString(shape.bytes));
        frmTip tip;
        WriteTipsFile(shape.bytes);
        tip.Show();
        EXPECT_EQ(Tips(tip), shape.tips);
        ASSERT_GE(tip.TipIndex, 1);
        EXPECT_EQ(tip.Text(frmTip::lblTipText), shape.tips.at(tip.TipIndex - 1));
    }
}

TEST_F(TipsFile, AnEmptyLineShowsAnEmptyTipAndShiftJisShowsAsJapanese) {
    WriteTipsFile("\x95\x5c\x8e\xa6\x82\xb7\x82\xe9 \xdc\xdd\xce\xdf\xb2\xdd\xc4\r\n\r\n");
    ShowTip();
    tip_.TipIndex = 1;
    tip_.DisplayCurrentTip();
    EXPECT_EQ(TipText(), L"表示する ﾜﾝﾎﾟｲﾝﾄ");
    tip_.TipIndex = 2;
    tip_.DisplayCurrentTip();
    EXPECT_EQ(TipText(), L"");
}

TEST_F(TipsFile, AnEmptyFileLeavesTheLabelEmptyAndNextChangesNothing) {
    WriteTipsFile("");
    ShowTip();
    EXPECT_EQ(tip_.TipList.Count(), 0u);
    Press(frmTip::cmdNextTip);
    EXPECT_EQ(TipText(), L"");
    EXPECT_EQ(tip_.TipIndex, 1);
}

TEST_F(TipsFile, WithoutAReadableFileTheLabelExplainsWhatToDo) {
    UniqueFile locked;
    const struct {
        const char* what;
        std::function<void()> arrange;
    } cases[] = {
        {"missing", [] {}},
        {"hidden",
         [] { ASSERT_TRUE(SetFileAttributesW(TipsFilePath().c_str(), FILE_ATTRIBUTE_HIDDEN)); }},
        {"system",
         [] { ASSERT_TRUE(SetFileAttributesW(TipsFilePath().c_str(), FILE_ATTRIBUTE_SYSTEM)); }},
        {"locked",
         [&] {
             locked.reset(CreateFileW(TipsFilePath().c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
             ASSERT_TRUE(locked);
         }},
        {"a folder",
         [] {
             DeleteFileW(TipsFilePath().c_str());
             CreateDirectoryW(TipsFilePath().c_str(), nullptr);
         }},
    };
    const std::wstring message =
        L"ﾌｧｲﾙ "
        L"TIPOFDAY.TXT"
        L" が見つかりませんでした。 "
        L"\r\n\r\n"
        L"「メモ帳」を使用して、1 行に 1 つのﾜﾝﾎﾟｲﾝﾄという形式でﾃｷｽﾄ ﾌｧｲﾙを作成し、"
        L"TIPOFDAY.TXT"
        L" という名前で保存してください。 "
        L"その後、そのﾌｧｲﾙをｱﾌﾟﾘｹｰｼｮﾝと同じﾌｫﾙﾀﾞに保存してください。";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveTipsFile();
        if (std::string_view(c.what) != "missing")
            WriteTipsFile("A tip\r\n");
        c.arrange();
        frmTip tip;
        tip.Show();
        ASSERT_TRUE(tip.Loaded());
        EXPECT_EQ(tip.Text(frmTip::lblTipText), message);
        EXPECT_EQ(ToAnsi(tip.Text(frmTip::lblTipText)).substr(0, 5), "\xcc\xa7\xb2\xd9 ");
        EXPECT_EQ(tip.TipList.Count(), 0u);
        SendMessageW(tip.Control(frmTip::cmdNextTip), BM_CLICK, 0, 0);
        EXPECT_EQ(tip.Text(frmTip::lblTipText), message);
        locked.reset();
    }
}

TEST_F(TipsFile, NulBytesAndInvalidShiftJisStillGiveOneTipPerLine) {
    // A NUL, lone lead bytes before CR LF, CR and the end, unassigned bytes.
    WriteTipsFile(std::string("a\0b\r\n", 5) + "x\x82\r\n\xff\xfe\xa0\r\ny\x81\rlast\x82");
    ShowTip();
    const Lines tips = Tips(tip_);
    ASSERT_EQ(tips.size(), 5u);
    EXPECT_EQ(tips[0], std::wstring(L"a\0b", 3));
    EXPECT_EQ(tips[1][0], L'x');
    EXPECT_EQ(tips[3][0], L'y');
    EXPECT_EQ(tips[4].substr(0, 4), L"last");
    for (tip_.TipIndex = 1; tip_.TipIndex <= 5; ++tip_.TipIndex)
        tip_.DisplayCurrentTip();
    EXPECT_EQ(TipText().substr(0, 4), L"last");
}

TEST_F(TipsFile, EachLoadAddsTheLinesAgainAndNeedsAPath) {
    WriteTipsFile("one\r\ntwo\r\n");
    ShowTip();
    EXPECT_FALSE(tip_.LoadTips(L""));
    EXPECT_TRUE(tip_.LoadTips(TipsFilePath()));
    EXPECT_EQ(Tips(tip_), (Lines{L"one", L"two", L"one", L"two"}));
}

} // namespace
