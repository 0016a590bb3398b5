// The whole program with every arena too small for start-up: whichever allocation is the first
// to find no room, the run ends with one line naming what could not be made, exit code 1,
// everything released and the region returned.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "support/game/game_harness.h"

namespace {

struct Outcome {
    int exitCode;
    std::string printed;
};

// One run on a fresh machine, ended by Escape held if it gets as far as a frame.
Outcome RunWithArena(uint32_t size) {
    portable::HeadlessBackend machine;
    portable::ScopedBackend installed(&machine);
    machine.SetKeyDown(VK_ESCAPE, true);
    testing::internal::CaptureStderr();
    int exitCode = RunTaspo(portable::ModuleInstance(), SW_SHOW, nullptr, size);
    std::string printed = testing::internal::GetCapturedStderr();
    engineHeapActive = false;

    EXPECT_EQ(ActiveArena()->first, nullptr);
    EXPECT_FALSE(machine.Window().open);
    ExpectEveryObjectReleased();
    return Outcome{exitCode, printed};
}

// Runs with arenas growing by `step` bytes from `from` until one starts; checks every failure and
// returns the reasons seen, in order of first appearance.
std::vector<std::string> SweepUntilStarted(uint32_t from, uint32_t step, uint32_t limit) {
    std::vector<std::string> reasons;
    for (uint32_t size = from; size <= limit; size += step) {
        SCOPED_TRACE("arena of " + std::to_string(size) + " bytes");
        Outcome outcome = RunWithArena(size);
        if (outcome.exitCode == 0) {
            EXPECT_EQ(outcome.printed, "");
            return reasons;
        }
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_EQ(outcome.printed.rfind("taspo: ", 0), 0u) << outcome.printed;
        EXPECT_EQ(outcome.printed.find('\n'), outcome.printed.size() - 1)
            << "one line: " << outcome.printed;
        std::string reason = outcome.printed.substr(7, outcome.printed.size() - 8);
        if (reasons.empty() || reasons.back() != reason) {
            reasons.push_back(reason);
        }
    }
    ADD_FAILURE() << "no arena up to " << limit << " bytes was enough";
    return reasons;
}

TEST(ArenaExhaustionTest, EachObjectInTurnIsTheOneThatCannotBeMade) {
    ScratchDirectory scratch;
    scratch.Write(TargetImageFile, TestButtonBmp(8, 8, 0));
    // From the smallest region that holds one block (smaller ones are refused, tested apart).
    std::vector<std::string> reasons =
        SweepUntilStarted(ArenaHeaderSize + ArenaGranularity, ArenaGranularity, 64 * 1024);
    // The sprite never comes last: the loader's pixel buffer, given back, leaves room for it.
    std::vector<std::string> expected = {
        "out of engine memory while creating the display settings",
        "out of engine memory while creating the window",
        "out of engine memory while creating the frame timer",
        "out of engine memory while creating the keyboard",
        "out of engine memory while creating the back buffer",
        "out of engine memory while creating the target image",
        "button.bmp: out of engine memory",
    };
    EXPECT_EQ(reasons, expected);
}

// taspo.cfg needs a buffer of ConfigFileMaxBytes while it is read; too little room for it stops
// start-up like any other object.
TEST(ArenaExhaustionTest, NoRoomToReadTheConfigurationFileIsOneLineToo) {
    ScratchDirectory scratch;
    scratch.Write(TargetImageFile, TestButtonBmp(8, 8, 0));
    scratch.Write(ConfigFile, std::string("DisplayRate = 75\n"));
    std::vector<std::string> reasons = SweepUntilStarted(1024, 1024, 128 * 1024);
    ASSERT_FALSE(reasons.empty());
    EXPECT_EQ(reasons[0], "taspo.cfg: out of engine memory for the file's contents");
    std::set<std::string> distinct(reasons.begin(), reasons.end());
    EXPECT_EQ(distinct.size(), reasons.size()) << "each way of failing comes once, in order";
}

}  // namespace
