// The reaction cycle: Idle, Target, Hit and Miss, read from three flags of which at most one is
// set. Durations run in the frame timer's scaled time.
#pragma once

#include <cstdint>

extern bool windowFocused;   // the main window had the focus at this frame's focus test
extern bool targetShown;     // Target
extern bool hitShown;        // Hit
extern bool missShown;       // Miss
extern float phaseElapsed;   // seconds spent in the current phase
extern float phaseDuration;  // seconds after which the current phase ends
extern int32_t targetX;
extern int32_t targetY;
extern int32_t targetWidth;
extern int32_t targetHeight;

// The first state: Idle for FirstWaitTime, the target of the given size centred on the screen.
void ResetReactionCycle(int32_t spriteWidth, int32_t spriteHeight);

// What a step of the cycle did.
enum class PhaseChange {
    None,
    TargetShown,  // Idle to Target
    Missed,       // Target to Miss
    WaitStarted,  // Hit or Miss to Idle
};

// Adds the frame's time and, when the phase has run out, makes at most one transition, which it
// returns. The time by which the phase was overrun is dropped.
PhaseChange AdvanceReactionCycle(float delta);

// Space pressed while the target shows: a hit, whose feedback runs from this frame.
void ScoreHit();

uint32_t BackgroundColour();
bool TargetVisible();
