// The two-child node tree: where insertion puts keys, and a teardown that gives back every node,
// the buffer and the owned object, however the tree is shaped.
#include "memory/tree_container.h"

#include <gtest/gtest.h>

#include <vector>

#include "memory/arena.h"
#include "support/scoped_engine_arena.h"

namespace {

// Counts its destruction; larger than the base, so the deleting form must free the whole object.
struct Recorder : TreeOwnedObject {
    explicit Recorder(int* destroyed) : destroyed(destroyed) {}
    ~Recorder() override { ++*destroyed; }

    int* destroyed;
    char bulk[40] = {};
};

void InOrder(const TreeNode* node, std::vector<uint32_t>* keys) {
    if (node != nullptr) {
        InOrder(node->first, keys);
        keys->push_back(node->key);
        InOrder(node->second, keys);
    }
}

TEST(TreeInsert, PutsLowerKeysFirstAndEqualOrHigherKeysSecond) {
    ScopedEngineArena engine{64 * 1024};
    TreeContainer tree = {};
    int values[2] = {};
    ASSERT_NE(tree.Insert(50, &values[0]), nullptr);
    for (uint32_t key : {20u, 80u, 3u, 4294967295u, 0u, 60u}) {
        ASSERT_NE(tree.Insert(key, nullptr), nullptr);
    }
    ASSERT_NE(tree.Insert(50, &values[1]), nullptr);
    EXPECT_EQ(tree.count, 8u);
    EXPECT_EQ(tree.root->value, &values[0]);
    EXPECT_EQ(tree.root->first->key, 20u);
    EXPECT_EQ(tree.root->second->key, 80u);
    EXPECT_EQ(tree.root->second->first->first->value, &values[1]) << "equal keys keep order";
    std::vector<uint32_t> walked;
    InOrder(tree.root, &walked);
    EXPECT_EQ(walked, (std::vector<uint32_t>{0, 3, 20, 50, 50, 60, 80, 4294967295u}));
    EXPECT_TRUE(engine.Owns(tree.root));
    tree.Destroy();
    EXPECT_TRUE(engine.AllFree());
}

TEST(TreeInsert, FailsWithTheTreeUnchangedWhenNoNodeCanBeHad) {
    ScopedEngineArena engine{64 * 1024};
    TreeContainer tree = {};
    ASSERT_NE(tree.Insert(1, nullptr), nullptr);
    engine.Exhaust();
    EXPECT_EQ(tree.Insert(2, nullptr), nullptr);
    EXPECT_EQ(tree.count, 1u);
    EXPECT_EQ(tree.root->second, nullptr);
    engine.Refill();
    tree.Destroy();
    EXPECT_TRUE(engine.AllFree());
}

// With nodes or with an empty root, Destroy releases the buffer and the owned object too.
TEST(TreeDestroy, ReleasesNodesBufferAndOwnedObject) {
    for (std::vector<uint32_t> keys :
         {std::vector<uint32_t>{40, 20, 60, 10, 30, 50, 70, 35}, std::vector<uint32_t>{}}) {
        SCOPED_TRACE(::testing::Message() << keys.size() << " keys");
        ScopedEngineArena engine{64 * 1024};
        TreeContainer tree = {};
        int marker = 0;
        tree.reserved = &marker;
        for (uint32_t key : keys) {
            ASSERT_NE(tree.Insert(key, nullptr), nullptr);
        }
        tree.buffer = EngineAlloc(100);
        int destroyed = 0;
        tree.owned = new Recorder(&destroyed);
        ASSERT_NE(tree.owned, nullptr);
        EXPECT_TRUE(engine.Owns(tree.owned));

        tree.Destroy();
        EXPECT_EQ(tree.root, nullptr);
        EXPECT_EQ(tree.count, 0u);
        EXPECT_EQ(tree.buffer, nullptr);
        EXPECT_EQ(tree.owned, nullptr);
        EXPECT_EQ(destroyed, 1);
        EXPECT_EQ(tree.reserved, &marker);
        EXPECT_TRUE(engine.AllFree());
    }
}

// Sorted keys make one chain as deep as the tree is large, so teardown must not recurse per
// level: a million levels of recursion would overflow the stack. The chain is linked by hand
// (insertion along it is quadratic) and zigzags so that both child sides run deep. It lives on
// the standard heap because a first-fit arena makes a million allocations quadratic too; the
// leak checker of the sanitizer build sees any node left behind.
TEST(TreeDestroy, ReleasesAChainOfAMillionNodesWithoutRecursing) {
    constexpr uint32_t Nodes = 1000000;
    bool wasActive = engineHeapActive;
    engineHeapActive = false;
    TreeContainer tree = {};
    TreeNode** link = &tree.root;
    for (uint32_t i = 0; i < Nodes; ++i) {
        TreeNode* node = static_cast<TreeNode*>(EngineAlloc(sizeof(TreeNode)));
        ASSERT_NE(node, nullptr);
        *node = TreeNode{i, nullptr, nullptr, nullptr};
        *link = node;
        link = i % 2 == 0 ? &node->first : &node->second;
        ++tree.count;
    }
    tree.Destroy();
    EXPECT_EQ(tree.root, nullptr);
    EXPECT_EQ(tree.count, 0u);
    engineHeapActive = wasActive;
}

TEST(TreeOwnedObject, ComesFromTheEngineArenaAndIsNullWhenItIsFull) {
    ScopedEngineArena engine{64 * 1024};
    int destroyed = 0;
    engine.Exhaust();
    EXPECT_EQ(new Recorder(&destroyed), nullptr);
    engine.Refill();
    TreeOwnedObject* object = new Recorder(&destroyed);
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(engine.Owns(object));
    delete object;
    EXPECT_EQ(destroyed, 1);
    EXPECT_TRUE(engine.AllFree());
}

TEST(GlobalTree, ShutdownDestroysAndReleasesItWhenSet) {
    ScopedEngineArena engine{64 * 1024};
    ASSERT_EQ(globalTree, nullptr);
    DestroyGlobalTree();
    EXPECT_EQ(globalTree, nullptr);

    globalTree = static_cast<TreeContainer*>(EngineAlloc(sizeof(TreeContainer)));
    ASSERT_NE(globalTree, nullptr);
    *globalTree = TreeContainer{};
    ASSERT_NE(globalTree->Insert(3, nullptr), nullptr);
    globalTree->buffer = EngineAlloc(8);
    DestroyGlobalTree();
    EXPECT_EQ(globalTree, nullptr);
    EXPECT_TRUE(engine.AllFree());
}

}  // namespace
