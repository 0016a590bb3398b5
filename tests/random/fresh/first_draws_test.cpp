// The game's first two random durations from a generator that has never drawn. The generator
// cannot be reset, so the draws happen in a child process forked from this one, which itself never
// draws: they are the first draws in shuffled order and in repeated runs alike. The "fast" style
// forks without executing the program anew, which also works under user-mode emulation.
#include "random/mersenne_twister.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void DrawFirstAndExit() {
    float target = RandomRange(0.5f, 1.5f);
    float wait = RandomRange(1.0f, 2.5f);
    uint32_t third = RandomInt(0xFFFFFFFFu);
    uint32_t fourth = RandomInt(0xFFFFFFFFu);
    std::fprintf(stderr, "draws: %.7f %.7f %u %u\n", target, wait, static_cast<unsigned>(third),
                 static_cast<unsigned>(fourth));
    std::exit(0);
}

TEST(FirstDraws, TargetThenWaitDurationsThenThePublishedSequenceGoesOn) {
    GTEST_FLAG_SET(death_test_style, "fast");
    // Outputs 3510405877 and 4290933890 give r = 405,526 and 933,461; the published sequence
    // for seed 4357 goes on with 2191955339 and 564929546.
    EXPECT_EXIT(DrawFirstAndExit(), testing::ExitedWithCode(0),
                "draws: 0\\.5405526 1\\.1400192 2191955339 564929546");
}

}  // namespace
