// Which presented pictures a replay file keeps a hash of: every change of phase, at least one a
// second of counter time, and the last. Hashing a whole 688 KB picture every frame would cost
// more than the frame, so a change is seen from a cheap signature first: the centre row, where
// the button is, and a corner, which has the phase's background. Recorder and replayer pick
// with this same code, so they pick the same presentations.
#pragma once

#include <cstdint>

#include "platform/portable/backend.h"

namespace portable {

class CheckpointPicker {
public:
    // Presentation number `present` (counted from 0) at counter time `counter`: true, with the
    // picture's ReplayHash, when it is a checkpoint.
    bool Take(uint32_t present, const ClientPixels& pixels, int64_t counter, int64_t frequency,
              uint64_t* hash);
    // The last presentation, when it was not a checkpoint already: true with its number and hash.
    bool TakeLast(const ClientPixels& pixels, uint32_t* present, uint64_t* hash);

private:
    bool any_ = false;            // a presentation was seen
    bool lastTaken_ = false;      // the latest presentation is a checkpoint
    uint32_t lastPresent_ = 0;    // the latest presentation's number
    uint64_t signature_ = 0;      // of the latest presentation
    int64_t checkpointTime_ = 0;  // counter time of the latest checkpoint
};

// A 64-bit hash of the client pixels, row by row without the padding: FNV-1a over 8-byte words.
uint64_t HashPixels(const ClientPixels& pixels);

}  // namespace portable
