// The arena's figures with 32-bit pointers, written out as literal numbers: a 24-byte header, and
// the block sizes that follow from it. The portable tests work from ArenaHeaderSize; these hold
// every 32-bit build (Windows, and the 32-bit Linux build) to the exact values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <utility>
#include <vector>

#include "memory/arena.h"
#include "support/scoped_engine_arena.h"

#if defined(_WIN32) && !defined(_WIN64)
#include "platform/win32.h"
static_assert(sizeof(WNDCLASSEXA) == 48, "the window class record the window registers");
#endif

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(void*) == 4, "a 32-bit build has 32-bit pointers");
static_assert(sizeof(ArenaBlock) == 20, "five fields at 32-bit pointer width");
static_assert(ArenaHeaderSize == 24, "the arena header is exactly 24 bytes");

namespace {

using Layout = std::vector<std::pair<uint32_t, bool>>;

constexpr int32_t Free(int32_t allocation) {
    return ~allocation;
}

// A region, what is done to it, and the blocks it must then hold in address order.
struct Figure {
    uint32_t misalignment;       // bytes the region starts past the 8-byte grid
    uint32_t size;               // 0: a region of EngineArenaSize from the standard heap
    std::vector<int32_t> steps;  // n >= 0 allocates n bytes; Free(i) frees the i-th allocation
    Layout layout;
};

const Figure Figures[] = {
    {0, 0, {}, {{4194280, false}}},
    // Requests round up to eight, and every block costs a 24-byte header.
    {0, 0, {100, 0, 1, 9}, {{104, true}, {0, true}, {8, true}, {16, true}, {4194056, false}}},
    // A free block of 40 goes whole to a request of 16 (16 + 24 leaves no room for another block)
    // and is split for a request of 8 (8 + 24 + 8).
    {0, 0, {40, 8, Free(0), 16}, {{40, true}, {8, true}, {4194184, false}}},
    {0, 0, {40, 8, Free(0), 8}, {{8, true}, {8, false}, {8, true}, {4194184, false}}},
    // Four bytes off the grid the block gives up its four pad bytes as a free block of their own
    // and serves from a realigned header; 8 bytes need 4 + 24 + 8 behind the first header.
    {4, 252, {}, {{228, false}}},
    {4, 252, {8}, {{4, false}, {8, true}, {168, false}}},
    {4, 24 + 35, {8}, {{35, false}}},
    {4, 24 + 36, {8}, {{4, false}, {8, true}}},
};

void PrintTo(const Figure& figure, std::ostream* out) {
    if (figure.size == 0) {
        *out << "the engine's region, ";
    } else {
        *out << figure.size << " bytes " << figure.misalignment << " off the grid, ";
    }
    *out << figure.steps.size() << " steps";
}

// Sizes and flags of the blocks in address order, after checking that they tile the region.
Layout LayoutOf(const MemoryArena& arena) {
    Layout layout;
    EXPECT_EQ(ArenaCheck(&arena), nullptr);
    for (const ArenaBlockView& block : ArenaBlocks(&arena)) {
        layout.push_back({block.size, block.inUse});
    }
    return layout;
}

class ArenaFigures : public ::testing::TestWithParam<Figure> {};

// Each figure's blocks, and the region as it was once everything is freed in a jumbled order.
TEST_P(ArenaFigures, BlocksTileTheRegionWithTheExactSizes) {
    const Figure& figure = GetParam();
    alignas(8) static uint8_t small[256];
    MemoryArena arena = {};
    if (figure.size == 0) {
        ASSERT_TRUE(ArenaInit(&arena, EngineArenaSize));
        EXPECT_EQ(reinterpret_cast<uintptr_t>(arena.first) % 8, 0u);
    } else {
        ArenaInitRegion(&arena, small + figure.misalignment, figure.size);
    }
    Layout fresh = LayoutOf(arena);
    std::vector<void*> payloads;
    for (int32_t step : figure.steps) {
        if (step >= 0) {
            payloads.push_back(ArenaAllocate(&arena, static_cast<uint32_t>(step)));
        } else {
            ArenaFree(std::exchange(payloads[~step], nullptr));
        }
    }
    EXPECT_EQ(LayoutOf(arena), figure.layout);
    for (void* payload : payloads) {
        EXPECT_TRUE(payload == nullptr || ArenaOwns(&arena, payload)) << "24 bytes past a header";
    }
    std::rotate(payloads.begin(), payloads.begin() + payloads.size() / 2, payloads.end());
    for (void* payload : payloads) {
        if (payload != nullptr) {
            ArenaFree(payload);
            EXPECT_EQ(ArenaCheck(&arena), nullptr);
        }
    }
    EXPECT_EQ(LayoutOf(arena), fresh);
    figure.size == 0 ? ArenaRelease(&arena) : ArenaDetach(&arena);
}

INSTANTIATE_TEST_SUITE_P(ThirtyTwoBit, ArenaFigures, ::testing::ValuesIn(Figures));

}  // namespace

#endif
