// The replay file format: what is written is read back exactly, and a hostile file is refused
// with one line naming it and the reason, before anything is allocated by a count it holds.
#include "platform/replay/replay_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
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
ReplayFrameWriter SampleFrames() {
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
    return frames;
}

std::vector<uint8_t> SampleFile() {
    return EncodeReplay(Header(), SampleFrames(), {{0, 42}, {7, 43}});
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

// Where the header's fields lie.
enum HeaderField : size_t {
    VersionTextLength = 8,
    DesktopKnown = 21,
    ClientWidth = 38,
    ClientHeight = 42,
    FullScreenNote = 46,
    ModeAnswerCount = 47,
};

void Put32(std::vector<uint8_t>* bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        (*bytes)[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

std::vector<uint8_t> Varint(uint64_t value) {
    std::vector<uint8_t> bytes;
    for (; value >= 0x80; value >>= 7) {
        bytes.push_back(static_cast<uint8_t>(value | 0x80));
    }
    bytes.push_back(static_cast<uint8_t>(value));
    return bytes;
}

std::vector<uint8_t> Cat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> bytes;
    for (const std::vector<uint8_t>& part : parts) {
        bytes.insert(bytes.end(), part.begin(), part.end());
    }
    return bytes;
}

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

// The sample's two frames with `section` (a count, then each delta and hash) for checkpoints,
// and an end marker that counts `checkpoints` of them.
void PutCheckpoints(std::vector<uint8_t>* bytes, std::vector<uint8_t> section,
                    uint32_t checkpoints) {
    *bytes = EncodeReplay(Header(), SampleFrames(), {});
    bytes->resize(bytes->size() - 13);
    bytes->insert(bytes->end(), section.begin(), section.end());
    const uint8_t marker[] = {'T', 'E', 'N', 'D', 2, 0, 0, 0, 0, 0, 0, 0};
    bytes->insert(bytes->end(), marker, marker + sizeof(marker));
    Put32(bytes, bytes->size() - 4, checkpoints);
}

const std::vector<uint8_t> AnyHash = {1, 2, 3, 4, 5, 6, 7, 8};

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
        {"version text of 65 bytes",
         [](auto* b) {
             (*b)[VersionTextLength] = 65;
             b->insert(b->begin() + VersionTextLength + 1, 65, 'v');
         },
         "the game version is longer than 64 bytes"},
        {"desktop known 2", [](auto* b) { (*b)[DesktopKnown] = 2; },
         "the display settings hold impossible values"},
        {"full-screen note 2", [](auto* b) { (*b)[FullScreenNote] = 2; },
         "the display settings hold impossible values"},
        {"33 mode answers", [](auto* b) { (*b)[ModeAnswerCount] = 33; },
         "the display settings hold impossible values"},
        {"client width 65537", [](auto* b) { Put32(b, ClientWidth, 65537); },
         "the display settings hold impossible values"},
        {"client height 65537", [](auto* b) { Put32(b, ClientHeight, 65537); },
         "the display settings hold impossible values"},
        {"negative client width", [](auto* b) { Put32(b, ClientWidth, 0xFFFFFFFF); },
         "the display settings hold impossible values"},
        {"a number of 65 bits",
         [](auto* b) {
             PutFrames(b, {1, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02});
         },
         "a number is longer than 64 bits"},
        // After each of these counts, 13 bytes are left.
        {"counter read count",
         [](auto* b) {
             PutFrames(b, {1, 0x03, 14});
         },
         "the counter read count is larger than the file could hold"},
        {"key change count",
         [](auto* b) {
             PutFrames(b, {1, 0x04, 14});
         },
         "the key change count is larger than the file could hold"},
        {"focus change count",
         [](auto* b) {
             PutFrames(b, {1, 0x08, 14});
         },
         "the focus change count is larger than the file could hold"},
        {"quit request count",
         [](auto* b) {
             PutFrames(b, {1, 0x20, 14});
         },
         "the quit request count is larger than the file could hold"},
        // After the checkpoint count, the end marker's 12 bytes are left.
        {"checkpoint count 13 with 12 bytes left", [](auto* b) { PutCheckpoints(b, {13}, 13); },
         "the checkpoint count is larger than the file could hold"},
        {"checkpoint count 12, as many as bytes are left",
         [](auto* b) { PutCheckpoints(b, {12}, 12); }, "the file is truncated"},
        {"message number 2^32",
         [](auto* b) {
             PutFrames(b, Cat({{1, 0x10, 1, 0}, Varint(1ull << 32), {0, 0}}));
         },
         "a message number is larger than 32 bits"},
        {"key calls repeated",
         [](auto* b) {
             PutFrames(b, {1, 0x04, 2, 3, 0x40, 3, 0x41});
         },
         "the calls of a frame are out of order"},
        {"key call 2^32",
         [](auto* b) {
             PutFrames(b, Cat({{1, 0x04, 1}, Varint(1ull << 32), {0x40}}));
         },
         "the calls of a frame are out of order"},
        {"focus calls repeated",
         [](auto* b) {
             PutFrames(b, {1, 0x08, 2, 3, 2});
         },
         "the calls of a frame are out of order"},
        {"message pumps going back",
         [](auto* b) {
             PutFrames(b, {1, 0x10, 2, 1, 0x10, 0, 0, 0, 0x10, 0, 0});
         },
         "the calls of a frame are out of order"},
        {"message pump 2^32",
         [](auto* b) {
             PutFrames(b, Cat({{1, 0x10, 1}, Varint(1ull << 32), {0x10, 0, 0}}));
         },
         "the calls of a frame are out of order"},
        {"quit pumps repeated",
         [](auto* b) {
             PutFrames(b, {1, 0x20, 2, 1, 1});
         },
         "the calls of a frame are out of order"},
        {"a presentation checkpointed twice",
         [](auto* b) {
             PutCheckpoints(b, Cat({{2, 4}, AnyHash, {0}, AnyHash}), 2);
         },
         "the checkpoints are out of order"},
        {"a checkpoint at presentation 2^32",
         [](auto* b) {
             PutCheckpoints(b, Cat({{2, 1}, AnyHash, Varint(4294967295), AnyHash}), 2);
         },
         "the checkpoints are out of order"},
        {"no end marker", [](auto* b) { (*b)[b->size() - 12] = 'X'; },
         "the file is truncated (no end marker after the checkpoints)"},
        {"end marker's frame count", [](auto* b) { (*b)[b->size() - 8] = 3; },
         "the end marker's counts do not match the file"},
        {"end marker's checkpoint count", [](auto* b) { (*b)[b->size() - 4] = 3; },
         "the end marker's counts do not match the file"},
        {"checkpoints without frames",
         [](auto* b) {
             *b = EncodeReplay(Header(), ReplayFrameWriter(), {{0, 42}});
         },
         "checkpoints without frames"},
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
    EXPECT_EQ(ReadReplayFile("missing.taspo-replay", Button, &replay),
              "missing.taspo-replay: cannot open (No such file or directory)");
    scratch.Write("folder.taspo-replay/file", bytes);
    EXPECT_EQ(ReadReplayFile("folder.taspo-replay", Button, &replay),
              "folder.taspo-replay: cannot read");
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

struct AtLimit {
    const char* what;
    std::function<void(std::vector<uint8_t>*)> make;
    std::function<void(const Replay&)> check;
};

// A file with every value at its limit is read; the hostile cases above are one past each.
TEST(ReplayFile, ValuesAtTheirLimitsAreRead) {
    const AtLimit cases[] = {
        {"version text of 64 bytes",
         [](auto* b) {
             (*b)[VersionTextLength] = 64;
             b->insert(b->begin() + VersionTextLength + 1, 64, 'v');
         },
         [](const Replay& r) { EXPECT_EQ(r.header.counterFrequency, 1000000000); }},
        {"32 mode answers", [](auto* b) { (*b)[ModeAnswerCount] = 32; },
         [](const Replay& r) { EXPECT_EQ(r.header.modeAnswerCount, 32u); }},
        {"client area 65536 by 65536",
         [](auto* b) {
             Put32(b, ClientWidth, 65536);
             Put32(b, ClientHeight, 65536);
         },
         [](const Replay& r) {
             EXPECT_EQ(r.header.clientWidth, 65536);
             EXPECT_EQ(r.header.clientHeight, 65536);
         }},
        {"no desktop, no window, a full-screen note",
         [](auto* b) {
             (*b)[DesktopKnown] = 0;
             Put32(b, ClientWidth, 0);
             Put32(b, ClientHeight, 0);
             (*b)[FullScreenNote] = 1;
         },
         [](const Replay& r) {
             EXPECT_FALSE(r.header.desktopKnown);
             EXPECT_EQ(r.header.clientWidth, 0);
         }},
        {"key code 255 at call 2^32 - 1",
         [](auto* b) {
             PutFrames(b, Cat({{1, 0x04, 1}, Varint(4294967295), Varint(0x1FF)}));
         },
         [](const Replay& r) {
             ASSERT_EQ(r.keys.size(), 1u);
             EXPECT_EQ(r.keys[0].call, 4294967295u);
             EXPECT_EQ(r.keys[0].key, 255);
             EXPECT_TRUE(r.keys[0].down);
         }},
        {"message number 2^32 - 1 at pump 2^32 - 1, twice, and a 64-bit wParam",
         [](auto* b) {
             std::vector<uint8_t> message =
                 Cat({Varint(4294967295), Varint(4294967295), Varint(~0ull), {0}});
             PutFrames(b, Cat({{1, 0x10, 2}, message, message}));
         },
         [](const Replay& r) {
             ASSERT_EQ(r.messages.size(), 2u);
             EXPECT_EQ(r.messages[1].pump, 4294967295u);
             EXPECT_EQ(r.messages[1].message, 4294967295u);
             EXPECT_EQ(r.messages[1].wParam, ~0ull);
         }},
        {"counter 2^63 - 1",
         [](auto* b) {
             PutFrames(b, Cat({{1, 0x01}, Varint(INT64_MAX)}));
         },
         [](const Replay& r) { EXPECT_EQ(r.counters, std::vector<int64_t>{INT64_MAX}); }},
        {"checkpoint at presentation 2^32 - 1",
         [](auto* b) {
             PutCheckpoints(b, Cat({{2, 1}, AnyHash, Varint(4294967294), AnyHash}), 2);
         },
         [](const Replay& r) {
             ASSERT_EQ(r.checkpoints.size(), 2u);
             EXPECT_EQ(r.checkpoints[1].present, 4294967295u);
         }},
    };
    for (const AtLimit& limit : cases) {
        SCOPED_TRACE(limit.what);
        std::vector<uint8_t> bytes = SampleFile();
        limit.make(&bytes);
        Replay replay;
        ASSERT_EQ(DecodeReplay(bytes.data(), bytes.size(), Button, &replay), "");
        limit.check(replay);
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
