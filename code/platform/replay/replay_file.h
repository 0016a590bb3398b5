// The replay file: what each frame's Win32 calls returned, never the game's state. A header says
// what was played (the counter's frequency, the generator's seed, the display, the data file), then
// come the frames, the picture checkpoints and a trailer. Every number is written byte by byte,
// little-endian or as a varint, so the file is the same on every build; the reader trusts nothing
// in it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/portable/backend.h"

namespace portable {

constexpr char ReplayMagic[4] = {'T', 'S', 'P', 'R'};
constexpr uint32_t ReplayFormatVersion = 1;
constexpr uint32_t ReplayMaxModeAnswers = 32;
constexpr size_t ReplayMaxVersionLength = 64;

// The answers that do not change from frame to frame.
struct ReplayHeader {
    int64_t counterFrequency = 0;
    uint32_t seed = 0;
    bool desktopKnown = false;  // DesktopMode answered
    DisplayMode desktop{};
    int clientWidth = 0;  // the window's client size; 0 when none was opened
    int clientHeight = 0;
    uint32_t modeAnswerCount = 0;  // ChangeMode calls, in order, at most ReplayMaxModeAnswers
    uint32_t modeAnswers = 0;      // bit i: call i succeeded
    uint64_t buttonHash = 0;       // ReplayHash of the button.bmp bytes played
};

// An answer that differs from the one before it is stored with the number of the call, counted
// from the frame's start, that received it, so answers are served in exactly the order asked.
struct ReplayKeyChange {
    uint32_t call;  // IsKeyDown calls of the frame before this one
    uint8_t key;
    bool down;
};

struct ReplayFocusChange {
    uint32_t call;  // WindowHasFocus calls of the frame before this one
    bool focused;
};

// A message the machine posted to the window while PumpEvents ran.
struct ReplayMessage {
    uint32_t pump;  // PumpEvents calls of the frame before this one
    uint32_t message;
    uint64_t wParam;
    int64_t lParam;
};

// A frame runs from one YieldThread call to the next; its events are the ranges of the flat
// arrays of the Replay that end at these indices.
struct ReplayFrame {
    uint32_t counterEnd;
    uint32_t keyEnd;
    uint32_t focusEnd;
    uint32_t messageEnd;
    uint32_t quitEnd;
};

// A frame can present more than once (WM_PAINT), so a checkpoint names the presentation.
struct ReplayCheckpoint {
    uint32_t present;  // presentations before this one
    uint64_t hash;     // HashPixels of the presented client pixels
};

// A decoded file.
struct Replay {
    ReplayHeader header;
    std::vector<ReplayFrame> frames;
    std::vector<int64_t> counters;  // every Counter answer, in order
    std::vector<ReplayKeyChange> keys;
    std::vector<ReplayFocusChange> focus;
    std::vector<ReplayMessage> messages;
    std::vector<uint32_t> quits;  // pumps, counted within their frame, at which a quit was taken
    std::vector<ReplayCheckpoint> checkpoints;
};

// The answers of one frame as the recorder collects them.
struct ReplayFrameEvents {
    std::vector<int64_t> counters;
    std::vector<ReplayKeyChange> keys;
    std::vector<ReplayFocusChange> focus;
    std::vector<ReplayMessage> messages;
    std::vector<uint32_t> quits;

    void Clear();
};

// FNV-1a, 64 bits.
uint64_t ReplayHash(const uint8_t* bytes, size_t size, uint64_t hash = 14695981039346656037ull);

// Builds the frames section one frame at a time. The counter answers are stored as deltas from
// the previous answer, which must not be smaller.
class ReplayFrameWriter {
public:
    void Append(const ReplayFrameEvents& events);
    uint32_t FrameCount() const { return frames_; }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    uint32_t frames_ = 0;
    int64_t lastCounter_ = 0;
};

// The whole file.
std::vector<uint8_t> EncodeReplay(const ReplayHeader& header, const ReplayFrameWriter& frames,
                                  const std::vector<ReplayCheckpoint>& checkpoints);

// Decodes `size` bytes into `replay`. Returns an empty string, or why the file cannot be
// replayed here, in a few words without the file's name. `buttonHash` is the ReplayHash of the
// button.bmp this machine would play. Past these limits a file is refused: a version text of 64
// bytes, 32 display-mode answers, a client area of 65536 by 65536, key code 255, message, call
// and presentation numbers of 2^32 - 1, a counter of 2^63 - 1, numbers of 64 bits, and counts of
// as many items as there are bytes left after them.
std::string DecodeReplay(const uint8_t* bytes, size_t size, uint64_t buttonHash, Replay* replay);

// Reads and decodes a file: an empty string, or one line `FILE: reason`.
std::string ReadReplayFile(const char* path, uint64_t buttonHash, Replay* replay);

// Writes `bytes` to path.tmp and renames it to `path`, so no half-written file is ever left
// under the name: an empty string, or one line `FILE: reason`.
std::string WriteReplayFile(const char* path, const std::vector<uint8_t>& bytes);

// The ReplayHash of a file's bytes; false when it cannot be read.
bool HashFile(const char* path, uint64_t* hash);

}  // namespace portable
