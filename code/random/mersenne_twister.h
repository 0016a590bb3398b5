// The process-wide random generator: MT19937 with the 69069 seeding, seeded with 4357 on first
// use, so every run draws the same sequence. Not for concurrent use.
#pragma once

#include <cstdint>

// The seed of the first use; a replay file records it, since every draw follows from it.
constexpr uint32_t RandomSeed = 4357;

// The next generator output modulo bound (the plain remainder, with its slight bias). Bound 0
// has no values below it: the call still consumes an output and returns 0.
uint32_t RandomInt(uint32_t bound);

// A value from low to high, both ends included, in steps of (high - low) / 10,000,000; with low
// above high it lies between them just the same.
float RandomRange(float low, float high);
