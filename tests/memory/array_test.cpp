// The growable array: capacity rules, what Clear and Destroy leave, growth by Append, failed
// allocations, and storage from an arena of the array's own.
#include "memory/array.h"

#include <gtest/gtest.h>

#include "memory/test_arena.h"

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

TEST(ArraySetCapacity, ZeroOnAnEmptyArrayMakesRoomForOneElement) {
    TestArena engine;
    Array<int32_t> array = {};
    ASSERT_TRUE(array.SetCapacity(0));
    EXPECT_NE(array.data, nullptr);
    EXPECT_EQ(array.capacity, 1u);
    EXPECT_EQ(array.count, 0u);
    EXPECT_TRUE(engine.Owns(array.data));
    array.Destroy();
    EXPECT_TRUE(engine.AllFree());
}

TEST(ArraySetCapacity, NeverGoesBelowMinCapacity) {
    TestArena engine;
    Array<int32_t> array = {};
    array.minCapacity = 6;
    ASSERT_TRUE(array.SetCapacity(2));
    EXPECT_EQ(array.capacity, 6u);
    ASSERT_TRUE(array.SetCapacity(9));
    EXPECT_EQ(array.capacity, 9u);
    array.Destroy();
    EXPECT_TRUE(engine.AllFree());
}

TEST(ArraySetCapacity, TheCurrentCapacityKeepsTheStorage) {
    TestArena engine;
    Array<int32_t> array = Filled(3);
    ASSERT_TRUE(array.SetCapacity(5));
    int32_t* storage = array.data;
    uint32_t blocks = engine.BlocksInUse();
    EXPECT_TRUE(array.SetCapacity(5));
    EXPECT_EQ(array.data, storage);
    EXPECT_EQ(engine.BlocksInUse(), blocks);
    ExpectPrefix(array, 3);
    array.Destroy();
}

TEST(ArraySetCapacity, GrowingKeepsEveryElementAndShrinkingKeepsTheFirst) {
    TestArena engine;
    Array<int32_t> array = Filled(5);
    ASSERT_TRUE(array.SetCapacity(40));
    EXPECT_EQ(array.count, 5u);
    ExpectPrefix(array, 5);

    ASSERT_TRUE(array.SetCapacity(3));
    EXPECT_EQ(array.capacity, 3u);
    EXPECT_EQ(array.count, 3u) << "count must not claim elements the storage no longer has";
    ExpectPrefix(array, 3);
    EXPECT_EQ(engine.BlocksInUse(), 1u) << "the old storage goes back";
    array.Destroy();
    EXPECT_TRUE(engine.AllFree());
}

TEST(ArraySetCapacity, AFailedAllocationLeavesTheArrayAsItWas) {
    TestArena engine;
    Array<int32_t> array = Filled(4);
    Array<int32_t> before = array;
    engine.Exhaust();
    EXPECT_FALSE(array.SetCapacity(100));
    EXPECT_EQ(array.data, before.data);
    EXPECT_EQ(array.count, before.count);
    EXPECT_EQ(array.capacity, before.capacity);
    ExpectPrefix(array, 4);
    engine.Refill();
    array.Destroy();
    EXPECT_TRUE(engine.AllFree());
}

TEST(ArraySetCapacity, ASizeBeyondThirtyTwoBitsFailsInsteadOfWrapping) {
    TestArena engine;
    Array<uint64_t> array = {};
    // 0x20000001 elements of 8 bytes wrap to 8 bytes in 32-bit arithmetic.
    EXPECT_FALSE(array.SetCapacity(0x20000001u));
    EXPECT_EQ(array.data, nullptr);
    EXPECT_EQ(array.capacity, 0u);
    EXPECT_TRUE(engine.AllFree());
}

TEST(ArrayClear, WithoutReleaseOnClearOnlyResetsTheCount) {
    TestArena engine;
    Array<int32_t> array = Filled(5);
    int32_t* storage = array.data;
    uint32_t capacity = array.capacity;
    array.Clear();
    EXPECT_EQ(array.count, 0u);
    EXPECT_EQ(array.data, storage);
    EXPECT_EQ(array.capacity, capacity);
    EXPECT_EQ(engine.BlocksInUse(), 1u);
    array.Destroy();
}

TEST(ArrayClear, WithReleaseOnClearGivesTheStorageBack) {
    TestArena engine;
    Array<int32_t> array = Filled(5);
    array.releaseOnClear = 1;
    array.Clear();
    EXPECT_EQ(array.count, 0u);
    EXPECT_EQ(array.data, nullptr);
    EXPECT_EQ(array.capacity, 0u);
    EXPECT_TRUE(engine.AllFree());
}

TEST(ArrayClear, WithReleaseOnClearAndAMinimumShrinksToTheMinimum) {
    TestArena engine;
    Array<int32_t> array = Filled(20);
    array.releaseOnClear = 1;
    array.minCapacity = 4;
    array.Clear();
    EXPECT_EQ(array.count, 0u);
    EXPECT_NE(array.data, nullptr);
    EXPECT_EQ(array.capacity, 4u);
    EXPECT_EQ(engine.BlocksInUse(), 1u);
    array.Destroy();
    EXPECT_TRUE(engine.AllFree());
}

// The display settings' array: 8-byte elements, never filled, cleared and then destroyed.
TEST(ArrayDestroy, AnEmptyArrayOnlyResetsItsFields) {
    TestArena engine;
    Array<uint64_t> array = {};
    array.releaseOnClear = 1;
    array.Clear();
    array.Destroy();
    EXPECT_EQ(array.data, nullptr);
    EXPECT_EQ(array.count, 0u);
    EXPECT_EQ(array.capacity, 0u);
    EXPECT_TRUE(engine.AllFree());
}

TEST(ArrayDestroy, AlwaysLeavesNoStorage) {
    for (uint8_t releaseOnClear : {0, 1}) {
        SCOPED_TRACE(releaseOnClear);
        TestArena engine;
        Array<int32_t> array = Filled(7);
        array.releaseOnClear = releaseOnClear;
        array.minCapacity = 3;
        array.Destroy();
        EXPECT_EQ(array.data, nullptr);
        EXPECT_EQ(array.capacity, 0u);
        EXPECT_EQ(array.count, 0u);
        EXPECT_TRUE(engine.AllFree());
    }
}

TEST(ArrayAppend, DoublesTheStorageAndKeepsTheElements) {
    TestArena engine;
    Array<int32_t> array = {};
    std::vector<uint32_t> capacities;
    for (uint32_t i = 0; i < 9; ++i) {
        ASSERT_TRUE(array.Append(static_cast<int32_t>(i * 10)));
        capacities.push_back(array.capacity);
    }
    EXPECT_EQ(capacities, (std::vector<uint32_t>{1, 2, 4, 4, 8, 8, 8, 8, 16}));
    EXPECT_EQ(array.count, 9u);
    ExpectPrefix(array, 9);
    EXPECT_EQ(engine.BlocksInUse(), 1u);
    array.Destroy();
    EXPECT_TRUE(engine.AllFree());
}

TEST(ArrayAppend, StartsFromTheMinimumCapacity) {
    TestArena engine;
    Array<int32_t> array = {};
    array.minCapacity = 5;
    ASSERT_TRUE(array.Append(7));
    EXPECT_EQ(array.capacity, 5u);
    array.Destroy();
}

TEST(ArrayAppend, FailsWithoutTouchingAFullArray) {
    TestArena engine;
    Array<int32_t> array = Filled(4);
    ASSERT_EQ(array.count, array.capacity);
    int32_t* storage = array.data;
    engine.Exhaust();
    EXPECT_FALSE(array.Append(99));
    EXPECT_EQ(array.data, storage);
    EXPECT_EQ(array.count, 4u);
    EXPECT_EQ(array.capacity, 4u);
    ExpectPrefix(array, 4);
    engine.Refill();
    array.Destroy();
    EXPECT_TRUE(engine.AllFree());
}

TEST(ArrayOwnArena, StorageComesFromItAndGoesBackToIt) {
    TestArena engine;
    TestArena own;
    currentArena = &engine.arena;  // EngineAlloc serves the engine arena, not the array's
    Array<int32_t> array = {};
    array.arena = &own.arena;
    for (int32_t i = 0; i < 10; ++i) {
        ASSERT_TRUE(array.Append(i * 10));
    }
    EXPECT_TRUE(own.Owns(array.data));
    EXPECT_TRUE(engine.AllFree());
    ExpectPrefix(array, 10);
    array.Destroy();
    EXPECT_TRUE(own.AllFree());
}

// With the engine heap off, EngineFree is the standard heap's free, which must never see a
// block of the array's arena.
TEST(ArrayOwnArena, WorksWhileTheEngineHeapIsOff) {
    TestArena own;
    engineHeapActive = false;
    Array<int32_t> array = {};
    array.arena = &own.arena;
    array.releaseOnClear = 1;
    for (int32_t i = 0; i < 5; ++i) {
        ASSERT_TRUE(array.Append(i * 10));
    }
    EXPECT_TRUE(own.Owns(array.data));
    array.Clear();
    EXPECT_TRUE(own.AllFree());
    ASSERT_TRUE(array.Append(1));
    array.Destroy();
    EXPECT_TRUE(own.AllFree());
}

}  // namespace
