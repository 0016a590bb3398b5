// The frame timer under a scripted performance counter: measuring, scaling, expiry, bounding,
// fixed steps, Reset, and what it costs per frame.
#include "timing/frame_timer.h"

#include <cmath>
#include <initializer_list>
#include <utility>

#include "support/arena_block_print.h"
#include "support/headless_test.h"
#include "support/scoped_engine_arena.h"

namespace {

// 1024 ticks a second makes every step of a power-of-two fraction of a second exact, so
// expiries at exactly 0 can be scripted.
constexpr int64_t TicksPerSecond = 1024;

class FrameTimerTest : public HeadlessTest {
protected:
    void SetUp() override {
        backend.SetCounterFrequency(TicksPerSecond);
        backend.SetCounter(777777);
        timer = static_cast<FrameTimer*>(EngineAlloc(sizeof(FrameTimer)));
        ASSERT_NE(timer, nullptr);
        InitFrameTimer(timer);
    }
    void TearDown() override {
        if (timer != nullptr) {
            DestroyFrameTimer(timer);
        }
    }

    void Step(double seconds) {
        backend.AdvanceSeconds(seconds);
        Update(timer);
    }

    TimeScaleModifier* Add(float remaining, float scale) {
        TimeScaleModifier* modifier = AddTimeScaleModifier(timer, remaining, scale);
        EXPECT_NE(modifier, nullptr);
        return modifier;
    }

    ScopedEngineArena arena{64 * 1024};
    FrameTimer* timer = nullptr;
};

TEST_F(FrameTimerTest, StartsEmptyAndMeasuresTheFirstFrameFromCreation) {
    EXPECT_EQ(timer->startTicks, 777777);
    EXPECT_EQ(timer->frameCount, 0u);
    EXPECT_EQ(timer->modifiers.count, 0u);
    EXPECT_EQ(timer->maxDelta, 0.0f);
    EXPECT_FALSE(timer->fixedStep);
    EXPECT_EQ(timer->fixedDelta, 0.0f);
    EXPECT_EQ(timer->secondsPerTick, 1.0 / TicksPerSecond);
    EXPECT_EQ(EffectiveScale(timer), 1.0f) << "without modifiers the step is unscaled";

    Step(0.25);
    EXPECT_EQ(timer->frameTicks, 256);
    EXPECT_EQ(timer->rawDelta, 0.25f);
    EXPECT_EQ(timer->elapsedTime, 0.25f);
    EXPECT_EQ(timer->frameCount, 1u);

    Step(0.5);
    EXPECT_EQ(timer->frameTicks, 512);
    EXPECT_EQ(timer->lastElapsedTicks, 768);
    EXPECT_EQ(timer->rawDelta, 0.5f);
    EXPECT_EQ(timer->elapsedTime, 0.75f);
    EXPECT_EQ(timer->scaledDelta, 0.5f);
    EXPECT_EQ(timer->scaledTime, 0.75f);
    EXPECT_EQ(timer->frameCount, 2u);

    Step(1.0 / 3.0);
    EXPECT_NEAR(timer->rawDelta, 1.0 / 3.0, 1.0 / TicksPerSecond);
    EXPECT_EQ(timer->scaledDelta, timer->rawDelta);
}

TEST_F(FrameTimerTest, TheSlowestModifierWinsWhateverTheOrder) {
    for (auto scales : {std::make_pair(0.5f, 0.25f), std::make_pair(0.25f, 0.5f)}) {
        ClearModifiers(timer);
        Add(10.0f, scales.first);
        Add(10.0f, scales.second);
        EXPECT_EQ(EffectiveScale(timer), 0.25f);
        Step(0.5);
        EXPECT_EQ(timer->rawDelta, 0.5f);
        EXPECT_EQ(timer->scaledDelta, 0.125f);
    }
}

TEST_F(FrameTimerTest, ANegativeScaleCountsAsNoneYet) {
    Add(0.0f, -0.5f);
    Add(0.0f, 0.75f);
    EXPECT_EQ(EffectiveScale(timer), 0.75f);

    ClearModifiers(timer);
    Add(0.0f, -0.5f);
    Add(0.0f, -0.25f);
    Add(0.0f, 0.5f);
    EXPECT_EQ(EffectiveScale(timer), 0.5f);

    // After a real scale a negative one is simply smaller: only here does order matter.
    ClearModifiers(timer);
    Add(0.0f, 0.75f);
    Add(0.0f, -0.5f);
    EXPECT_EQ(EffectiveScale(timer), -0.5f);
}

TEST_F(FrameTimerTest, AModifierReachingExactlyZeroGoesBeforeScalingThatFrame) {
    TimeScaleModifier* slow = Add(0.75f, 0.5f);
    Step(0.25);
    EXPECT_EQ(slow->remaining, 0.5f);
    EXPECT_EQ(timer->scaledDelta, 0.125f);

    Step(0.5);
    EXPECT_EQ(timer->modifiers.count, 0u);
    EXPECT_EQ(timer->scaledDelta, 0.5f);
}

TEST_F(FrameTimerTest, ModifiersCountDownInRealTime) {
    TimeScaleModifier* slow = Add(2.0f, 0.5f);
    for (int frame = 0; frame < 3; ++frame) {
        Step(0.5);
        EXPECT_EQ(timer->scaledDelta, 0.25f);
    }
    EXPECT_EQ(slow->remaining, 0.5f);
    Step(0.5);  // two real seconds in all, though only one of scaled time
    EXPECT_EQ(timer->modifiers.count, 0u);
    EXPECT_EQ(timer->scaledDelta, 0.5f);
    EXPECT_EQ(timer->scaledTime, 1.25f);
    EXPECT_EQ(timer->elapsedTime, 2.0f);
}

TEST_F(FrameTimerTest, UntimedModifiersNeverExpire) {
    TimeScaleModifier* zero = Add(0.0f, 0.5f);
    TimeScaleModifier* negative = Add(-1.0f, 0.75f);
    for (int frame = 0; frame < 10; ++frame) {
        Step(1.0);
        EXPECT_EQ(timer->scaledDelta, 0.5f);
    }
    EXPECT_EQ(timer->modifiers.count, 2u);
    EXPECT_EQ(zero->remaining, 0.0f);
    EXPECT_EQ(negative->remaining, -1.0f);

    ClearModifiers(timer);
    EXPECT_EQ(timer->modifiers.count, 0u);
    EXPECT_EQ(timer->modifiers.head, nullptr);
    Step(1.0);
    EXPECT_EQ(timer->scaledDelta, 1.0f);
}

TEST_F(FrameTimerTest, OnlyTheExpiredEntriesLeaveTheList) {
    Add(0.5f, 0.5f);
    TimeScaleModifier* keeps = Add(0.0f, 0.75f);
    Add(0.25f, 0.25f);
    Step(0.5);
    ASSERT_EQ(timer->modifiers.count, 1u);
    EXPECT_EQ(timer->modifiers.head->value, keeps);
    EXPECT_EQ(timer->modifiers.tail->value, keeps);
    EXPECT_EQ(timer->scaledDelta, 0.375f);
}

TEST_F(FrameTimerTest, MaxDeltaBoundsOnlyTheScaledStep) {
    Step(5.0);
    EXPECT_EQ(timer->scaledDelta, 5.0f);  // 0: no bound
    timer->maxDelta = -1.0f;
    Step(5.0);
    EXPECT_EQ(timer->scaledDelta, 5.0f);

    backend.SetCounterFrequency(1000);
    Reset(timer);
    timer->maxDelta = 0.1f;
    backend.AdvanceTicks(300);
    Update(timer);
    EXPECT_FLOAT_EQ(timer->rawDelta, 0.3f);
    EXPECT_EQ(timer->scaledDelta, 0.1f);
    EXPECT_EQ(timer->scaledTime, 0.1f);
    EXPECT_FLOAT_EQ(timer->elapsedTime, 0.3f);

    backend.AdvanceTicks(300);
    Update(timer);
    EXPECT_FLOAT_EQ(timer->scaledTime, 0.2f);
    EXPECT_FLOAT_EQ(timer->elapsedTime, 0.6f);

    backend.AdvanceTicks(50);
    Update(timer);
    EXPECT_FLOAT_EQ(timer->scaledDelta, 0.05f);
}

TEST_F(FrameTimerTest, FixedStepReplacesMeasuredTime) {
    timer->fixedStep = true;
    timer->fixedDelta = 0.02f;
    TimeScaleModifier* slow = Add(0.03f, 0.5f);

    backend.AdvanceTicks(3 * 1024);
    Update(timer);
    EXPECT_EQ(timer->rawDelta, 0.02f);
    EXPECT_EQ(timer->frameTicks, 3 * 1024);
    EXPECT_EQ(timer->elapsedTime, 0.02f);
    // The modifier counts down by the fixed step, not by the long frame.
    EXPECT_FLOAT_EQ(slow->remaining, 0.01f);
    EXPECT_EQ(timer->scaledDelta, 0.01f);

    const int64_t frames[] = {0, 1024, 17};
    float expectedElapsed = timer->elapsedTime;
    for (int64_t ticks : frames) {
        backend.AdvanceTicks(ticks);
        Update(timer);
        expectedElapsed += 0.02f;
        EXPECT_EQ(timer->rawDelta, 0.02f);
        EXPECT_EQ(timer->scaledDelta, 0.02f);
        EXPECT_EQ(timer->frameTicks, ticks);
        EXPECT_EQ(timer->elapsedTime, expectedElapsed);
    }
    EXPECT_EQ(timer->modifiers.count, 0u);
    EXPECT_FLOAT_EQ(timer->elapsedTime, 0.08f);
    EXPECT_EQ(timer->lastElapsedTicks, 4 * 1024 + 17);
}

TEST_F(FrameTimerTest, ResetEmptiesAndRestartsButKeepsTheSettings) {
    auto before = ArenaBlocks(ActiveArena());
    Add(0.0f, 0.5f);
    Add(3.0f, 0.25f);
    timer->maxDelta = 0.5f;
    timer->fixedDelta = 0.125f;
    Step(1.0);
    Step(1.0);
    timer->fixedStep = true;

    backend.AdvanceTicks(12345);
    Reset(timer);
    EXPECT_EQ(timer->modifiers.count, 0u);
    EXPECT_EQ(timer->modifiers.head, nullptr);
    EXPECT_EQ(timer->modifiers.tail, nullptr);
    EXPECT_EQ(ArenaBlocks(ActiveArena()), before);
    EXPECT_EQ(timer->startTicks, 777777 + 2 * 1024 + 12345);
    EXPECT_EQ(timer->lastElapsedTicks, 0);
    EXPECT_EQ(timer->frameTicks, 0);
    EXPECT_EQ(timer->frameCount, 0u);
    EXPECT_EQ(timer->elapsedTime, 0.0f);
    EXPECT_EQ(timer->rawDelta, 0.0f);
    EXPECT_EQ(timer->scaledTime, 0.0f);
    EXPECT_EQ(timer->scaledDelta, 0.0f);
    EXPECT_EQ(timer->maxDelta, 0.5f);
    EXPECT_TRUE(timer->fixedStep);
    EXPECT_EQ(timer->fixedDelta, 0.125f);

    timer->fixedStep = false;
    Step(0.25);
    EXPECT_EQ(timer->frameTicks, 256);
    EXPECT_EQ(timer->rawDelta, 0.25f);
    EXPECT_EQ(timer->elapsedTime, 0.25f);
}

TEST_F(FrameTimerTest, AZeroOrFailedFrequencyStopsTheClock) {
    for (int64_t frequency : {int64_t{0}, int64_t{-1000}}) {
        backend.SetCounterFrequency(frequency);
        Reset(timer);
        EXPECT_EQ(timer->secondsPerTick, 0.0);
        backend.AdvanceTicks(5000);
        Update(timer);
        EXPECT_EQ(timer->frameTicks, 5000);
        EXPECT_EQ(timer->rawDelta, 0.0f);
        EXPECT_EQ(timer->scaledDelta, 0.0f);
        EXPECT_EQ(timer->elapsedTime, 0.0f);
        EXPECT_EQ(timer->frameCount, 1u);
        EXPECT_TRUE(std::isfinite(timer->scaledTime));

        timer->fixedStep = true;  // a fixed step does not need the counter
        timer->fixedDelta = 0.5f;
        Update(timer);
        EXPECT_EQ(timer->rawDelta, 0.5f);
        EXPECT_EQ(timer->elapsedTime, 0.5f);
        timer->fixedStep = false;
    }
    backend.SetCounterFrequency(1);  // the slowest counter there is still counts
    Reset(timer);
    EXPECT_EQ(timer->secondsPerTick, 1.0);
}

TEST_F(FrameTimerTest, AnUpdateReadsTheCounterOnceAndAllocatesNothing) {
    Add(0.0f, 0.5f);
    Add(100.0f, 0.75f);
    auto layout = ArenaBlocks(ActiveArena());
    for (int frame = 0; frame < 50; ++frame) {
        size_t reads = backend.CounterReads();
        Step(0.125);
        EXPECT_EQ(backend.CounterReads(), reads + 1);
    }
    EXPECT_EQ(ArenaBlocks(ActiveArena()), layout);

    Add(0.125f, 0.25f);
    size_t reads = backend.CounterReads();
    Step(0.125);  // this one expires
    EXPECT_EQ(backend.CounterReads(), reads + 1);
    EXPECT_EQ(ArenaBlocks(ActiveArena()), layout);
}

TEST_F(FrameTimerTest, AddingAModifierWithoutRoomLeaksNothing) {
    // Fill the arena so that only an 8-byte block is left: room for the record, not the node.
    auto layout = ArenaBlocks(ActiveArena());
    ASSERT_FALSE(layout.back().inUse);
    uint32_t freeBytes = layout.back().size;
    void* filler = EngineAlloc(freeBytes - ArenaHeaderSize - 8);
    ASSERT_NE(filler, nullptr);
    auto full = ArenaBlocks(ActiveArena());
    ASSERT_EQ(full.back().size, 8u);
    ASSERT_FALSE(full.back().inUse);

    EXPECT_EQ(AddTimeScaleModifier(timer, 1.0f, 0.5f), nullptr);
    EXPECT_EQ(timer->modifiers.count, 0u);
    EXPECT_EQ(ArenaBlocks(ActiveArena()), full);

    void* last = EngineAlloc(8);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(AddTimeScaleModifier(timer, 1.0f, 0.5f), nullptr);
    EXPECT_EQ(timer->modifiers.count, 0u);
    EngineFree(last);
    EngineFree(filler);
}

TEST_F(FrameTimerTest, DestroyReleasesTheModifiersAndTheRecord) {
    Add(1.0f, 0.5f);
    Add(0.0f, 0.25f);
    DestroyFrameTimer(timer);
    timer = nullptr;
    auto layout = ArenaBlocks(ActiveArena());
    ASSERT_EQ(layout.size(), 1u);
    EXPECT_FALSE(layout.front().inUse);
}

}  // namespace
