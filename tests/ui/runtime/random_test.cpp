#include <gtest/gtest.h>

#include "ui/runtime/random.h"

namespace {

// Draws are 32 random bits cut to 24 and scaled by 2^-24: even all bits set give r < 1.
TEST(RandomNumbers, DrawsAreStepsOfTwoToTheMinus24BelowOne) {
    EXPECT_TRUE(UnitFromBits(0) == 0.0f && UnitFromBits(0x80000000u) == 0.5f);
    EXPECT_EQ(UnitFromBits(0xFFFFFFFFu), 1.0f - 1.0f / 16777216.0f);
}

} // namespace
