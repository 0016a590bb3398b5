// A million frames of the whole program on the headless machine, driven between frames by a
// seeded script of key presses, focus changes, uneven frame times and window messages. Whatever
// happens, the arena must look at the end exactly as it did after the first frame, and the run
// must end with everything released and the region returned.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

#include "config/variable_registry.h"
#include "projects/taspo/reaction_cycle.h"
#include "support/game/game_harness.h"

namespace {

// A million, unless TASPO_SOAK_FRAMES asks for fewer: valgrind, fifty times slower, takes a
// short soak (scripts/valgrind.sh); the test command always runs the million.
size_t SoakFrames() {
    static const size_t frames = [] {
        const char* asked = std::getenv("TASPO_SOAK_FRAMES");
        return asked != nullptr ? std::strtoul(asked, nullptr, 10) : 1000000;
    }();
    return frames;
}
constexpr int64_t TicksPerSecond = 1 << 20;
constexpr int64_t FrameTicks = TicksPerSecond / 64;
constexpr UINT FirstPrivateMessage = 0x0400;  // WM_USER

// Counts what the game did, to show that the script reached every phase.
struct Seen {
    size_t targets = 0;
    size_t hits = 0;
    size_t misses = 0;
    size_t unfocusedFrames = 0;
    size_t messages = 0;
};

// SwitchToThread ends every frame, so the script runs there: it records the arena after the
// first and the last scripted frame and prepares the next one; after the last it asks the window
// to close, as a player would.
class ScriptedMachine : public portable::HeadlessBackend {
public:
    void YieldThread() override {
        HeadlessBackend::YieldThread();
        ++frames_;
        Observe();
        if (frames_ == 1) {
            afterFirstFrame = ArenaBlocks(ActiveArena());
        }
        if (frames_ < SoakFrames()) {
            PrepareNextFrame();
        } else if (frames_ == SoakFrames()) {
            atTheEnd = ArenaBlocks(ActiveArena());
            PostWindowMessage(WM_CLOSE);
        }
    }

    size_t Frames() const { return frames_; }

    std::vector<ArenaBlockView> afterFirstFrame;
    std::vector<ArenaBlockView> atTheEnd;
    Seen seen;

private:
    void Observe() {
        seen.targets += targetShown && !wasTarget_ ? 1 : 0;
        seen.hits += hitShown && !wasHit_ ? 1 : 0;
        seen.misses += missShown && !wasMiss_ ? 1 : 0;
        seen.unfocusedFrames += windowFocused ? 0 : 1;
        wasTarget_ = targetShown;
        wasHit_ = hitShown;
        wasMiss_ = missShown;
    }

    bool Chance(uint32_t inThousand) {
        return std::uniform_int_distribution<uint32_t>(0, 999)(random_) < inThousand;
    }

    void PrepareNextFrame() {
        // Mostly a 1/64-second frame; sometimes none, sometimes a stall of up to two seconds.
        int64_t ticks = FrameTicks;
        if (Chance(20)) {
            ticks = 0;
        } else if (Chance(5)) {
            ticks = std::uniform_int_distribution<int64_t>(0, 2 * TicksPerSecond)(random_);
        }
        AdvanceTicks(ticks);

        // Space goes down and up at random; held down it is one press.
        if (Chance(100)) {
            spaceDown_ = !spaceDown_;
            SetKeyDown(VK_SPACE, spaceDown_);
        }
        // Focus comes and goes. Escape is pressed only while the window is away, where the game
        // must not see it, and is up again before the focus returns.
        if (Chance(2)) {
            focused_ = !focused_;
            if (focused_) {
                SetKeyDown(VK_ESCAPE, false);
            }
            SetFocus(focused_);
        }
        if (!focused_ && Chance(100)) {
            SetKeyDown(VK_ESCAPE, Chance(500));
        }
        // Messages the window meets in life: Alt's menu key, repaints, and ones it has never
        // heard of, sometimes several in one frame.
        while (Chance(30)) {
            static const UINT kinds[] = {WM_SYSCOMMAND, WM_PAINT, FirstPrivateMessage + 7, 0x0363,
                                         0x7FFF};
            UINT message = kinds[std::uniform_int_distribution<size_t>(0, 4)(random_)];
            WPARAM wParam = message == WM_SYSCOMMAND ? SC_KEYMENU : random_();
            PostWindowMessage(message, wParam, static_cast<LPARAM>(random_()));
            ++seen.messages;
        }
    }

    std::mt19937 random_{20240917};
    size_t frames_ = 0;
    bool focused_ = true;
    bool spaceDown_ = false;
    bool wasTarget_ = false;
    bool wasHit_ = false;
    bool wasMiss_ = false;
};

TEST(SoakTest, AMillionFramesLeaveTheArenaAsTheFirstFrameDidAndTeardownReturnsIt) {
    ScriptedMachine machine;
    portable::ScopedBackend installed(&machine);
    machine.SetCounterFrequency(TicksPerSecond);
    machine.SetRecordFrames(false);
    ScratchDirectory scratch;
    scratch.Write(TargetImageFile, TestButtonBmp(100, 50, 10));

    testing::internal::CaptureStderr();
    int exitCode = RunTaspo(portable::ModuleInstance(), SW_SHOW);
    std::string printed = testing::internal::GetCapturedStderr();
    engineHeapActive = false;

    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(printed, "");
    // The close request waits behind any messages still queued, one taken per frame.
    const size_t frames = SoakFrames();
    ASSERT_GE(frames, 10000u);
    EXPECT_GT(machine.Frames(), frames);
    EXPECT_LE(machine.Frames(), frames + 10);
    EXPECT_EQ(machine.PresentCount(), machine.Frames()) << "every frame but the last presented";
    ASSERT_FALSE(machine.afterFirstFrame.empty());
    EXPECT_EQ(machine.atTheEnd, machine.afterFirstFrame);

    ExpectEveryObjectReleased();
    EXPECT_EQ(ActiveArena()->first, nullptr) << "the region went back to the heap";
    EXPECT_FALSE(machine.Window().open);

    // The script must have played the game, not merely idled through it.
    EXPECT_GT(machine.seen.targets, frames / 1000);
    EXPECT_GT(machine.seen.hits, frames / 10000);
    EXPECT_GT(machine.seen.misses, frames / 10000);
    EXPECT_GT(machine.seen.unfocusedFrames, frames / 100);
    EXPECT_GT(machine.seen.messages, frames / 100);
}

}  // namespace
