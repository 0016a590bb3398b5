// Which presented pictures a replay file keeps a hash of: every change of picture, at least one a
// second of counter time, and the last. Hashing a whole picture every frame would cost more than
// a frame, so a change is seen from a cheap signature first, taken where the program says its
// pictures change: one row and one pixel. Recorder and replayer pick with this same code, so
// they pick the same presentations.
#pragma once

#include <cstdint>

#include "platform/portable/backend.h"

namespace portable {

// Where a change of picture shows: a whole row and one pixel, counted from the top left.
struct WatchedPixels {
    int row;
    int x;
    int y;
};

class CheckpointPicker {
public:
    explicit CheckpointPicker(const WatchedPixels& watch) : watch_(watch) {}

    // Presentation number `present` (counted from 0) at counter time `counter`: true, with the
    // picture's ReplayHash, when it is a checkpoint.
    bool Take(uint32_t present, const ClientPixels& pixels, int64_t counter, int64_t frequency,
              uint64_t* hash);
    // The last presentation, when it was not a checkpoint already: true with its number and hash.
    bool TakeLast(const ClientPixels& pixels, uint32_t* present, uint64_t* hash);

private:
    uint64_t Signature(const ClientPixels& pixels) const;

    WatchedPixels watch_;
    bool any_ = false;            // a presentation was seen
    bool lastTaken_ = false;      // the latest presentation is a checkpoint
    uint32_t lastPresent_ = 0;    // the latest presentation's number
    uint64_t signature_ = 0;      // of the latest presentation
    int64_t checkpointTime_ = 0;  // counter time of the latest checkpoint
};

// A 64-bit hash of the client pixels, row by row without the padding: FNV-1a over 8-byte words.
uint64_t HashPixels(const ClientPixels& pixels);

}  // namespace portable
