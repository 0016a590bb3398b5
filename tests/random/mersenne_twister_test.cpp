// The process-wide generator against an independent MT19937: the standard library's engine,
// loaded through its textual state with the words of the 69069 seeding (its own seeding is the
// later 1812433253 one, so it cannot simply be constructed with 4357). The generator cannot be
// reset, so every draw here goes through Draw/DrawRange, which count; the reference is then
// moved to the same position whatever tests ran before, in any order. The first draws of a
// generator that has never drawn are checked in a fresh process (random/fresh).
#include "random/mersenne_twister.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <utility>

namespace {

uint64_t drawsSoFar = 0;

uint32_t Draw(uint32_t bound) {
    ++drawsSoFar;
    return RandomInt(bound);
}

float DrawRange(float low, float high) {
    ++drawsSoFar;
    return RandomRange(low, high);
}

// MT19937 seeded as the 1998 publication does: word i is 69069 times word i - 1.
std::mt19937 Reference(uint32_t seed) {
    std::ostringstream words;
    uint32_t word = seed;
    for (int i = 0; i < 624; ++i) {
        words << word << ' ';
        word *= 69069u;
    }
    words << 624;  // the position some libraries keep after the words: all words used
    std::mt19937 engine;
    std::istringstream in(words.str());
    in >> engine;
    EXPECT_FALSE(in.fail());
    return engine;
}

// The reference at the point the process-wide generator has reached.
std::mt19937 ReferenceHere() {
    std::mt19937 engine = Reference(4357);
    engine.discard(drawsSoFar);
    return engine;
}

constexpr uint32_t Published[4] = {3510405877u, 4290933890u, 2191955339u, 564929546u};

TEST(MersenneTwister, FollowsTheReferenceAcrossRefills) {
    // Any 1300 calls in a row take the generator through at least two refills, wherever the
    // tests before left it.
    std::mt19937 reference = ReferenceHere();
    for (int i = 0; i < 1300; ++i) {
        uint64_t call = drawsSoFar + 1;
        ASSERT_EQ(Draw(0xFFFFFFFFu), reference() % 0xFFFFFFFFu) << "call " << call;
    }
}

TEST(MersenneTwisterReference, StartsWithThePublishedSequence) {
    std::mt19937 reference = Reference(4357);
    for (uint32_t expected : Published) {
        EXPECT_EQ(reference(), expected);
    }
}

TEST(RandomInt, IsTheRemainderOfTheNextOutput) {
    std::mt19937 reference = ReferenceHere();
    for (uint32_t bound : {2u, 6u, 10u, 1000u, 10000001u, 0x80000001u}) {
        for (int i = 0; i < 50; ++i) {
            uint32_t value = Draw(bound);
            EXPECT_LT(value, bound);
            EXPECT_EQ(value, reference() % bound) << "bound " << bound;
        }
    }
}

// Bound 0 is outside the contract; it is taken like bound 1 rather than dividing by zero.
TEST(RandomInt, BoundsOneAndZeroGiveZeroAndStillAdvance) {
    for (uint32_t bound : {1u, 0u}) {
        std::mt19937 reference = ReferenceHere();
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Draw(bound), 0u) << "bound " << bound;
        }
        reference.discard(3);
        EXPECT_EQ(Draw(0xFFFFFFFFu), reference() % 0xFFFFFFFFu) << "bound " << bound;
    }
}

// r = output mod 10,000,001 maps to low + r / 10,000,000 × span, worked in double and rounded
// once to float.
float Expected(uint32_t output, float low, float high) {
    double r = output % 10000001u;
    return static_cast<float>(low + r / 1e7 * static_cast<float>(high - low));
}

// Low above high works the same way and stays between them.
TEST(RandomRange, StepsThroughTheSpanByTheDraw) {
    for (auto [low, high] : {std::pair{0.5f, 1.5f}, std::pair{2.5f, -1.0f}}) {
        std::mt19937 reference = ReferenceHere();
        for (int i = 0; i < 200; ++i) {
            float value = DrawRange(low, high);
            EXPECT_EQ(value, Expected(reference(), low, high)) << low << " to " << high;
            EXPECT_GE(value, std::min(low, high));
            EXPECT_LE(value, std::max(low, high));
        }
    }
}

TEST(RandomRange, EqualEndsGiveLowAndStillAdvance) {
    std::mt19937 reference = ReferenceHere();
    EXPECT_EQ(DrawRange(1.75f, 1.75f), 1.75f);
    EXPECT_EQ(DrawRange(-3.0f, -3.0f), -3.0f);
    reference.discard(2);
    EXPECT_EQ(Draw(0xFFFFFFFFu), reference() % 0xFFFFFFFFu);
}

}  // namespace
