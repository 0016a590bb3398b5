// The heap checker: silent on every arena the allocator can make, and naming each invariant a
// stray write can break.
#include "memory/arena_check.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint32_t H = ArenaHeaderSize;

class ArenaCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ArenaInit(&arena, 1024));
        a = ArenaAllocate(&arena, 16);
        b = ArenaAllocate(&arena, 32);
        ArenaAllocate(&arena, 8);
        ArenaFree(a);
        ASSERT_EQ(ArenaCheck(&arena), nullptr);
    }
    void TearDown() override { ArenaRelease(&arena); }
    MemoryArena arena = {};
    void* a = nullptr;
    void* b = nullptr;
};

TEST_F(ArenaCheckTest, VisitsEveryBlockInAddressOrder) {
    std::vector<ArenaBlockView> seen;
    auto collect = [](const ArenaBlockView& block, void* context) {
        static_cast<std::vector<ArenaBlockView>*>(context)->push_back(block);
    };
    ASSERT_EQ(ArenaCheck(&arena, collect, &seen), nullptr);
    ASSERT_EQ(seen.size(), 4u);
    const uint32_t offsets[] = {0, H + 16, 2 * H + 48, 3 * H + 56};
    const uint32_t sizes[] = {16, 32, 8, 1024 - 4 * H - 56};
    const bool used[] = {false, true, true, false};
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].offset, offsets[i]) << i;
        EXPECT_EQ(seen[i].size, sizes[i]) << i;
        EXPECT_EQ(seen[i].inUse, used[i]) << i;
    }
}

TEST_F(ArenaCheckTest, NamesEachBrokenInvariant) {
    ArenaBlock* block = BlockOf(b);
    ArenaBlock saved = *block;
    auto expectBroken = [&](const char* what) {
        EXPECT_NE(ArenaCheck(&arena), nullptr) << what;
        *block = saved;
        EXPECT_EQ(ArenaCheck(&arena), nullptr) << what;
    };
    block->size += 8;
    expectBroken("a size that overlaps the next header");
    block->prev = nullptr;
    expectBroken("a prev link that skips a block");
    block->next = block;
    expectBroken("a next link that loops");
    block->owner = nullptr;
    expectBroken("another owner");
    block->inUse = 2;
    expectBroken("a flag that is neither 0 nor 1");
    block->inUse = 0;
    expectBroken("two free neighbours");
    block->size = 4096;
    expectBroken("a block past the end of the region");
}

TEST(ArenaCheckEmpty, AnArenaWithoutARegionIsSoundOnlyWithoutASize) {
    MemoryArena arena = {};
    EXPECT_EQ(ArenaCheck(&arena), nullptr);
    arena.totalSize = 64;
    EXPECT_NE(ArenaCheck(&arena), nullptr);
}

}  // namespace
