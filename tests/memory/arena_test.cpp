// The block arena: rounding, first fit, splitting, merging, realignment, the requests and releases
// it must refuse, and the engine allocation pair. Sizes are written in terms of ArenaHeaderSize,
// so the same figures hold with 24-byte headers (32-bit builds) and 32-byte ones (64-bit builds).
// Every change to an arena is followed by its checker; blocks are read only through it.
#include "memory/arena.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <numeric>
#include <ostream>
#include <utility>
#include <vector>

#include "memory/array.h"
#include "support/scoped_engine_arena.h"

void PrintTo(const ArenaBlockView& block, std::ostream* out) {
    *out << "{offset " << block.offset << ", size " << block.size
         << (block.inUse ? ", in use}" : ", free}");
}

namespace {

constexpr uint32_t H = ArenaHeaderSize;
constexpr uint32_t Total = EngineArenaSize;

// The blocks a region tiled with these payload sizes has, in address order from offset 0.
std::vector<ArenaBlockView> Tiling(std::initializer_list<std::pair<uint32_t, bool>> blocks) {
    std::vector<ArenaBlockView> views;
    uint32_t offset = 0;
    for (const auto& [size, inUse] : blocks) {
        views.push_back(ArenaBlockView{offset, size, inUse});
        offset += H + size;
    }
    return views;
}

::testing::AssertionResult Sound(const MemoryArena& arena) {
    const char* problem = ArenaCheck(&arena);
    if (problem == nullptr) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << problem;
}

class ArenaTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine.Ready());
        ASSERT_TRUE(Sound(arena));
    }

    // The arena's operations, each followed by the checker.
    void* Allocate(uint32_t size) {
        void* payload = ArenaAllocate(&arena, size);
        EXPECT_TRUE(Sound(arena)) << "after allocating " << size;
        return payload;
    }
    void Free(void* payload) {
        ArenaFree(payload);
        EXPECT_TRUE(Sound(arena)) << "after releasing";
    }
    uint32_t SizeOf(void* payload) const {
        for (const ArenaBlockView& block : engine.Blocks()) {
            if (Region() + block.offset + H == payload) {
                return block.size;
            }
        }
        ADD_FAILURE() << "not a payload of the arena";
        return 0;
    }
    uint8_t* Region() const { return reinterpret_cast<uint8_t*>(arena.first); }
    std::vector<ArenaBlockView> Blocks() const { return engine.Blocks(); }

    ScopedEngineArena engine{Total};
    MemoryArena& arena = engine.arena;
};

TEST(ArenaHeader, IsAMultipleOfEightThatHoldsTheFields) {
    EXPECT_EQ(H % 8, 0u);
    EXPECT_GE(H, sizeof(ArenaBlock));
    EXPECT_EQ(H, sizeof(void*) == 4 ? 24u : 32u);
}

TEST_F(ArenaTest, FreshRegionIsOneFreeBlock) {
    EXPECT_EQ(arena.totalSize, Total);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(Region()) % 8, 0u);
    EXPECT_EQ(Blocks(), Tiling({{Total - H, false}}));
}

TEST_F(ArenaTest, HundredBytesBecomeHundredAndFourAndSplitTheBlock) {
    void* payload = Allocate(100);
    EXPECT_EQ(payload, Region() + H);
    EXPECT_EQ(Blocks(), Tiling({{104, true}, {Total - 2 * H - 104, false}}));
}

TEST_F(ArenaTest, RequestsRoundUpToMultiplesOfEight) {
    for (uint32_t size : {1u, 7u, 8u}) {
        EXPECT_EQ(SizeOf(Allocate(size)), 8u) << size;
    }
    EXPECT_EQ(SizeOf(Allocate(9)), 16u);
    EXPECT_EQ(SizeOf(Allocate(16)), 16u);
}

TEST_F(ArenaTest, ZeroBytesGiveAnEmptyPayload) {
    void* payload = Allocate(0);
    EXPECT_EQ(payload, Region() + H);
    EXPECT_EQ(Blocks(), Tiling({{0, true}, {Total - 2 * H, false}}));
}

TEST_F(ArenaTest, EveryPayloadIsEightByteAligned) {
    for (uint32_t size = 0; size < 64; ++size) {
        EXPECT_EQ(reinterpret_cast<uintptr_t>(Allocate(size)) % 8, 0u);
    }
}

// Sizes whose rounding, or whose sum with a header and an alignment pad, would wrap around 32
// bits are refused; wrapped, 0xFFFFFFF9 would round to 0 and hand out an empty block.
TEST_F(ArenaTest, RequestsThatWouldWrapAreRefused) {
    void* payload = Allocate(100);
    std::vector<ArenaBlockView> before = Blocks();
    for (uint32_t size : {0xFFFFFFF9u, 0xFFFFFFFFu, 0xFFFFFFF8u, ArenaLargestRequest + 1}) {
        EXPECT_EQ(Allocate(size), nullptr) << std::hex << size;
    }
    EXPECT_EQ(Blocks(), before);
    Free(payload);
}

TEST(ArenaHugeSizes, AnArrayCannotGrowPastWhatTheArenaCanServe) {
    ScopedEngineArena engine(64 * 1024);
    Array<uint8_t> bytes = {};
    EXPECT_FALSE(bytes.SetCapacity(0xFFFFFFF9u));
    EXPECT_FALSE(bytes.SetCapacity(ArenaLargestRequest + 1));
    EXPECT_EQ(bytes.data, nullptr);
    EXPECT_EQ(bytes.capacity, 0u);
    EXPECT_TRUE(engine.AllFree());

    // With the engine heap off the guard holds as well: the standard heap is never asked.
    engineHeapActive = false;
    EXPECT_FALSE(bytes.SetCapacity(0xFFFFFFF9u));
    EXPECT_EQ(bytes.data, nullptr);
    engineHeapActive = true;
}

TEST_F(ArenaTest, BlockOfRoundedPlusHeaderIsHandedOutWhole) {
    void* front = Allocate(40 + H);
    Allocate(8);
    Free(front);
    EXPECT_EQ(Allocate(40), front);
    EXPECT_EQ(Blocks().front(), (ArenaBlockView{0, 40 + H, true}));
    EXPECT_TRUE(Blocks()[1].inUse);
}

TEST_F(ArenaTest, BlockOfRoundedPlusHeaderPlusEightLeavesAnEightByteFreeBlock) {
    void* front = Allocate(40 + H + 8);
    Allocate(8);
    Free(front);
    EXPECT_EQ(Allocate(40), front);
    std::vector<ArenaBlockView> blocks = Blocks();
    EXPECT_EQ(blocks[0], (ArenaBlockView{0, 40, true}));
    EXPECT_EQ(blocks[1], (ArenaBlockView{H + 40, 8, false}));
}

// A best fit would take the 32-byte block that matches exactly; the first fit takes the lower one.
TEST_F(ArenaTest, FirstFitTakesTheLowestBlockThatIsLargeEnough) {
    void* small = Allocate(16);
    Allocate(8);
    void* low = Allocate(64);
    Allocate(8);
    void* high = Allocate(32);
    Allocate(8);
    Free(small);
    Free(low);
    Free(high);
    EXPECT_EQ(Allocate(32), low) << "the 16-byte block is too small; the 64-byte one comes first";
    EXPECT_EQ(Allocate(16), small);
    EXPECT_EQ(Allocate(32), high);
}

TEST_F(ArenaTest, ReleasingBetweenTwoFreeNeighboursMergesAllThree) {
    void* a = Allocate(16);
    void* b = Allocate(32);
    void* c = Allocate(48);
    Allocate(8);
    Free(a);
    Free(c);
    Free(b);
    EXPECT_EQ(Blocks().front(), (ArenaBlockView{0, 16 + 32 + 48 + 2 * H, false}));
}

TEST_F(ArenaTest, ReleasingEverythingInAnyOrderRestoresOneBlock) {
    std::vector<int> order(6);
    std::iota(order.begin(), order.end(), 0);
    do {
        std::vector<void*> blocks;
        for (uint32_t size : {8u, 100u, 0u, 24u, 3000u, 17u}) {
            blocks.push_back(Allocate(size));
        }
        for (int i : order) {
            Free(blocks[i]);
        }
        ASSERT_EQ(Blocks(), Tiling({{Total - H, false}}));
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST_F(ArenaTest, TooLargeARequestFailsAndChangesNothing) {
    Allocate(100);
    std::vector<ArenaBlockView> before = Blocks();
    EXPECT_EQ(Allocate(Total), nullptr);
    EXPECT_EQ(Allocate(Total - 2 * H - 104 + 1), nullptr);
    EXPECT_EQ(Blocks(), before);
    EXPECT_NE(Allocate(Total - 2 * H - 104), nullptr);  // exactly what is left
}

// b is released twice after a has absorbed it: the stale header would make a count b's bytes
// twice. Both releases of a pointer no arena handed out are ignored as well.
TEST_F(ArenaTest, ADoubleFreeOrAForeignPointerLeavesTheArenaIntact) {
    void* a = Allocate(16);
    void* b = Allocate(32);
    void* c = Allocate(48);
    Free(b);
    Free(a);
    std::vector<ArenaBlockView> before = Blocks();
    Free(b);
    EXPECT_EQ(Blocks(), before);
    Free(a);
    EXPECT_EQ(Blocks(), before);

    std::memset(c, 0xA5, 48);
    Free(static_cast<uint8_t*>(c) + 8);  // inside a payload
    Free(static_cast<uint8_t*>(c) + 48);
    EXPECT_EQ(Blocks(), before);

    // A look-alike header outside the region that names this arena.
    struct {
        alignas(8) uint8_t header[H];
        uint64_t payload;
    } fake = {};
    ArenaBlock lookalike{&arena, 1, 8, nullptr, nullptr};
    std::memcpy(fake.header, &lookalike, sizeof(lookalike));
    Free(&fake.payload);
    EXPECT_EQ(Blocks(), before);
    Free(nullptr);
    EXPECT_EQ(Blocks(), before);

    // Once a's memory is handed out again, a stale release of a is the release of the new block.
    EXPECT_EQ(Allocate(16), a);
    Free(a);
    EXPECT_EQ(Blocks(), before);
    Free(c);
}

// A region off the 8-byte grid, as a caller-supplied region may be: the first header sits four
// bytes off, so the block gives up its pad bytes as a free block of their own and serves the
// request from a realigned header. Needs rounded + H + pad bytes; one fewer is not enough.
TEST(ArenaAlignment, AMisalignedBlockGivesUpItsPadAndServesFromTheRealignedRest) {
    constexpr uint32_t Pad = 4;
    uint8_t* storage = static_cast<uint8_t*>(std::malloc(512 + 8));
    ASSERT_NE(storage, nullptr);
    ASSERT_EQ(reinterpret_cast<uintptr_t>(storage) % 8, 0u);
    MemoryArena arena = {};
    ASSERT_TRUE(ArenaInitRegion(&arena, storage + 8 - Pad, 512));
    ASSERT_TRUE(Sound(arena));

    void* payload = ArenaAllocate(&arena, 16);
    ASSERT_TRUE(Sound(arena));
    EXPECT_EQ(payload, storage + 8 + H + H);
    EXPECT_EQ(ArenaBlocks(&arena),
              Tiling({{Pad, false}, {16, true}, {512 - 3 * H - Pad - 16, false}}));
    ArenaFree(payload);
    ASSERT_TRUE(Sound(arena));
    EXPECT_EQ(ArenaBlocks(&arena), Tiling({{512 - H, false}}));
    ArenaDetach(&arena);

    for (uint32_t room : {16 + H + Pad - 1, 16 + H + Pad}) {
        ASSERT_TRUE(ArenaInitRegion(&arena, storage + 8 - Pad, H + room));
        void* served = ArenaAllocate(&arena, 16);
        EXPECT_TRUE(Sound(arena));
        if (room < 16 + H + Pad) {
            EXPECT_EQ(served, nullptr) << "one byte short of room for the realigned header";
        } else {
            EXPECT_EQ(served, storage + 8 + H + H);
            EXPECT_EQ(ArenaBlocks(&arena), Tiling({{Pad, false}, {16, true}}));
        }
        ArenaDetach(&arena);
    }
    std::free(storage);
}

TEST(ArenaLifecycle, EmptyArenaServesNothingAndReleaseEmptiesIt) {
    MemoryArena arena = {};
    EXPECT_EQ(ArenaAllocate(&arena, 8), nullptr);
    EXPECT_TRUE(Sound(arena));
    ASSERT_TRUE(ArenaInit(&arena, 4096));
    EXPECT_NE(arena.first, nullptr);
    EXPECT_TRUE(Sound(arena));
    ArenaRelease(&arena);
    EXPECT_EQ(arena.first, nullptr);
    EXPECT_EQ(arena.totalSize, 0u);
}

// A caller's region smaller than a header is refused untouched; one header's worth is one empty
// free block.
TEST(ArenaLifecycle, RegionTooSmallForAHeaderIsRefused) {
    MemoryArena arena = {};
    EXPECT_FALSE(ArenaInit(&arena, H));
    EXPECT_EQ(arena.first, nullptr);
    EXPECT_EQ(arena.totalSize, 0u);

    std::vector<uint8_t> storage(2 * H, 0xA5);
    for (uint32_t size : {0u, 1u, H - 1}) {
        arena = {reinterpret_cast<ArenaBlock*>(storage.data() + H), 99};
        EXPECT_FALSE(ArenaInitRegion(&arena, storage.data(), size)) << size;
        EXPECT_EQ(arena.first, nullptr);
        EXPECT_EQ(arena.totalSize, 0u);
        EXPECT_EQ(storage, std::vector<uint8_t>(2 * H, 0xA5)) << size;
    }
    ASSERT_TRUE(ArenaInitRegion(&arena, storage.data(), H));
    EXPECT_TRUE(Sound(arena));
    EXPECT_EQ(ArenaBlocks(&arena), Tiling({{0, false}}));
    ArenaDetach(&arena);
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
    EXPECT_EQ(ArenaBlocks(ActiveArena()), Tiling({{4096 - H, false}}));

    {
        ScopedEngineArena other(1024);
        EXPECT_EQ(ActiveArena(), &other.arena);
        void* fromOther = EngineAlloc(8);
        EXPECT_TRUE(other.Owns(fromOther));
        EngineFree(fromOther);
        EXPECT_TRUE(other.AllFree());
    }
    EXPECT_EQ(currentArena, nullptr);

    ArenaRelease(ActiveArena());
    engineHeapActive = false;
}

TEST(EngineAllocation, StringBuffersComeFromTheEngineHeapUnlessTheirSwitchIsSet) {
    ScopedEngineArena engine(4096);
    void* empty = AllocateStringBuffer(1);
    EXPECT_TRUE(engine.Owns(empty));
    EngineFree(empty);

    ASSERT_TRUE(ArenaInit(&smallStringArena, 256));
    ASSERT_TRUE(ArenaInit(&stringArena, 256));
    stringArenaActive = true;
    EXPECT_NE(AllocateStringBuffer(1), nullptr);
    EXPECT_NE(AllocateStringBuffer(6), nullptr);
    stringArenaActive = false;
    EXPECT_EQ(ArenaBlocks(&smallStringArena), Tiling({{8, true}, {256 - 2 * H - 8, false}}));
    EXPECT_EQ(ArenaBlocks(&stringArena), Tiling({{8, true}, {256 - 2 * H - 8, false}}));
    EXPECT_TRUE(Sound(smallStringArena));
    EXPECT_TRUE(Sound(stringArena));
    EXPECT_TRUE(engine.AllFree());
    ArenaRelease(&smallStringArena);
    ArenaRelease(&stringArena);
}

#if ARENA_POISONING
// The sanitizer sees inside the arena: past the bytes asked for, in a released block and in a
// header, every access is reported.
using ArenaPoisoningDeathTest = ArenaTest;

TEST_F(ArenaPoisoningDeathTest, TheSanitizerReportsOverflowsAndUsesAfterRelease) {
    volatile uint8_t* block = static_cast<uint8_t*>(Allocate(16));
    volatile uint8_t* rounded = static_cast<uint8_t*>(Allocate(13));
    volatile uint8_t* freed = static_cast<uint8_t*>(Allocate(32));
    Allocate(8);
    block[15] = 1;
    rounded[12] = 1;
    Free(const_cast<uint8_t*>(freed));
    EXPECT_DEATH(block[16] = 1, "use-after-poison|heap-buffer-overflow");
    EXPECT_DEATH(rounded[13] = 1, "use-after-poison");
    EXPECT_DEATH(static_cast<void>(freed[0]), "use-after-poison");
    EXPECT_DEATH(static_cast<void>(block[-1]), "use-after-poison");
}
#endif

}  // namespace
