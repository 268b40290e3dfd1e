#include "tests/ui/tip_of_day/tip_window_fixture.h"

namespace {

using TipChoice = TipWindowTest;

// Thousands of presses go through BM_CLICK, the button's own click, rather than the input
// queue.
void PressNext(const frmTip& tip) {
    SendMessageW(tip.Control(frmTip::cmdNextTip), BM_CLICK, 0, 0);
}

TEST_F(TipChoice, EveryDrawIsOneOfTheTipsAndEachComesUpAboutEquallyOften) {
    constexpr int kTips = 7;
    constexpr int kDraws = 3500; // about 500 draws each
    std::string file;
    for (int i = 1; i <= kTips; ++i)
        file += "Tip " + std::to_string(i) + "\r\n";
    WriteTipsFile(file);
    ShowTip();
    std::vector<int> seen(kTips + 1);
    for (int draw = 0; draw < kDraws; ++draw, PressNext(tip_)) {
        ASSERT_GE(tip_.TipIndex, 1);
        ASSERT_LE(tip_.TipIndex, kTips);
        ASSERT_EQ(TipText(), L"Tip " + std::to_wstring(tip_.TipIndex));
        ++seen[tip_.TipIndex];
    }
    for (int i = 1; i <= kTips; ++i)
        EXPECT_TRUE(seen[i] > 380 && seen[i] < 620) << "tip " << i << ": " << seen[i];
}

TEST_F(TipChoice, AOneLineFileAlwaysShowsThatLine) {
    WriteTipsFile("The only tip\r\n");
    ShowTip();
    for (int i = 0; i < 3; ++i) {
        SetWindowTextW(tip_.Control(frmTip::lblTipText), L"");
        Press(frmTip::cmdNextTip);
        EXPECT_EQ(TipText(), L"The only tip");
    }
}

TEST_F(TipChoice, EachLoadSeedsAfreshFromTheClock) {
    std::string file;
    for (int i = 1; i <= 1000; ++i)
        file += std::to_string(i) + "\r\n";
    WriteTipsFile(file);
    std::vector<std::int32_t> first;
    for (int load = 0; load < 4; ++load, Sleep(20)) {
        frmTip tip;
        tip.Show();
        first.push_back(tip.TipIndex);
    }
    EXPECT_NE(std::count(first.begin(), first.end(), first[0]), 4);
}

} // namespace
