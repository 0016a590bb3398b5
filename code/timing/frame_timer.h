// The frame timer: measures each frame on the high-resolution performance counter and turns it
// into the frame's time step, optionally slowed or sped up by timed scale modifiers, bounded by
// maxDelta, or replaced by a fixed step. Times are seconds in 32-bit floats, counts in ticks.
#pragma once

#include <cstdint>

#include "memory/linked_list.h"

// A request to scale the frame step. `remaining` counts down in real (unscaled) seconds; a value
// of 0 or less when the timer looks at it means the modifier never expires.
struct TimeScaleModifier {
    float remaining;
    float scale;
};

struct FrameTimer {
    int64_t startTicks;        // counter reading taken by the last Reset
    int64_t lastElapsedTicks;  // ticks from startTicks to the previous Update
    int64_t frameTicks;        // ticks between the previous and the latest Update
    float elapsedTime;         // seconds since Reset (fixed-step mode: the sum of fixed steps)
    float rawDelta;            // the latest frame's unscaled step
    float scaledTime;          // sum of every scaledDelta since Reset
    float scaledDelta;         // the latest frame's step after scaling and bounding
    uint32_t frameCount;       // Update calls since Reset; wraps rather than overflowing
    double secondsPerTick;     // 0.0 when the counter reports no usable frequency
    LinkedList<TimeScaleModifier*> modifiers;  // the timer owns the records
    // Settings the owner may change between updates; Reset keeps them.
    float maxDelta;  // upper bound for scaledDelta; 0 or less means none
    bool fixedStep;  // replace measured time by fixedDelta
    float fixedDelta;
};

// Puts a freshly allocated record into its empty state (every field zero, no modifiers, no bound,
// measured time), then Resets it, so the timer counts from now.
void InitFrameTimer(FrameTimer* timer);

// Drops every modifier and starts measuring again from the counter's current reading. When the
// counter has no usable frequency every measured step is 0 from then on; fixed-step mode still
// advances.
void Reset(FrameTimer* timer);

// Advances the timer by one frame: exactly one counter read and no allocation. The caller then
// reads scaledDelta (or the other outputs).
void Update(FrameTimer* timer);

// Releases every modifier record and every list node.
void ClearModifiers(FrameTimer* timer);

// The factor for the current frame: exactly 1 with no modifiers, otherwise the smallest scale in
// the list (a negative scale counts as none yet, so the next entry's scale replaces it).
float EffectiveScale(const FrameTimer* timer);

// Counts timed modifiers down by rawDelta and removes the ones that reach 0 or less.
void ExpireModifiers(FrameTimer* timer, float rawDelta);

// Appends a modifier lasting `remaining` real seconds (0 or less: until cleared) with factor
// `scale`. Returns the record, owned by the timer, or null when memory ran out; nothing is
// leaked or added then.
TimeScaleModifier* AddTimeScaleModifier(FrameTimer* timer, float remaining, float scale);

// Releases the modifiers and the list, then the record itself with EngineFree.
void DestroyFrameTimer(FrameTimer* timer);
