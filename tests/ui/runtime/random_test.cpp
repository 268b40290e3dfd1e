#include <gtest/gtest.h>

#include <cmath>

#include "ui/runtime/random.h"

namespace {

// Draws are multiples of 2^-24 in [0, 1): even all 32 bits set give 1 - 2^-24.
TEST(RandomNumbers, DrawsAreStepsOfTwoToTheMinus24BelowOne) {
    constexpr float kStep = 1.0f / 16777216.0f;
    EXPECT_EQ(UnitFromBits(0), 0.0f);
    EXPECT_EQ(UnitFromBits(0x80000000u), 0.5f);
    EXPECT_EQ(UnitFromBits(0xFFFFFFFFu), 1.0f - kStep);
    Randomize();
    for (int i = 0; i < 10000; ++i) {
        const float r = Rnd();
        ASSERT_TRUE(r >= 0.0f && r < 1.0f && r / kStep == std::floor(r / kStep)) << r;
    }
}

} // namespace
