// A player's reaction times, read from the presented pictures alone: the game keeps no score, so
// the report watches for its phases by colour. A target shows when the idle background has the
// button at its centre; the frame that turns light blue saw the press, the one that turns dark
// red the miss. The recorder feeds it live, the replayer from a file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/portable/backend.h"

namespace portable {

struct TargetResult {
    double shownSeconds;  // since the first presented frame
    bool hit;
    double reactionMs;  // for a hit: first frame with the button to the first that saw the press
};

class SessionReport {
public:
    // Every presented picture, with the counter's latest answer and its frequency.
    void Presented(const ClientPixels& pixels, int64_t counter, int64_t frequency);

    // Every target seen; the last may still be showing (TargetOpen), with no result yet.
    const std::vector<TargetResult>& Targets() const { return targets_; }
    bool TargetOpen() const { return targetOpen_; }
    // One line per target with a result, then the summary line:
    //   target 1: shown at 1.00 s, hit, 250 ms
    //   target 2: shown at 3.52 s, miss
    //   2 targets: 1 hit, 1 miss, median 250 ms, best 250 ms
    std::string Text() const;

private:
    bool started_ = false;
    int64_t firstCounter_ = 0;
    bool targetOpen_ = false;
    int64_t targetCounter_ = 0;  // the first frame with the button
    std::vector<TargetResult> targets_;
};

}  // namespace portable
