// Insertion and teardown of the two-child node tree. Teardown walks without recursion: a tree
// built from sorted keys is one long chain, and its depth must not become stack depth.
#include "memory/tree_container.h"

#include "memory/arena.h"

TreeContainer* globalTree = nullptr;

namespace {

// Releases a subtree depth first: a node's first subtree, then its second, then the node. The
// nodes still waiting for their own release form a stack chained through their first pointers,
// which are no longer needed once the walk has gone down them; a node's second pointer is
// cleared when the walk goes down it, so a cleared one means "both subtrees done".
void ReleaseSubtree(TreeNode* node) {
    TreeNode* waiting = nullptr;
    for (;;) {
        while (node != nullptr) {
            TreeNode* first = node->first;
            node->first = waiting;
            waiting = node;
            node = first;
        }
        while (waiting != nullptr && waiting->second == nullptr) {
            TreeNode* done = waiting;
            waiting = done->first;
            EngineFree(done);
        }
        if (waiting == nullptr) {
            return;
        }
        node = waiting->second;
        waiting->second = nullptr;
    }
}

}  // namespace

void* TreeOwnedObject::operator new(std::size_t size) noexcept {
    return size <= UINT32_MAX ? EngineAlloc(static_cast<uint32_t>(size)) : nullptr;
}

void TreeOwnedObject::operator delete(void* pointer) noexcept {
    EngineFree(pointer);
}

TreeNode* TreeContainer::Insert(uint32_t key, void* value) {
    TreeNode* node = static_cast<TreeNode*>(EngineAlloc(sizeof(TreeNode)));
    if (node == nullptr) {
        return nullptr;
    }
    *node = TreeNode{key, value, nullptr, nullptr};
    TreeNode** link = &root;
    while (*link != nullptr) {
        link = key < (*link)->key ? &(*link)->first : &(*link)->second;
    }
    *link = node;
    ++count;
    return node;
}

void TreeContainer::Destroy() {
    ReleaseSubtree(root);
    root = nullptr;
    count = 0;
    if (buffer != nullptr) {
        EngineFree(buffer);
        buffer = nullptr;
    }
    if (owned != nullptr) {
        delete owned;
        owned = nullptr;
    }
}

void DestroyGlobalTree() {
    if (globalTree == nullptr) {
        return;
    }
    globalTree->Destroy();
    EngineFree(globalTree);
    globalTree = nullptr;
}
