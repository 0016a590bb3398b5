// A container of two-child nodes kept in key order, with a buffer and an object it owns. The
// engine itself only ever tears one down (globalTree at shutdown); insertion serves the owners
// and tools that build one.
#pragma once

#include <cstddef>
#include <cstdint>

// Base of the objects a tree may own. Instances live in engine memory: `new` takes it from
// EngineAlloc (null when there is none, no exception) and the virtual deleting destructor hands
// it back with EngineFree.
class TreeOwnedObject {
public:
    TreeOwnedObject() = default;
    TreeOwnedObject(const TreeOwnedObject&) = delete;
    TreeOwnedObject& operator=(const TreeOwnedObject&) = delete;
    virtual ~TreeOwnedObject() = default;

    static void* operator new(std::size_t size) noexcept;
    static void operator delete(void* pointer) noexcept;
};

struct TreeNode {
    uint32_t key;
    void* value;       // not owned by the tree
    TreeNode* first;   // keys below this node's key
    TreeNode* second;  // keys equal to or above it, so equal keys keep their insertion order
};

struct TreeContainer {
    TreeNode* root;
    uint32_t count;
    void* reserved;  // zero when built; read by nothing
    void* buffer;    // from EngineAlloc, owned
    TreeOwnedObject* owned;

    // Adds a node for key and value below the first node whose side it belongs to. Returns the
    // node, or null with the tree unchanged when no node could be allocated.
    TreeNode* Insert(uint32_t key, void* value);

    // Releases every node (each node's first subtree, then its second, then the node), then the
    // buffer and the owned object. The third field is left as it is.
    void Destroy();
};

// The process-wide tree; null at load, and nothing in the game sets it.
extern TreeContainer* globalTree;

// The shutdown step for globalTree: when it is set, Destroy it, give its record back with
// EngineFree and set it to null.
void DestroyGlobalTree();
