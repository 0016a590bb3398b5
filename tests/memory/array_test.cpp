// The growable array: capacity rules, what Clear and Destroy leave, growth by Append, failed
// allocations, and storage from an arena of the array's own.
#include "memory/array.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/scoped_engine_arena.h"

namespace {

Array<int32_t> Filled(uint32_t elements) {
    Array<int32_t> array = {};
    for (uint32_t i = 0; i < elements; ++i) {
        EXPECT_TRUE(array.Append(static_cast<int32_t>(i * 10)));
    }
    return array;
}

void ExpectPrefix(const Array<int32_t>& array, uint32_t elements) {
    ASSERT_GE(array.capacity, elements);
    for (uint32_t i = 0; i < elements; ++i) {
        EXPECT_EQ(array.data[i], static_cast<int32_t>(i * 10)) << "element " << i;
    }
}

TEST(ArraySetCapacity, ChoosesAtLeastOneAndAtLeastTheMinimum) {
    ScopedEngineArena engine{64 * 1024};
    Array<int32_t> array = {};
    ASSERT_TRUE(array.SetCapacity(0));
    EXPECT_NE(array.data, nullptr);
    EXPECT_EQ(array.capacity, 1u);
    EXPECT_TRUE(engine.Owns(array.data));
    array.minCapacity = 6;
    ASSERT_TRUE(array.SetCapacity(2));
    EXPECT_EQ(array.capacity, 6u);
    array.Destroy();
    EXPECT_TRUE(engine.AllFree());
}

TEST(ArraySetCapacity, GrowingKeepsEveryElementAndShrinkingKeepsTheFirst) {
    ScopedEngineArena engine{64 * 1024};
    Array<int32_t> array = {};
    ASSERT_TRUE(array.SetCapacity(5));
    for (int32_t i = 0; i < 5; ++i) {
        ASSERT_TRUE(array.Append(i * 10));
    }
    int32_t* storage = array.data;
    ASSERT_TRUE(array.SetCapacity(5));
    EXPECT_EQ(array.data, storage) << "the current capacity keeps the storage";
    // The room for three is cut from the free space right after the full storage, so a copy of
    // all five elements into it would run into the header of the free block that follows.
    ASSERT_TRUE(array.SetCapacity(3));
    EXPECT_EQ(ArenaCheck(&engine.arena), nullptr) << "only what fits is copied";
    EXPECT_EQ(array.capacity, 3u);
    EXPECT_EQ(array.count, 3u) << "count must not claim elements the storage no longer has";
    ExpectPrefix(array, 3);
    EXPECT_EQ(engine.BlocksInUse(), 1u) << "the old storage goes back";
    ASSERT_TRUE(array.SetCapacity(40));
    EXPECT_EQ(array.count, 3u);
    ExpectPrefix(array, 3);
    EXPECT_EQ(engine.BlocksInUse(), 1u);
    array.Destroy();
    EXPECT_TRUE(engine.AllFree());
}

TEST(ArraySetCapacity, ASizeBeyondThirtyTwoBitsFailsInsteadOfWrapping) {
    ScopedEngineArena engine{64 * 1024};
    Array<uint64_t> array = {};
    // 0x20000001 elements of 8 bytes wrap to 8 bytes in 32-bit arithmetic.
    EXPECT_FALSE(array.SetCapacity(0x20000001u));
    EXPECT_EQ(array.data, nullptr);
    EXPECT_EQ(array.capacity, 0u);
    EXPECT_TRUE(engine.AllFree());
}

TEST(ArrayClear, KeepsTheStorageUnlessReleaseOnClearIsSet) {
    ScopedEngineArena engine{64 * 1024};
    Array<int32_t> kept = Filled(5);
    int32_t* storage = kept.data;
    kept.Clear();
    EXPECT_EQ(kept.count, 0u);
    EXPECT_EQ(kept.data, storage);
    EXPECT_EQ(kept.capacity, 8u);
    kept.Destroy();

    Array<int32_t> released = Filled(20);
    released.releaseOnClear = 1;
    released.minCapacity = 4;
    released.Clear();
    EXPECT_EQ(released.count, 0u);
    EXPECT_EQ(released.capacity, 4u) << "shrunk to the minimum";
    EXPECT_EQ(engine.BlocksInUse(), 1u);
    released.minCapacity = 0;
    released.Clear();
    EXPECT_EQ(released.data, nullptr);
    EXPECT_EQ(released.capacity, 0u);
    EXPECT_TRUE(engine.AllFree());
}

// The display settings' array (8-byte elements, never filled, cleared and then destroyed) is the
// first case.
TEST(ArrayDestroy, AlwaysLeavesNoStorage) {
    for (uint32_t elements : {0u, 7u}) {
        for (uint8_t releaseOnClear : {0, 1}) {
            SCOPED_TRACE(testing::Message() << elements << " elements, " << +releaseOnClear);
            ScopedEngineArena engine{64 * 1024};
            Array<int32_t> array = Filled(elements);
            array.releaseOnClear = releaseOnClear;
            array.minCapacity = 3;
            array.Clear();
            array.Destroy();
            EXPECT_EQ(array.data, nullptr);
            EXPECT_EQ(array.capacity, 0u);
            EXPECT_EQ(array.count, 0u);
            EXPECT_TRUE(engine.AllFree());
        }
    }
}

TEST(ArrayAppend, DoublesTheStorageFromTheMinimumAndKeepsTheElements) {
    ScopedEngineArena engine{64 * 1024};
    Array<int32_t> array = {};
    std::vector<uint32_t> capacities;
    for (uint32_t i = 0; i < 9; ++i) {
        ASSERT_TRUE(array.Append(static_cast<int32_t>(i * 10)));
        capacities.push_back(array.capacity);
    }
    EXPECT_EQ(capacities, (std::vector<uint32_t>{1, 2, 4, 4, 8, 8, 8, 8, 16}));
    ExpectPrefix(array, 9);
    EXPECT_EQ(engine.BlocksInUse(), 1u);
    array.Destroy();

    array.minCapacity = 5;
    ASSERT_TRUE(array.Append(7));
    EXPECT_EQ(array.capacity, 5u);
    array.Destroy();
    EXPECT_TRUE(engine.AllFree());
}

TEST(ArrayAllocationFailure, LeavesTheArrayAsItWas) {
    ScopedEngineArena engine{64 * 1024};
    Array<int32_t> array = Filled(4);
    ASSERT_EQ(array.count, array.capacity);
    int32_t* storage = array.data;
    engine.Exhaust();
    EXPECT_FALSE(array.SetCapacity(100));
    EXPECT_FALSE(array.Append(99));
    EXPECT_EQ(array.data, storage);
    EXPECT_EQ(array.count, 4u);
    EXPECT_EQ(array.capacity, 4u);
    ExpectPrefix(array, 4);
    engine.Refill();
    array.Destroy();
    EXPECT_TRUE(engine.AllFree());
}

// Storage from the array's arena must go back to it even with the engine heap off, when
// EngineFree is the standard heap's free.
TEST(ArrayOwnArena, StorageComesFromItAndGoesBackToIt) {
    for (bool engineHeap : {true, false}) {
        SCOPED_TRACE(engineHeap ? "engine heap on" : "engine heap off");
        ScopedEngineArena engine{64 * 1024};
        ScopedEngineArena own{64 * 1024};
        currentArena = &engine.arena;
        engineHeapActive = engineHeap;
        Array<int32_t> array = {};
        array.arena = &own.arena;
        array.releaseOnClear = 1;
        for (int32_t i = 0; i < 10; ++i) {
            ASSERT_TRUE(array.Append(i * 10));
        }
        EXPECT_TRUE(own.Owns(array.data));
        EXPECT_TRUE(engine.AllFree());
        ExpectPrefix(array, 10);
        array.Clear();
        EXPECT_TRUE(own.AllFree());
        ASSERT_TRUE(array.Append(1));
        array.Destroy();
        EXPECT_TRUE(own.AllFree());
    }
}

}  // namespace
