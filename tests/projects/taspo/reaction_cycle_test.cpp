// The game played frame by frame on the headless machine: phases, their colours and durations,
// the keyboard's edges, the focus, and the ways a frame ends the loop.
#include <gtest/gtest.h>

#include <cmath>

#include "projects/taspo/game_constants.h"
#include "projects/taspo/reaction_cycle.h"
#include "support/game/game_harness.h"

namespace {

bool InIdle() {
    return !targetShown && !hitShown && !missShown;
}
bool InTarget() {
    return targetShown;
}
bool InHit() {
    return hitShown;
}
bool InMiss() {
    return missShown;
}

// Frames of 1/64 s needed to use up a duration: the first frame whose sum reaches it.
int FramesFor(float duration) {
    int frames = 0;
    for (float elapsed = 0; !(elapsed >= duration); ++frames) {
        elapsed += 1.0f / 64;
    }
    return frames;
}

class ReactionCycleTest : public GameTest {
protected:
    void SetUp() override { ASSERT_TRUE(Start()) << failure.reason; }

    void Press(int key) {
        backend.SetKeyDown(key, true);
        ASSERT_TRUE(Frame());
        backend.SetKeyDown(key, false);
    }
};

TEST_F(ReactionCycleTest, StartsIdleOnGreyAndShowsTheTargetOnceOneSecondIsReached) {
    EXPECT_EQ(targetX, 206);
    EXPECT_EQ(targetY, 199);
    for (int frame = 1; frame < 64; ++frame) {
        ASSERT_TRUE(Frame());
        ASSERT_TRUE(InIdle()) << "frame " << frame;
    }
    EXPECT_EQ(Background(), 0x808080u);  // grey, written out: the colours are the game's look
    EXPECT_FALSE(TargetOnScreen());
    ASSERT_TRUE(Frame());  // 64 / 64 = 1.0: equality counts as expired
    EXPECT_TRUE(InTarget());
    EXPECT_EQ(phaseElapsed, 0.0f);
    EXPECT_GE(phaseDuration, TargetTimeMin);
    EXPECT_LE(phaseDuration, TargetTimeMax);
    EXPECT_EQ(Background(), ColourIdle);
    EXPECT_TRUE(TargetOnScreen());
    // Key pixels leave the fill showing; the others are copied.
    EXPECT_EQ(backend.LastFrame().Pixel(targetX + 9, targetY), ColourIdle);
    EXPECT_EQ(backend.LastFrame().Pixel(targetX + 10, targetY), TestTargetColour);
    EXPECT_EQ(backend.LastFrame().Pixel(targetX + 99, targetY + 49), TestTargetColour);
    EXPECT_EQ(backend.LastFrame().Pixel(targetX + 100, targetY + 49), ColourIdle);
}

TEST_F(ReactionCycleTest, UnansweredTargetBecomesAMissOnDarkRedForPointEightSeconds) {
    RunUntil(InTarget);
    int targetFrames = FramesFor(phaseDuration);
    for (int frame = 1; frame < targetFrames; ++frame) {
        ASSERT_TRUE(Frame());
        ASSERT_TRUE(InTarget());
    }
    ASSERT_TRUE(Frame());
    EXPECT_TRUE(InMiss());
    EXPECT_EQ(phaseDuration, MissTime);
    EXPECT_EQ(Background(), 0x800000u);  // dark red
    EXPECT_FALSE(TargetOnScreen());
    for (int frame = 1; frame < FramesFor(MissTime); ++frame) {
        ASSERT_TRUE(Frame());
        ASSERT_TRUE(InMiss());
    }
    ASSERT_TRUE(Frame());
    EXPECT_TRUE(InIdle());
    EXPECT_GE(phaseDuration, WaitTimeMin);
    EXPECT_LE(phaseDuration, WaitTimeMax);
    EXPECT_EQ(Background(), ColourIdle);
}

TEST_F(ReactionCycleTest, SpaceWhileTheTargetShowsIsAHitOnLightBlueForPointTwoSecondsFromThePress) {
    RunUntil(InTarget);
    for (int frame = 0; frame < 5; ++frame) {
        ASSERT_TRUE(Frame());
    }
    Press(VK_SPACE);
    EXPECT_TRUE(InHit());
    EXPECT_EQ(phaseElapsed, 0.0f);
    EXPECT_EQ(phaseDuration, HitTime);
    EXPECT_EQ(Background(), 0xC0C0FFu);  // light blue
    EXPECT_TRUE(TargetOnScreen());
    for (int frame = 1; frame < FramesFor(HitTime); ++frame) {
        ASSERT_TRUE(Frame());
        ASSERT_TRUE(InHit());
    }
    ASSERT_TRUE(Frame());
    EXPECT_TRUE(InIdle());
    EXPECT_EQ(Background(), ColourIdle);
    EXPECT_FALSE(TargetOnScreen());
}

TEST_F(ReactionCycleTest, PressFirstSeenInTheFrameTheTargetExpiresIsAMiss) {
    RunUntil(InTarget);
    for (int frame = 1; frame < FramesFor(phaseDuration); ++frame) {
        ASSERT_TRUE(Frame());
    }
    Press(VK_SPACE);
    EXPECT_TRUE(InMiss());
    EXPECT_EQ(Background(), ColourMiss);
    EXPECT_FALSE(TargetOnScreen());
}

TEST_F(ReactionCycleTest, PressFirstSeenInTheFrameTheTargetComesUpScoresAtOnce) {
    for (int frame = 1; frame < 64; ++frame) {
        ASSERT_TRUE(Frame());
    }
    Press(VK_SPACE);
    EXPECT_TRUE(InHit());
    EXPECT_EQ(Background(), ColourHit);
    EXPECT_TRUE(TargetOnScreen());
}

TEST_F(ReactionCycleTest, SpaceHeldSinceBeforeTheTargetDoesNotScoreUntilPressedAgain) {
    backend.SetKeyDown(VK_SPACE, true);
    RunUntil(InTarget);
    ASSERT_TRUE(Frame());
    EXPECT_TRUE(InTarget());
    backend.SetKeyDown(VK_SPACE, false);
    ASSERT_TRUE(Frame());
    EXPECT_TRUE(InTarget());
    Press(VK_SPACE);
    EXPECT_TRUE(InHit());
}

TEST_F(ReactionCycleTest, WithoutFocusNothingScoresAndTheTargetRunsOutWhilePaintingGoesOn) {
    RunUntil(InTarget);
    backend.SetFocus(false);
    backend.SetKeyDown(VK_SPACE, true);
    size_t presented = backend.PresentCount();
    RunUntil(InMiss);
    EXPECT_FALSE(windowFocused);
    EXPECT_GT(backend.PresentCount(), presented);
    EXPECT_EQ(Background(), ColourMiss);
    backend.SetKeyDown(VK_ESCAPE, true);
    EXPECT_TRUE(Frame()) << "Escape is not read without the focus";
}

TEST_F(ReactionCycleTest, RegainedFocusComparesWithTheLastFocusedSnapshot) {
    RunUntil(InTarget);
    backend.SetFocus(false);
    backend.SetKeyDown(VK_SPACE, true);  // went down while another window had the focus
    ASSERT_TRUE(Frame());
    EXPECT_TRUE(InTarget());
    backend.SetFocus(true);
    ASSERT_TRUE(Frame());
    EXPECT_TRUE(windowFocused);
    EXPECT_TRUE(InHit()) << "up at the last focused frame, down now: pressed";
}

TEST_F(ReactionCycleTest, EscapeHeldWhenFocusReturnsEndsTheGameInThatFrame) {
    backend.SetFocus(false);
    backend.SetKeyDown(VK_ESCAPE, true);
    ASSERT_TRUE(Frame());
    backend.SetFocus(true);
    size_t presented = backend.PresentCount();
    EXPECT_FALSE(Frame());
    EXPECT_EQ(backend.PresentCount(), presented) << "the ending frame is not presented";
}

TEST_F(ReactionCycleTest, AVeryLongFrameMakesOneTransitionAndDropsTheOverrun) {
    ASSERT_TRUE(Frame(TicksPerSecond * 30));
    EXPECT_TRUE(InTarget());
    EXPECT_EQ(phaseElapsed, 0.0f);
    ASSERT_TRUE(Frame(TicksPerSecond * 30));
    EXPECT_TRUE(InMiss());
    EXPECT_EQ(phaseDuration, MissTime);
}

TEST_F(ReactionCycleTest, QuitTakenFromTheQueueEndsTheLoopBeforeTheClockOrThePicture) {
    ASSERT_TRUE(Frame());
    ASSERT_TRUE(backend.PostWindowMessage(WM_CLOSE));
    ASSERT_TRUE(Frame());  // dispatches the close request, which posts the quit message
    float elapsed = phaseElapsed;
    size_t presented = backend.PresentCount();
    size_t counterReads = backend.CounterReads();
    EXPECT_FALSE(Frame());
    EXPECT_EQ(backend.PresentCount(), presented);
    EXPECT_EQ(backend.CounterReads(), counterReads);
    EXPECT_EQ(phaseElapsed, elapsed);
}

TEST_F(ReactionCycleTest, EveryFrameYieldsAndPresentsTheWholeBackBuffer) {
    ASSERT_TRUE(Frame());
    ASSERT_TRUE(Frame());
    EXPECT_EQ(backend.YieldCount(), 2u);
    ASSERT_EQ(backend.Frames().size(), 2u);
    const auto& frame = backend.Frames().back();
    EXPECT_EQ(frame.width, ScreenWidth);
    EXPECT_EQ(frame.height, ScreenHeight);
    EXPECT_EQ(frame.Pixel(511, 447), ColourIdle);
}

TEST_F(ReactionCycleTest, FramesAllocateNothingOnceTheFirstHasMadeTheDeferredList) {
    ASSERT_TRUE(Frame());
    auto layout = ArenaBlocks(ActiveArena());
    backend.SetRecordFrames(false);
    for (int frame = 0; frame < 2000; ++frame) {
        backend.SetKeyDown(VK_SPACE, frame % 7 == 0);
        ASSERT_TRUE(Frame());
    }
    EXPECT_EQ(ArenaBlocks(ActiveArena()), layout);
}

// The sum is stored as a 32-bit float before it is compared. 1 - 2^-24 plus 0.75 x 2^-24 is
// 1 - 2^-26 exactly, which rounds to 1.0f and ends a phase of 1.0 in this frame. Compared
// unrounded, as x87 arithmetic at extended precision would, it falls short and the phase ends a
// frame late. (The 32-bit builds use SSE2 arithmetic for this.)
TEST(ReactionCycleArithmetic, TheRoundedSumIsWhatEndsAPhase) {
    ResetReactionCycle(8, 8);
    targetShown = true;
    phaseDuration = 1.0f;
    phaseElapsed = std::nextafter(1.0f, 0.0f);
    volatile float delta = 0.75f * std::ldexp(1.0f, -24);
    AdvanceReactionCycle(delta);
    EXPECT_TRUE(missShown) << "the target ran out in this frame";
    EXPECT_EQ(phaseElapsed, 0.0f);
    EXPECT_EQ(phaseDuration, MissTime);
    ResetReactionCycle(8, 8);
}

}  // namespace
