// What happens in a game, told as it happens to whoever listens: the shell's report of the
// reaction times and the player's history. Each event carries the performance-counter reading of
// the frame that saw it, so a recording played back tells the very same events.
#pragma once

#include <cstdint>

class GameEvents {
public:
    virtual ~GameEvents() = default;

    // The first frame, and how many counter ticks make a second.
    virtual void Started(int64_t counter, int64_t ticksPerSecond) = 0;
    // The target appears.
    virtual void TargetShown(int64_t counter) = 0;
    // Space while the target shows; `reactionTicks` since the frame that showed it.
    virtual void Hit(int64_t counter, int64_t reactionTicks) = 0;
    // The target vanished unhit.
    virtual void Missed(int64_t counter) = 0;
    // Space while no target shows. The game ignores it; a listener may count it.
    virtual void FalseStart(int64_t counter) = 0;
};
