// The replay file format: what is written is read back exactly, and a hostile file is refused
// with one line naming it and the reason, before anything is allocated by a count it holds.
#include "platform/replay/replay_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "random/mersenne_twister.h"
#include "support/game/game_harness.h"

namespace {

using portable::Replay;
using portable::ReplayFrameEvents;
using portable::ReplayFrameWriter;
using portable::ReplayHeader;

constexpr uint64_t Button = 0x1234567890ABCDEFull;

ReplayHeader Header() {
    ReplayHeader header;
    header.counterFrequency = 1000000000;
    header.seed = RandomSeed;
    header.desktopKnown = true;
    header.desktop = {1024, 768, 32, 60};
    header.clientWidth = 512;
    header.clientHeight = 448;
    header.modeAnswerCount = 2;
    header.modeAnswers = 0b10;
    header.buttonHash = Button;
    return header;
}

// Two frames: one with every kind of change, one with three counter reads.
std::vector<uint8_t> SampleFile() {
    ReplayFrameWriter frames;
    ReplayFrameEvents events;
    events.counters = {5000000000, 5016666666};
    events.keys = {{0, 0x20, true}, {2, 0x1B, true}, {3, 0x20, false}};
    events.focus = {{0, true}};
    events.messages = {{0, 0x0010, 7, -3}, {1, 0x0112, 0xF060, 1LL << 40}};
    events.quits = {1};
    frames.Append(events);
    events.Clear();
    events.counters = {5033333333, 5033333333, 5050000000};
    frames.Append(events);
    return EncodeReplay(Header(), frames, {{0, 42}, {7, 43}});
}

TEST(ReplayFile, ReadsBackWhatWasWrittenAndTakesAboutFourBytesAFrame) {
    std::vector<uint8_t> bytes = SampleFile();
    Replay replay;
    ASSERT_EQ(DecodeReplay(bytes.data(), bytes.size(), Button, &replay), "");
    const ReplayHeader& header = replay.header;
    EXPECT_EQ(header.counterFrequency, 1000000000);
    EXPECT_EQ(header.desktop.height, 768);
    EXPECT_EQ(header.clientHeight, 448);
    EXPECT_EQ(header.modeAnswerCount, 2u);
    EXPECT_EQ(header.modeAnswers, 0b10u);
    ASSERT_EQ(replay.frames.size(), 2u);
    EXPECT_EQ(replay.counters,
              (std::vector<int64_t>{5000000000, 5016666666, 5033333333, 5033333333, 5050000000}));
    EXPECT_EQ(replay.frames[0].counterEnd, 2u);
    EXPECT_EQ(replay.frames[1].counterEnd, 5u);
    ASSERT_EQ(replay.keys.size(), 3u);
    EXPECT_EQ(replay.keys[1].call, 2u);
    EXPECT_EQ(replay.keys[1].key, 0x1B);
    EXPECT_FALSE(replay.keys[2].down);
    ASSERT_EQ(replay.messages.size(), 2u);
    EXPECT_EQ(replay.messages[0].lParam, -3);
    EXPECT_EQ(replay.messages[1].pump, 1u);
    EXPECT_EQ(replay.messages[1].wParam, 0xF060u);
    EXPECT_EQ(replay.messages[1].lParam, 1LL << 40);
    EXPECT_EQ(replay.quits, std::vector<uint32_t>{1});
    EXPECT_EQ(replay.frames[1].keyEnd, 3u) << "the second frame has no changes";
    ASSERT_EQ(replay.checkpoints.size(), 2u);
    EXPECT_EQ(replay.checkpoints[1].present, 7u);
    EXPECT_EQ(replay.checkpoints[1].hash, 43u);

    // A frame of a 2,500 frames a second game at SDL's 1 ns counter: one read of a 400 us delta.
    ReplayFrameWriter plain;
    ReplayFrameEvents frame;
    for (int64_t i = 1; i <= 1000; ++i) {
        frame.counters = {i * 400000};
        plain.Append(frame);
    }
    EXPECT_LE(plain.Bytes().size(), 4000u);
}

struct Hostile {
    const char* what;
    std::function<void(std::vector<uint8_t>*)> spoil;
    const char* reason;
};

// Where the frame count starts: right after the header, whose size the empty file gives.
size_t FrameCountOffset() {
    return EncodeReplay(Header(), ReplayFrameWriter(), {}).size() - 1 - 1 - 12;
}

// Replaces the frames section with `frames` (count, then frame bytes).
void PutFrames(std::vector<uint8_t>* bytes, std::vector<uint8_t> frames) {
    bytes->resize(FrameCountOffset());
    bytes->insert(bytes->end(), frames.begin(), frames.end());
    const uint8_t tail[] = {0, 'T', 'E', 'N', 'D', 1, 0, 0, 0, 0, 0, 0, 0};
    bytes->insert(bytes->end(), tail, tail + sizeof(tail));
}

TEST(ReplayFile, RefusesAHostileFileWithOneLineNamingItAndTheReason) {
    const Hostile cases[] = {
        {"cut short", [](auto* b) { b->resize(b->size() - 20); }, "the file is truncated"},
        {"empty", [](auto* b) { b->clear(); }, "not a Taspo replay (no TSPR magic word)"},
        {"wrong magic", [](auto* b) { (*b)[0] = 'X'; }, "not a Taspo replay (no TSPR magic word)"},
        {"future version", [](auto* b) { (*b)[4] = 2; },
         "format version 2 is newer than this program reads (1)"},
        {"version 0", [](auto* b) { (*b)[4] = 0; },
         "format version 0 does not exist (versions start at 1)"},
        {"huge frame count",
         [](auto* b) {
             PutFrames(b, {0xFF, 0xFF, 0xFF, 0xFF, 0x0F, 0x00});
         },
         "the frame count is larger than the file could hold"},
        {"zero frequency", [](auto* b) { std::fill(b->begin() + 9, b->begin() + 17, 0); },
         "the counter frequency is not positive"},
        {"other seed", [](auto* b) { (*b)[17] ^= 1; },
         "recorded with generator seed 4356, this game starts from 4357"},
        {"key code 256",
         [](auto* b) {
             PutFrames(b, {1, 0x04, 1, 0, 0x80, 0x04});
         },
         "a key code is larger than 255"},
        {"counter overflow",
         [](auto* b) {
             PutFrames(b, {1, 0x02, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0x01});
         },
         "the counter runs past its largest value"},
        {"message count",
         [](auto* b) {
             PutFrames(b, {1, 0x10, 0x7F, 0});
         },
         "the message count is larger than the file could hold"},
        {"unknown frame bits",
         [](auto* b) {
             PutFrames(b, {1, 0x80});
         },
         "a frame uses a feature this program does not know"},
        {"trailing bytes", [](auto* b) { b->push_back(0); }, "bytes follow the end marker"},
    };
    ScratchDirectory scratch;
    for (const Hostile& hostile : cases) {
        std::vector<uint8_t> bytes = SampleFile();
        hostile.spoil(&bytes);
        scratch.Write("hostile.taspo-replay", bytes);
        Replay replay;
        EXPECT_EQ(ReadReplayFile("hostile.taspo-replay", Button, &replay),
                  std::string("hostile.taspo-replay: ") + hostile.reason)
            << hostile.what;
        EXPECT_TRUE(replay.frames.empty()) << hostile.what;
    }
    std::vector<uint8_t> bytes = SampleFile();
    scratch.Write("other.taspo-replay", bytes);
    Replay replay;
    EXPECT_EQ(ReadReplayFile("other.taspo-replay", Button + 1, &replay),
              "other.taspo-replay: recorded with a different button.bmp");
    // A file that cannot be written says so, and leaves no half-written file behind.
    EXPECT_EQ(portable::WriteReplayFile("missing/game.taspo-replay", bytes),
              "missing/game.taspo-replay: cannot write (No such file or directory)");
    ASSERT_EQ(portable::WriteReplayFile("game.taspo-replay", bytes), "");
    EXPECT_EQ(ReadReplayFile("game.taspo-replay", Button, &replay), "");
    EXPECT_FALSE(std::ifstream("game.taspo-replay.tmp").good());
    // Every cut of a good file is refused, none read past its end.
    for (size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_NE(DecodeReplay(bytes.data(), size, Button, &replay), "") << size << " bytes";
    }
}

// The replay reader's fuzzing seeds (fuzz/corpus/replay) are whole, valid sessions: each is read
// without a complaint, so the fuzzer starts from files that reach every part of the reader.
TEST(ReplayFile, TheFuzzingSeedsAreReadWithoutAComplaint) {
    constexpr uint64_t FuzzButtonHash = 0x5441535052455031ull;
    int seeds = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(TASPO_SOURCE_DIR "/fuzz/corpus/replay")) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
        Replay replay;
        EXPECT_EQ(DecodeReplay(bytes.data(), bytes.size(), FuzzButtonHash, &replay), "")
            << entry.path();
        ++seeds;
    }
    EXPECT_GE(seeds, 3);
}

}  // namespace
