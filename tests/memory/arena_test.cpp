// The block arena: rounding, first fit, splitting, merging and the engine allocation pair.
// Sizes are written in terms of ArenaHeaderSize, so the same figures hold with 24-byte headers
// (32-bit builds) and 32-byte ones (64-bit builds).
#include "memory/arena.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <utility>
#include <vector>

namespace {

constexpr uint32_t H = ArenaHeaderSize;
constexpr uint32_t Total = EngineArenaSize;

std::vector<std::pair<uint32_t, bool>> Layout(const MemoryArena& arena) {
    std::vector<std::pair<uint32_t, bool>> blocks;
    for (const ArenaBlock* block = arena.first; block != nullptr; block = block->next) {
        blocks.emplace_back(block->size, block->inUse != 0);
    }
    return blocks;
}

// Checks the tiling invariants: address order, no gaps, consistent links, no two free neighbours.
void ExpectWellFormed(const MemoryArena& arena) {
    uint64_t covered = 0;
    const ArenaBlock* previous = nullptr;
    for (const ArenaBlock* block = arena.first; block != nullptr; block = block->next) {
        EXPECT_EQ(block->prev, previous);
        EXPECT_EQ(block->owner, &arena);
        if (previous != nullptr) {
            EXPECT_EQ(reinterpret_cast<const uint8_t*>(previous) + H + previous->size,
                      reinterpret_cast<const uint8_t*>(block));
            EXPECT_FALSE(previous->inUse == 0 && block->inUse == 0) << "two free neighbours";
        }
        covered += H + block->size;
        previous = block;
    }
    EXPECT_EQ(covered, arena.totalSize);
}

class ArenaTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ArenaInit(&arena, Total)); }
    void TearDown() override {
        ExpectWellFormed(arena);
        ArenaRelease(&arena);
    }
    MemoryArena arena = {};
};

TEST(ArenaHeader, IsAMultipleOfEightThatHoldsTheFields) {
    EXPECT_EQ(H % 8, 0u);
    EXPECT_GE(H, sizeof(ArenaBlock));
    EXPECT_EQ(H, sizeof(void*) == 4 ? 24u : 32u);
}

TEST_F(ArenaTest, FreshRegionIsOneFreeBlock) {
    EXPECT_EQ(arena.totalSize, Total);
    EXPECT_EQ(Layout(arena), (std::vector<std::pair<uint32_t, bool>>{{Total - H, false}}));
}

TEST_F(ArenaTest, HundredBytesBecomeHundredAndFourAndSplitTheBlock) {
    void* payload = ArenaAllocate(&arena, 100);
    ASSERT_NE(payload, nullptr);
    EXPECT_EQ(static_cast<uint8_t*>(payload), reinterpret_cast<uint8_t*>(arena.first) + H);
    EXPECT_EQ(Layout(arena),
              (std::vector<std::pair<uint32_t, bool>>{{104, true}, {Total - 2 * H - 104, false}}));
    if (H == 24) {
        EXPECT_EQ(arena.first->next->size, 4194152u);
    }
}

TEST_F(ArenaTest, RequestsRoundUpToMultiplesOfEight) {
    for (uint32_t size : {1u, 7u, 8u}) {
        EXPECT_EQ(BlockOf(ArenaAllocate(&arena, size))->size, 8u) << size;
    }
    EXPECT_EQ(BlockOf(ArenaAllocate(&arena, 9))->size, 16u);
    EXPECT_EQ(BlockOf(ArenaAllocate(&arena, 16))->size, 16u);
}

TEST_F(ArenaTest, ZeroBytesGiveAnEmptyPayload) {
    void* payload = ArenaAllocate(&arena, 0);
    ASSERT_NE(payload, nullptr);
    EXPECT_EQ(Layout(arena),
              (std::vector<std::pair<uint32_t, bool>>{{0, true}, {Total - 2 * H, false}}));
    if (H == 24) {
        EXPECT_EQ(arena.first->next->size, 4194256u);
    }
}

TEST_F(ArenaTest, EveryPayloadIsEightByteAligned) {
    for (uint32_t size = 0; size < 64; ++size) {
        EXPECT_EQ(reinterpret_cast<uintptr_t>(ArenaAllocate(&arena, size)) % 8, 0u);
    }
}

// Leaves a free block of exactly `size` bytes at the front, walled in by a used block.
void* CarveFreeBlock(MemoryArena* arena, uint32_t size) {
    void* front = ArenaAllocate(arena, size);
    void* wall = ArenaAllocate(arena, 8);
    ArenaFree(front);
    return wall;
}

TEST_F(ArenaTest, BlockOfRoundedPlusHeaderIsHandedOutWhole) {
    CarveFreeBlock(&arena, 40 + H);
    void* payload = ArenaAllocate(&arena, 40);
    EXPECT_EQ(payload, reinterpret_cast<uint8_t*>(arena.first) + H);
    EXPECT_EQ(arena.first->size, 40 + H);
    EXPECT_TRUE(arena.first->next->inUse);
}

TEST_F(ArenaTest, BlockOfRoundedPlusHeaderPlusEightLeavesAnEightByteFreeBlock) {
    CarveFreeBlock(&arena, 40 + H + 8);
    ArenaAllocate(&arena, 40);
    EXPECT_EQ(arena.first->size, 40u);
    EXPECT_EQ(arena.first->next->size, 8u);
    EXPECT_FALSE(arena.first->next->inUse);
}

TEST_F(ArenaTest, FirstFitTakesTheLowestBlockThatIsLargeEnough) {
    void* a = ArenaAllocate(&arena, 16);
    ArenaAllocate(&arena, 8);
    void* c = ArenaAllocate(&arena, 64);
    ArenaAllocate(&arena, 8);
    ArenaFree(a);
    ArenaFree(c);
    EXPECT_EQ(ArenaAllocate(&arena, 32), c);  // a's 16 bytes are too small
    EXPECT_EQ(ArenaAllocate(&arena, 16), a);
}

TEST_F(ArenaTest, ReleasingBetweenTwoFreeNeighboursMergesAllThree) {
    void* a = ArenaAllocate(&arena, 16);
    void* b = ArenaAllocate(&arena, 32);
    void* c = ArenaAllocate(&arena, 48);
    ArenaAllocate(&arena, 8);
    ArenaFree(a);
    ArenaFree(c);
    ArenaFree(b);
    EXPECT_EQ(arena.first->size, 16 + 32 + 48 + 2 * H);
    EXPECT_FALSE(arena.first->inUse);
}

TEST_F(ArenaTest, ReleasingEverythingInAnyOrderRestoresOneBlock) {
    std::vector<int> order(6);
    std::iota(order.begin(), order.end(), 0);
    do {
        std::vector<void*> blocks;
        for (uint32_t size : {8u, 100u, 0u, 24u, 3000u, 17u}) {
            blocks.push_back(ArenaAllocate(&arena, size));
        }
        for (int i : order) {
            ArenaFree(blocks[i]);
        }
        ASSERT_EQ(Layout(arena), (std::vector<std::pair<uint32_t, bool>>{{Total - H, false}}));
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST_F(ArenaTest, TooLargeARequestFailsAndChangesNothing) {
    ArenaAllocate(&arena, 100);
    auto before = Layout(arena);
    EXPECT_EQ(ArenaAllocate(&arena, Total), nullptr);
    EXPECT_EQ(ArenaAllocate(&arena, Total - 2 * H - 104 + 1), nullptr);
    EXPECT_EQ(Layout(arena), before);
    EXPECT_NE(ArenaAllocate(&arena, Total - 2 * H - 104), nullptr);  // exactly what is left
}

TEST(ArenaLifecycle, EmptyArenaServesNothingAndReleaseEmptiesIt) {
    MemoryArena arena = {};
    EXPECT_EQ(ArenaAllocate(&arena, 8), nullptr);
    ASSERT_TRUE(ArenaInit(&arena, 4096));
    EXPECT_NE(arena.first, nullptr);
    ArenaRelease(&arena);
    EXPECT_EQ(arena.first, nullptr);
    EXPECT_EQ(arena.totalSize, 0u);
}

TEST(ArenaLifecycle, RegionTooSmallForAHeaderIsRefused) {
    MemoryArena arena = {};
    EXPECT_FALSE(ArenaInit(&arena, H));
    EXPECT_EQ(arena.first, nullptr);
    EXPECT_EQ(arena.totalSize, 0u);
}

TEST(EngineAllocation, UsesTheStandardHeapWhileTheArenaIsOff) {
    ASSERT_FALSE(engineHeapActive);
    void* memory = EngineAlloc(1000);
    ASSERT_NE(memory, nullptr);
    std::fill_n(static_cast<uint8_t*>(memory), 1000, 0xAB);  // the sanitizers see the size
    EngineFree(memory);
    EngineFree(nullptr);
}

TEST(EngineAllocation, ServesFromTheActiveArenaWhileSwitchedOn) {
    engineHeapActive = true;
    ASSERT_TRUE(ArenaInit(ActiveArena(), 4096));
    EXPECT_EQ(ActiveArena(), ActiveArena());
    void* memory = EngineAlloc(100);
    EXPECT_EQ(memory, reinterpret_cast<uint8_t*>(ActiveArena()->first) + H);
    EXPECT_EQ(EngineAlloc(8192), nullptr) << "no fall-back to the standard heap";
    EngineFree(memory);
    EngineFree(nullptr);
    EXPECT_EQ(ActiveArena()->first->size, 4096 - H);

    MemoryArena other = {};
    ASSERT_TRUE(ArenaInit(&other, 1024));
    currentArena = &other;
    EXPECT_EQ(ActiveArena(), &other);
    void* fromOther = EngineAlloc(8);
    EXPECT_EQ(BlockOf(fromOther)->owner, &other);
    EngineFree(fromOther);
    currentArena = nullptr;
    ArenaRelease(&other);

    ArenaRelease(ActiveArena());
    engineHeapActive = false;
}

TEST(EngineAllocation, StringBuffersComeFromTheEngineHeapUnlessTheirSwitchIsSet) {
    engineHeapActive = true;
    ASSERT_TRUE(ArenaInit(ActiveArena(), 4096));
    void* empty = AllocateStringBuffer(1);
    EXPECT_EQ(BlockOf(empty)->owner, ActiveArena());
    EngineFree(empty);

    ASSERT_TRUE(ArenaInit(&smallStringArena, 256));
    ASSERT_TRUE(ArenaInit(&stringArena, 256));
    stringArenaActive = true;
    EXPECT_EQ(BlockOf(AllocateStringBuffer(1))->owner, &smallStringArena);
    EXPECT_EQ(BlockOf(AllocateStringBuffer(6))->owner, &stringArena);
    stringArenaActive = false;
    ArenaRelease(&smallStringArena);
    ArenaRelease(&stringArena);
    ArenaRelease(ActiveArena());
    engineHeapActive = false;
}

#if UINTPTR_MAX == 0xFFFFFFFFu
// Only a region off the 8-byte grid has misaligned headers; with 32-bit pointers one at a 4-byte
// offset is still a valid record to read.
TEST(ArenaAlignment, MisalignedBlockGivesUpItsPadAndServesFromTheRealignedRest) {
    alignas(8) static uint8_t region[4 + 512];
    MemoryArena arena = {};
    ArenaBlock* first = reinterpret_cast<ArenaBlock*>(region + 4);
    *first = ArenaBlock{&arena, 0, 512 - H, nullptr, nullptr};
    arena.first = first;
    arena.totalSize = 512;
    // m = 4, pad = 4: a request of 16 needs at least 16 - 4 + 32 bytes.
    void* payload = ArenaAllocate(&arena, 16);
    ASSERT_NE(payload, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(payload) % 8, 0u);
    EXPECT_EQ(first->size, 4u);
    EXPECT_FALSE(first->inUse);
    EXPECT_EQ(first->next, BlockOf(payload));
    EXPECT_EQ(BlockOf(payload)->size, 16u);

    ArenaBlock* tight = reinterpret_cast<ArenaBlock*>(region + 4);
    *tight = ArenaBlock{&arena, 0, 16 - 4 + 31, nullptr, nullptr};
    arena.first = tight;
    EXPECT_EQ(ArenaAllocate(&arena, 16), nullptr)
        << "one byte short of room for the realigned header";
}
#endif

}  // namespace
