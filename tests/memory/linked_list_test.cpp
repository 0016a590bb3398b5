// The doubly linked list: appending, removing at either end and inside, clearing, and node memory
// that always comes back to the arena while element targets are left alone.
#include "memory/linked_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/scoped_engine_arena.h"

namespace {

using IntList = LinkedList<int32_t>;

// Values head to tail along next, after checking that prev mirrors next and count matches.
std::vector<int32_t> Values(const IntList& list) {
    std::vector<int32_t> values;
    const IntList::Node* previous = nullptr;
    for (const IntList::Node* node = list.head; node != nullptr; node = node->next) {
        EXPECT_EQ(node->prev, previous);
        values.push_back(node->value);
        previous = node;
    }
    EXPECT_EQ(list.tail, previous);
    EXPECT_EQ(list.count, values.size());
    return values;
}

IntList ListOf(std::initializer_list<int32_t> values) {
    IntList list = {};
    for (int32_t value : values) {
        EXPECT_NE(list.PushBack(value), nullptr);
    }
    return list;
}

TEST(LinkedListPushBack, AppendsWithNodesFromTheEngineAndFailsCleanlyWithoutOne) {
    ScopedEngineArena engine{64 * 1024};
    IntList list = ListOf({1, 2, 3});
    EXPECT_EQ(Values(list), (std::vector<int32_t>{1, 2, 3}));
    EXPECT_TRUE(engine.Owns(list.head));
    EXPECT_EQ(engine.BlocksInUse(), 3u);
    EXPECT_EQ(list.reserved, nullptr);
    engine.Exhaust();
    EXPECT_EQ(list.PushBack(4), nullptr);
    EXPECT_EQ(Values(list), (std::vector<int32_t>{1, 2, 3}));
    engine.Refill();
    list.Clear();
    EXPECT_TRUE(engine.AllFree());
}

// Values() checks after each step that the new head's prev and the new tail's next are null, and
// at the end that the last removal left head and tail null.
TEST(LinkedListRemove, HeadTailInnerAndOnlyNodesKeepTheLinksConsistentAndNullIsIgnored) {
    ScopedEngineArena engine{64 * 1024};
    IntList empty = {};
    empty.Remove(nullptr);
    EXPECT_EQ(empty.count, 0u);
    IntList list = ListOf({1, 2, 3, 4, 5});
    list.Remove(nullptr);
    EXPECT_EQ(Values(list), (std::vector<int32_t>{1, 2, 3, 4, 5}));
    list.Remove(list.head);
    EXPECT_EQ(Values(list), (std::vector<int32_t>{2, 3, 4, 5}));
    list.Remove(list.tail);
    EXPECT_EQ(Values(list), (std::vector<int32_t>{2, 3, 4}));
    list.Remove(list.head->next);
    EXPECT_EQ(Values(list), (std::vector<int32_t>{2, 4}));
    list.Remove(list.tail);
    EXPECT_EQ(Values(list), (std::vector<int32_t>{2}));
    EXPECT_EQ(engine.BlocksInUse(), 1u);
    list.Remove(list.head);
    EXPECT_EQ(Values(list), (std::vector<int32_t>{}));
    EXPECT_TRUE(engine.AllFree());
}

TEST(LinkedListRemove, WhileWalkingWithNextReadFirst) {
    ScopedEngineArena engine{64 * 1024};
    IntList list = ListOf({1, 2, 3, 4, 5, 6});
    for (IntList::Node* node = list.head; node != nullptr;) {
        IntList::Node* next = node->next;
        if (node->value % 2 == 1) {
            list.Remove(node);
        }
        node = next;
    }
    EXPECT_EQ(Values(list), (std::vector<int32_t>{2, 4, 6}));
    list.Clear();
}

TEST(LinkedListClear, AnEmptyListOnlyZeroesItsThreeFields) {
    IntList list = {};
    int marker = 0;
    list.reserved = &marker;
    list.Clear();
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(list.tail, nullptr);
    EXPECT_EQ(list.count, 0u);
    EXPECT_EQ(list.reserved, &marker);
}

TEST(LinkedListClear, ReleasesTheNodesButNotWhatElementsPointTo) {
    ScopedEngineArena engine{64 * 1024};
    LinkedList<void*> list = {};
    void* target = EngineAlloc(16);
    ASSERT_NE(target, nullptr);
    ASSERT_NE(list.PushBack(target), nullptr);
    ASSERT_NE(list.PushBack(target), nullptr);
    list.Clear();
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(list.tail, nullptr);
    EXPECT_EQ(list.count, 0u);
    EXPECT_EQ(engine.BlocksInUse(), 1u) << "only the element target is left";
    EngineFree(target);
    EXPECT_TRUE(engine.AllFree());
}

}  // namespace
