// A player's reaction times, from what the game tells as it happens: each target, whether it was
// hit and how fast, and the presses with nothing to hit. The shell listens while a game is played,
// recorded or replayed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "projects/taspo/game_events.h"
#include "projects/taspo/history/game_record.h"
#include "projects/taspo/history/measures.h"

// A target's time since the first frame, and for a hit the time from the frame that showed it to
// the one that saw the press.
using TargetResult = KeptTarget;

class SessionReport : public GameEvents {
public:
    void Started(int64_t counter, int64_t ticksPerSecond) override;
    void TargetShown(int64_t counter) override;
    void Hit(int64_t counter, int64_t reactionTicks) override;
    void Missed(int64_t counter) override;
    void FalseStart(int64_t counter) override;

    // Every target shown; the last may still be showing when the game ended, with no result.
    const std::vector<TargetResult>& Targets() const { return targets_; }
    const std::vector<double>& FalseStarts() const { return falseStarts_; }
    // The targets that ended and the false starts, as the history keeps them; the caller adds
    // when and by which version the game was played.
    GameRecord Record() const;
    // The measures of the targets that ended.
    Measures Measured() const;
    // One line per target with a result, then the summary line:
    //   target 1: shown at 1.00 s, hit, 250 ms
    //   target 2: shown at 3.52 s, miss
    //   2 targets: 1 hit, 1 miss, median 250 ms, best 250 ms
    std::string Text() const;

private:
    double Seconds(int64_t ticks) const { return static_cast<double>(ticks) / perSecond_; }

    int64_t firstCounter_ = 0;
    double perSecond_ = 1.0;
    bool targetOpen_ = false;  // the last target has no result yet
    std::vector<double> falseStarts_;
    std::vector<TargetResult> targets_;
};
