// MT19937 as published in 1998, with the linear-congruential (69069) seeding: one generator in
// static storage, refilled whole every 624 outputs.
#include "random/mersenne_twister.h"

namespace {

constexpr uint32_t StateSize = 624;
constexpr uint32_t MiddleDistance = 397;
constexpr uint32_t Unseeded = StateSize + 1;
constexpr uint32_t SeedMultiplier = 69069;
constexpr uint32_t UpperMask = 0x80000000u;
constexpr uint32_t LowerMask = 0x7FFFFFFFu;
constexpr uint32_t TwistTable[2] = {0, 0x9908B0DFu};
constexpr uint32_t RangeBound = 10000001;
constexpr double RangeDivisor = 10000000.0;

struct MersenneTwister {
    uint32_t state[StateSize];
    uint32_t index;  // next word to hand out; StateSize: all used; Unseeded: never seeded
};

MersenneTwister generator = {{}, Unseeded};

void Seed(uint32_t seed) {
    generator.state[0] = seed;
    for (uint32_t i = 1; i < StateSize; ++i) {
        generator.state[i] = SeedMultiplier * generator.state[i - 1];
    }
}

// The next value of word k, from its current value, the word after it and the word
// MiddleDistance further on (wrapping round).
uint32_t Twist(uint32_t word, uint32_t next, uint32_t middle) {
    uint32_t y = (word & UpperMask) | (next & LowerMask);
    return middle ^ (y >> 1) ^ TwistTable[y & 1];
}

// Replaces the words in increasing order, so later words combine with ones already replaced. The
// three loops are the one loop over k with its indices taken modulo StateSize, split where they
// wrap, so no index needs a division.
void Regenerate() {
    uint32_t* state = generator.state;
    constexpr uint32_t Wrap = StateSize - MiddleDistance;
    for (uint32_t k = 0; k < Wrap; ++k) {
        state[k] = Twist(state[k], state[k + 1], state[k + MiddleDistance]);
    }
    for (uint32_t k = Wrap; k < StateSize - 1; ++k) {
        state[k] = Twist(state[k], state[k + 1], state[k - Wrap]);
    }
    state[StateSize - 1] = Twist(state[StateSize - 1], state[0], state[MiddleDistance - 1]);
    generator.index = 0;
}

uint32_t NextOutput() {
    if (generator.index >= StateSize) {
        if (generator.index == Unseeded) {
            Seed(RandomSeed);
        }
        Regenerate();
    }
    uint32_t y = generator.state[generator.index++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

}  // namespace

uint32_t RandomInt(uint32_t bound) {
    uint32_t output = NextOutput();
    return bound != 0 ? output % bound : 0;
}

float RandomRange(float low, float high) {
    float span = high - low;
    uint32_t r = RandomInt(RangeBound);
    double result = static_cast<double>(low) + static_cast<double>(r) / RangeDivisor * span;
    return static_cast<float>(result);
}
