// A whole game from a fresh process: the generator's first draws are the same in every run, so
// the phases follow one another at exactly known times. The game runs in a child process forked
// from this one, which itself never draws, so nothing has drawn from the generator before it, in
// shuffled order and in repeated runs alike.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "projects/taspo/game_constants.h"
#include "projects/taspo/reaction_cycle.h"
#include "support/game/game_harness.h"

namespace {

class FullSequenceTest : public GameTest {
protected:
    // Runs frames of 1/64 s until the phase changes; returns how many it took.
    int FramesInPhase() {
        bool was[] = {targetShown, hitShown, missShown};
        for (int frames = 1; frames <= 1000; ++frames) {
            EXPECT_TRUE(Frame());
            if (was[0] != targetShown || was[1] != hitShown || was[2] != missShown) {
                return frames;
            }
        }
        ADD_FAILURE() << "the phase never changed";
        return -1;
    }

    void Play();

    // The child's verdict is its exit code; its failures go to its standard error, which the
    // parent shows when the code is not 0.
    [[noreturn]] void PlayAndExit() {
        Play();
        const testing::TestResult* result =
            testing::UnitTest::GetInstance()->current_test_info()->result();
        for (int i = 0; i < result->total_part_count(); ++i) {
            const testing::TestPartResult& part = result->GetTestPartResult(i);
            std::fprintf(stderr, "%s:%d: %s\n", part.file_name() ? part.file_name() : "?",
                         part.line_number(), part.message());
        }
        std::exit(HasFailure() ? 1 : 0);
    }
};

TEST_F(FullSequenceTest, IdleTargetHitIdleTargetMissIdle) {
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(PlayAndExit(), testing::ExitedWithCode(0), "");
}

// Frames of 1/64 s that the first draws give: 0.5405526 s needs 35 (34 / 64 = 0.53125),
// 1.1400192 s needs 73 (72 / 64 = 1.125).
void FullSequenceTest::Play() {
    ASSERT_TRUE(Start()) << failure.reason;

    EXPECT_EQ(FramesInPhase(), 64);  // the first wait, 1.0 s
    ASSERT_TRUE(targetShown);
    EXPECT_NEAR(phaseDuration, 0.5405526f, 5e-8);
    EXPECT_TRUE(TargetOnScreen());

    for (int frame = 0; frame < 20; ++frame) {
        ASSERT_TRUE(Frame());
    }
    backend.SetKeyDown(VK_SPACE, true);
    ASSERT_TRUE(Frame());
    backend.SetKeyDown(VK_SPACE, false);
    ASSERT_TRUE(hitShown);
    EXPECT_EQ(Background(), ColourHit);
    EXPECT_TRUE(TargetOnScreen());

    EXPECT_EQ(FramesInPhase(), 13);  // 0.2 s from the press: 12.8 frames
    ASSERT_FALSE(targetShown || hitShown || missShown);
    EXPECT_NEAR(phaseDuration, 1.1400192f, 5e-8);
    EXPECT_EQ(Background(), ColourIdle);
    EXPECT_FALSE(TargetOnScreen());

    EXPECT_EQ(FramesInPhase(), 73);
    ASSERT_TRUE(targetShown);
    float targetTime = phaseDuration;
    EXPECT_GE(targetTime, TargetTimeMin);
    EXPECT_LE(targetTime, TargetTimeMax);

    int frames = FramesInPhase();
    EXPECT_GE(frames * (1.0f / 64), targetTime);
    EXPECT_LT((frames - 1) * (1.0f / 64), targetTime);
    ASSERT_TRUE(missShown);
    EXPECT_EQ(Background(), ColourMiss);
    EXPECT_FALSE(TargetOnScreen());

    EXPECT_EQ(FramesInPhase(), 52);  // 0.8 s: 51.2 frames
    EXPECT_FALSE(targetShown || hitShown || missShown);
    EXPECT_EQ(Background(), ColourIdle);
}

}  // namespace
