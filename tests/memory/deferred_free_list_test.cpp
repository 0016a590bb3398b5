// The deferred-free list: lazy creation, purging by level with the survivors in order, the
// shutdown sequence, and adding entries when memory runs out.
#include "memory/deferred_free_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/scoped_engine_arena.h"

namespace {

class DeferredFreeListTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(deferredFreeList, nullptr); }
    void TearDown() override {
        DestroyDeferredFreeList();
        EXPECT_EQ(deferredFreeList, nullptr);
    }

    // Defers a fresh 16-byte allocation at level.
    void* Defer(int32_t level) {
        void* payload = EngineAlloc(16);
        EXPECT_NE(payload, nullptr);
        EXPECT_TRUE(DeferRelease(level, payload));
        return payload;
    }

    static std::vector<int32_t> Levels() {
        std::vector<int32_t> levels;
        for (const DeferredFreeList::Node* node = deferredFreeList->head; node != nullptr;
             node = node->next) {
            levels.push_back(node->value.level);
        }
        EXPECT_EQ(deferredFreeList->count, levels.size());
        return levels;
    }

    ScopedEngineArena engine{64 * 1024};
};

TEST_F(DeferredFreeListTest, TheFirstPurgeCreatesTheListAndLaterOnesReuseIt) {
    PurgeDeferred(0);
    ASSERT_NE(deferredFreeList, nullptr);
    EXPECT_EQ(deferredFreeList->head, nullptr);
    EXPECT_EQ(deferredFreeList->tail, nullptr);
    EXPECT_EQ(deferredFreeList->count, 0u);
    EXPECT_EQ(deferredFreeList->reserved, nullptr);
    EXPECT_TRUE(engine.Owns(deferredFreeList));
    DeferredFreeList* created = deferredFreeList;
    PurgeDeferred(0);
    PurgeDeferred(5);
    EXPECT_EQ(deferredFreeList, created);
    EXPECT_EQ(engine.BlocksInUse(), 1u);
}

TEST_F(DeferredFreeListTest, APurgeReleasesLevelsUpToItsOwnAndKeepsTheRestInOrder) {
    for (int32_t level : {1, 0, 2, -5, 7, 0}) {
        Defer(level);
    }
    void* first = deferredFreeList->head->value.payload;
    EXPECT_EQ(engine.BlocksInUse(), 1u + 6u * 2u);

    PurgeDeferred(0);
    EXPECT_EQ(Levels(), (std::vector<int32_t>{1, 2, 7}));
    EXPECT_EQ(deferredFreeList->head->value.payload, first);
    EXPECT_EQ(deferredFreeList->head->prev, nullptr);
    EXPECT_EQ(deferredFreeList->tail->next, nullptr);
    EXPECT_EQ(engine.BlocksInUse(), 1u + 3u * 2u) << "three nodes and three payloads released";
    for (const DeferredFreeList::Node* node = deferredFreeList->head; node != nullptr;
         node = node->next) {
        EXPECT_TRUE(engine.Owns(node->value.payload)) << "level " << node->value.level;
    }
}

TEST_F(DeferredFreeListTest, LevelsAreComparedSignedAndPurgingEveryEntryLeavesAnEmptyList) {
    Defer(-1);
    Defer(INT32_MIN);
    Defer(INT32_MAX);
    PurgeDeferred(-2);
    EXPECT_EQ(Levels(), (std::vector<int32_t>{-1, INT32_MAX}));
    PurgeDeferred(INT32_MAX);
    EXPECT_EQ(Levels(), (std::vector<int32_t>{}));
    EXPECT_EQ(deferredFreeList->head, nullptr);
    EXPECT_EQ(deferredFreeList->tail, nullptr);
    EXPECT_EQ(engine.BlocksInUse(), 1u) << "every entry purged leaves the record alone";
}

TEST_F(DeferredFreeListTest, EntriesWithoutAPayloadAreRemovedWithNothingReleased) {
    ASSERT_TRUE(DeferRelease(0, nullptr));
    Defer(4);
    PurgeDeferred(0);
    EXPECT_EQ(Levels(), (std::vector<int32_t>{4}));
    EXPECT_EQ(engine.BlocksInUse(), 3u) << "the record, the level-4 node and its payload";
}

TEST_F(DeferredFreeListTest, ShutdownReleasesUpToLevelTwoAndDropsHigherEntriesWithoutRelease) {
    Defer(1);
    Defer(2);
    void* survivor = Defer(3);
    Defer(0);
    DestroyDeferredFreeList();
    EXPECT_EQ(deferredFreeList, nullptr);
    EXPECT_EQ(engine.BlocksInUse(), 1u) << "only the level-3 payload is left";
    EXPECT_TRUE(engine.Owns(survivor));
    EngineFree(survivor);
    EXPECT_TRUE(engine.AllFree());
}

TEST_F(DeferredFreeListTest, ShutdownWithoutAListDoesNothingAndALaterPurgeMakesANewOne) {
    DestroyDeferredFreeList();
    EXPECT_EQ(deferredFreeList, nullptr);
    PurgeDeferred(0);
    DestroyDeferredFreeList();
    EXPECT_TRUE(engine.AllFree());
    PurgeDeferred(0);
    EXPECT_NE(deferredFreeList, nullptr);
}

TEST_F(DeferredFreeListTest, APurgeThatCannotCreateTheListTriesAgainNextTime) {
    engine.Exhaust();
    PurgeDeferred(0);
    EXPECT_EQ(deferredFreeList, nullptr);
    engine.Refill();
    PurgeDeferred(0);
    EXPECT_NE(deferredFreeList, nullptr);
}

// The payload stays valid and the caller's, with or without a list to add to.
TEST_F(DeferredFreeListTest, AFailedDeferLeavesThePayloadWithTheCaller) {
    void* payload = EngineAlloc(16);
    ASSERT_NE(payload, nullptr);
    engine.Exhaust();
    EXPECT_FALSE(DeferRelease(0, payload));
    EXPECT_EQ(deferredFreeList, nullptr);
    engine.Refill();
    Defer(1);
    engine.Exhaust();
    EXPECT_FALSE(DeferRelease(0, payload));
    engine.Refill();
    EXPECT_EQ(Levels(), (std::vector<int32_t>{1}));
    EXPECT_TRUE(engine.Owns(payload));
    EngineFree(payload);
}

TEST(DeferredFreePurge, AnEmptyOrMissingListIsLeftAlone) {
    DeferredFreeList list = {};
    Purge(&list, 0);
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(list.count, 0u);
    Purge(nullptr, 0);
}

}  // namespace
