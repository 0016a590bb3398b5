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

// The checker's own test plants faults in a header, so it reads and writes headers as the
// allocator does, past the sanitizer's poison.
ARENA_HEADER_ACCESS ArenaBlock ReadHeader(void* payload) {
    return *BlockOf(payload);
}
ARENA_HEADER_ACCESS void WriteHeader(void* payload, const ArenaBlock& header) {
    *BlockOf(payload) = header;
}

TEST_F(ArenaCheckTest, NamesEachBrokenInvariant) {
    // The free block at the top of the region, past a (free), b and the 8-byte block.
    void* top = reinterpret_cast<uint8_t*>(arena.first) + 4 * H + 56;
    auto expectBroken = [&](void* payload, const char* message, auto plant) {
        const ArenaBlock saved = ReadHeader(payload);
        ArenaBlock broken = saved;
        plant(&broken);
        WriteHeader(payload, broken);
        const char* found = ArenaCheck(&arena);
        EXPECT_STREQ(found != nullptr ? found : "(sound)", message);
        WriteHeader(payload, saved);
        EXPECT_EQ(ArenaCheck(&arena), nullptr) << message;
    };
    expectBroken(b, "a block's next link skips or overlaps its neighbour",
                 [](ArenaBlock* h) { h->size += 8; });
    expectBroken(b, "a block's prev link does not name the block below it",
                 [](ArenaBlock* h) { h->prev = nullptr; });
    expectBroken(b, "a block's next link skips or overlaps its neighbour",
                 [&](ArenaBlock* h) { h->next = BlockOf(b); });
    expectBroken(b, "a block names another arena as its owner",
                 [](ArenaBlock* h) { h->owner = nullptr; });
    expectBroken(b, "a block's in-use flag is neither 0 nor 1",
                 [](ArenaBlock* h) { h->inUse = 2; });
    expectBroken(b, "two neighbouring blocks are both free", [](ArenaBlock* h) { h->inUse = 0; });
    expectBroken(b, "a block runs past the end of the region",
                 [](ArenaBlock* h) { h->size = 4096; });
    expectBroken(top, "the last block links past the end of the region",
                 [&](ArenaBlock* h) { h->next = BlockOf(b); });
}

TEST(ArenaCheckEmpty, AnArenaWithoutARegionIsSoundOnlyWithoutASize) {
    MemoryArena arena = {};
    EXPECT_EQ(ArenaCheck(&arena), nullptr);
    arena.totalSize = 64;
    EXPECT_NE(ArenaCheck(&arena), nullptr);
}

}  // namespace
