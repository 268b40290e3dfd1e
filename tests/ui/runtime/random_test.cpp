#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>

#include "ui/runtime/random.h"

namespace {

constexpr float kStep = 1.0f / 16777216.0f; // 2^-24

TEST(RandomNumbers, DrawsAreSpreadOverZeroToOneInStepsOfTwoToTheMinus24) {
    Randomize();
    double sum = 0;
    constexpr int kDraws = 200000;
    for (int i = 0; i < kDraws; ++i) {
        const float r = Rnd();
        ASSERT_TRUE(r >= 0.0f && r < 1.0f) << r;
        ASSERT_EQ(r / kStep, std::floor(r / kStep));
        sum += r;
    }
    EXPECT_NEAR(sum / kDraws, 0.5, 0.01);
}

TEST(RandomNumbers, EvenAllBitsSetStaysBelowOne) {
    EXPECT_EQ(UnitFromBits(0), 0.0f);
    EXPECT_EQ(UnitFromBits(0x80000000u), 0.5f);
    EXPECT_EQ(UnitFromBits(0xFFFFFFFFu), 1.0f - kStep);
}

TEST(RandomNumbers, SeedingFromTheTimerStartsANewSequence) {
    Randomize();
    const float a[] = {Rnd(), Rnd(), Rnd()};
    Sleep(15);
    Randomize();
    const float b[] = {Rnd(), Rnd(), Rnd()};
    EXPECT_FALSE(a[0] == b[0] && a[1] == b[1] && a[2] == b[2]);
}

} // namespace
