// The replayer's pace in a window: each frame is shown once the window's clock has run as long,
// since the first frame, as the recorded counter had; never sooner, and no longer.
#include "platform/replayer/replay_backend.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless_backend.h"

namespace {

using portable::Replay;
using portable::ReplayBackend;
using portable::ReplayFrame;

struct StillWaiting {};

// A window whose clock, at 1 MHz, moves on by 4 ms each time the replayer yields to it. A
// replayer that would wait for ever, yielding or only reading the clock, is stopped.
class PacedWindow : public portable::HeadlessBackend {
public:
    static constexpr int64_t Step = 4000;

    PacedWindow() {
        SetCounterFrequency(1000000);
        SetCounter(7000000);
    }

    void YieldThread() override {
        HeadlessBackend::YieldThread();
        AdvanceTicks(Step);
        StopAStuckReplay();
    }
    int64_t Counter() override {
        StopAStuckReplay();
        return HeadlessBackend::Counter();
    }

private:
    // Four seconds of the window's clock, or twice as many reads of it.
    void StopAStuckReplay() const {
        if (YieldCount() > 1000 || CounterReads() > 2000) {
            ADD_FAILURE() << "the replayer still waits after " << YieldCount() << " yields and "
                          << CounterReads() << " reads of the clock";
            throw StillWaiting{};
        }
    }
};

// A frame of the recording: the counter answers the game read in it, in milliseconds.
struct RecordedFrame {
    std::vector<int64_t> counters;
    int64_t slowBy;   // ticks the window's clock runs on during the frame, as when the game is slow
    int64_t shownAt;  // milliseconds after the first frame that the window shows it
};

TEST(ReplayBackendPace, EachFrameWaitsForTheWindowsClockToCatchUpWithTheRecording) {
    // The fourth frame reads no counter: its time is the third's. The sixth runs 400 ms longer
    // in the window than it was recorded: it is shown at once, and the seventh waits for its own
    // time again.
    const RecordedFrame frames[] = {
        {{5000}, 0, 0},   {{5016}, 0, 16},           {{5016, 5032}, 0, 32}, {{}, 0, 32},
        {{5100}, 0, 100}, {{5104}, 400 * 1000, 500}, {{5600}, 0, 600},
    };
    Replay replay;
    replay.header.counterFrequency = 1000;
    for (const RecordedFrame& frame : frames) {
        replay.counters.insert(replay.counters.end(), frame.counters.begin(), frame.counters.end());
        replay.frames.push_back(
            ReplayFrame{static_cast<uint32_t>(replay.counters.size()), 0, 0, 0, 0});
    }
    PacedWindow window;
    ReplayBackend player(&replay, &window, portable::WatchedPixels{0, 0, 0});
    const int64_t start = window.Counter();
    for (const RecordedFrame& frame : frames) {
        SCOPED_TRACE(::testing::Message() << "the frame shown at " << frame.shownAt << " ms");
        for (int64_t counter : frame.counters) {
            EXPECT_EQ(player.Counter(), counter);
        }
        window.AdvanceTicks(frame.slowBy);
        size_t yields = window.YieldCount();
        player.YieldThread();
        int64_t shown = window.Counter() - start;
        EXPECT_GE(shown, frame.shownAt * 1000) << "shown before its time";
        EXPECT_LT(shown, frame.shownAt * 1000 + PacedWindow::Step) << "shown late";
        if (frame.slowBy > 0) {
            EXPECT_EQ(window.YieldCount(), yields);
        }
    }
    EXPECT_TRUE(player.Matched()) << player.Verdict("paced");
}

}  // namespace
