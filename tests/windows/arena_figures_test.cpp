// The arena's figures with 32-bit pointers, written out as literal numbers: a 24-byte header, and
// the block sizes that follow from it. The portable tests work from ArenaHeaderSize; these hold
// every 32-bit build (Windows, and the 32-bit Linux build) to the exact values.
#include <gtest/gtest.h>

#include <cstdint>
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

// Sizes and flags of the blocks in address order, after checking that they tile the region.
Layout LayoutOf(const MemoryArena& arena) {
    Layout layout;
    EXPECT_EQ(ArenaCheck(&arena), nullptr);
    for (const ArenaBlockView& block : ArenaBlocks(&arena)) {
        layout.push_back({block.size, block.inUse});
    }
    return layout;
}

class ArenaFigures : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ArenaInit(&arena, EngineArenaSize)); }
    void TearDown() override { ArenaRelease(&arena); }

    uint8_t* Region() const { return reinterpret_cast<uint8_t*>(arena.first); }

    MemoryArena arena = {};
};

TEST_F(ArenaFigures, FreshRegionIsOneBlockBehindOneHeader) {
    EXPECT_EQ(reinterpret_cast<uintptr_t>(arena.first) % 8, 0u);
    EXPECT_EQ(LayoutOf(arena), (Layout{{4194280, false}}));
}

TEST_F(ArenaFigures, RequestsRoundToEightAndSplitBehind24Bytes) {
    void* hundred = ArenaAllocate(&arena, 100);
    EXPECT_EQ(hundred, Region() + 24);
    EXPECT_EQ(LayoutOf(arena), (Layout{{104, true}, {4194152, false}}));

    void* empty = ArenaAllocate(&arena, 0);
    EXPECT_EQ(empty, Region() + 24 + 104 + 24);
    EXPECT_EQ(LayoutOf(arena), (Layout{{104, true}, {0, true}, {4194128, false}}));

    void* one = ArenaAllocate(&arena, 1);
    void* nine = ArenaAllocate(&arena, 9);
    EXPECT_EQ(LayoutOf(arena),
              (Layout{{104, true}, {0, true}, {8, true}, {16, true}, {4194056, false}}));

    // Released in a jumbled order, the blocks merge back into the one free block.
    for (void* payload : {empty, nine, hundred, one}) {
        ArenaFree(payload);
        EXPECT_EQ(ArenaCheck(&arena), nullptr);
    }
    EXPECT_EQ(LayoutOf(arena), (Layout{{4194280, false}}));
}

TEST_F(ArenaFigures, BlockWithin24BytesOfTheRequestGoesWhole) {
    void* first = ArenaAllocate(&arena, 40);
    void* fence = ArenaAllocate(&arena, 8);
    ArenaFree(first);  // a free block of 40 before the fence
    EXPECT_EQ(ArenaAllocate(&arena, 16), first);
    EXPECT_EQ(LayoutOf(arena).front(), (std::pair<uint32_t, bool>{40, true}));  // 16 + 24: whole
    ArenaFree(first);
    EXPECT_EQ(ArenaAllocate(&arena, 8), first);
    EXPECT_EQ(LayoutOf(arena).front(), (std::pair<uint32_t, bool>{8, true}));  // 8 + 32: split
    EXPECT_EQ(LayoutOf(arena)[1], (std::pair<uint32_t, bool>{8, false}));
    ArenaFree(fence);
    EXPECT_EQ(ArenaCheck(&arena), nullptr);
}

// A region four bytes off the 8-byte grid: the block gives up four bytes as a free block of its
// own and serves the request from a realigned header.
TEST(ArenaFiguresMisaligned, RealignsAHeaderFourBytesOffTheGrid) {
    alignas(8) static uint8_t region[256];
    MemoryArena arena = {};
    ArenaInitRegion(&arena, region + 4, 252);
    EXPECT_EQ(LayoutOf(arena), (Layout{{228, false}}));

    void* payload = ArenaAllocate(&arena, 8);
    EXPECT_EQ(payload, region + 4 + 24 + 4 + 24);
    EXPECT_EQ(LayoutOf(arena), (Layout{{4, false}, {8, true}, {168, false}}));

    ArenaFree(payload);
    EXPECT_EQ(LayoutOf(arena), (Layout{{228, false}}));
    ArenaDetach(&arena);
}

TEST(ArenaFiguresMisaligned, SkipsAMisalignedBlockTooSmallToRealign) {
    alignas(8) static uint8_t region[64];
    MemoryArena arena = {};
    ArenaInitRegion(&arena, region + 4, 24 + 35);
    EXPECT_EQ(ArenaAllocate(&arena, 8), nullptr);  // needs 8 - 4 + 32 = 36
    EXPECT_EQ(LayoutOf(arena), (Layout{{35, false}}));
    ArenaDetach(&arena);
    ArenaInitRegion(&arena, region + 4, 24 + 36);
    EXPECT_NE(ArenaAllocate(&arena, 8), nullptr);
    EXPECT_EQ(LayoutOf(arena), (Layout{{4, false}, {8, true}}));
    ArenaDetach(&arena);
}

}  // namespace

#endif
