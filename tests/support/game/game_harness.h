// Plays the real game on the headless machine: start-up, frames on a scripted clock and
// keyboard, teardown, in a scratch working directory that holds the files the game reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "projects/taspo/app.h"
#include "support/arena_block_print.h"
#include "support/headless_test.h"
#include "support/scoped_engine_arena.h"
#include "support/scoped_environment_variable.h"

// The image tests hand the game: `width` by `height`, the left `keyColumns` columns magenta
// (the key), every other pixel TestTargetColour.
constexpr uint32_t TestTargetColour = 0x20E040;
std::vector<uint8_t> TestButtonBmp(int32_t width, int32_t height, int32_t keyColumns);

// Checks that every process-wide object of the game is gone, as teardown leaves them, with every
// GDI object they held.
void ExpectEveryObjectReleased();

// A fresh temporary folder made the working directory for the life of the object; the user's
// configuration folder ($XDG_CONFIG_HOME) is its subfolder config/, absent until written.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // `name` is relative to the folder; missing folders on the way are made.
    void Write(const char* name, const std::vector<uint8_t>& bytes) const;
    void Write(const char* name, const std::string& text) const;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::string previous_;
    ScopedEnvironmentVariable configHome_{"XDG_CONFIG_HOME", nullptr};
};

class GameTest : public HeadlessTest {
protected:
    // A 1/64-second frame: exact in binary, so phase times add up without rounding.
    static constexpr int64_t TicksPerSecond = 1 << 20;
    static constexpr int64_t FrameTicks = TicksPerSecond / 64;
    static constexpr float FrameSeconds = 1.0f / 64;

    GameTest();
    ~GameTest() override;

    // Runs start-up with the files in the scratch folder; the reason of a failure is kept.
    bool Start();
    // Advances the clock by `ticks` and runs one frame.
    bool Frame(int64_t ticks = FrameTicks);
    // Runs frames until the phase changes to the one asked for; fails the test after `limit`.
    void RunUntil(bool (*phase)(), int limit = 1000);

    uint32_t Background() const;  // a corner of the latest picture
    bool TargetOnScreen() const;  // the target's colour at its centre in the latest picture

    ScratchDirectory scratch;
    ScopedEngineArena arena;
    StartupFailure failure;
    bool started = false;
};
