// The game's first two random durations in a fresh process. A program of its own, because the
// generator cannot be reset and these must be the very first draws.
#include "random/mersenne_twister.h"

#include <gtest/gtest.h>

namespace {

TEST(FirstDraws, TargetThenWaitDurationsThenThePublishedSequenceGoesOn) {
    // Outputs 3510405877 and 4290933890 give r = 405,526 and 933,461.
    EXPECT_NEAR(RandomRange(0.5f, 1.5f), 0.5405526, 0.5e-7);
    EXPECT_NEAR(RandomRange(1.0f, 2.5f), 1.1400192, 0.5e-7);
    EXPECT_EQ(RandomInt(0xFFFFFFFFu), 2191955339u);
    EXPECT_EQ(RandomInt(0xFFFFFFFFu), 564929546u);
}

}  // namespace
