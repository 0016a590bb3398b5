// Phase changes of the reaction cycle and what each phase looks like.
#include "projects/taspo/reaction_cycle.h"

#include "projects/taspo/game_constants.h"
#include "random/mersenne_twister.h"

bool windowFocused = false;
bool targetShown = false;
bool hitShown = false;
bool missShown = false;
float phaseElapsed = 0.0f;
float phaseDuration = 0.0f;
int32_t targetX = 0;
int32_t targetY = 0;
int32_t targetWidth = 0;
int32_t targetHeight = 0;

void ResetReactionCycle(int32_t spriteWidth, int32_t spriteHeight) {
    targetShown = false;
    hitShown = false;
    missShown = false;
    phaseElapsed = 0.0f;
    phaseDuration = FirstWaitTime;
    targetWidth = spriteWidth;
    targetHeight = spriteHeight;
    // C++ division truncates toward zero: a 515-pixel image lands at -1, not -2.
    targetX = (ScreenWidth - targetWidth) / 2;
    targetY = (ScreenHeight - targetHeight) / 2;
}

PhaseChange AdvanceReactionCycle(float delta) {
    phaseElapsed = phaseElapsed + delta;
    if (!(phaseElapsed >= phaseDuration)) {
        return PhaseChange::None;
    }
    phaseElapsed = 0.0f;
    if (targetShown) {
        targetShown = false;
        missShown = true;
        phaseDuration = MissTime;
        return PhaseChange::Missed;
    }
    if (hitShown || missShown) {
        hitShown = false;
        missShown = false;
        phaseDuration = RandomRange(WaitTimeMin, WaitTimeMax);
        return PhaseChange::WaitStarted;
    }
    targetShown = true;
    phaseDuration = RandomRange(TargetTimeMin, TargetTimeMax);
    return PhaseChange::TargetShown;
}

void ScoreHit() {
    targetShown = false;
    phaseElapsed = 0.0f;
    hitShown = true;
    phaseDuration = HitTime;
}

uint32_t BackgroundColour() {
    if (hitShown) {
        return ColourHit;
    }
    return missShown ? ColourMiss : ColourIdle;
}

bool TargetVisible() {
    return targetShown || hitShown;
}
