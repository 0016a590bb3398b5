// The deferred-free list: lazily created, purged by level, emptied at shutdown.
#include "memory/deferred_free_list.h"

#include "memory/arena.h"

DeferredFreeList* deferredFreeList = nullptr;

namespace {

// The process-wide list, created on first need; null while its record cannot be allocated.
DeferredFreeList* TheList() {
    if (deferredFreeList == nullptr) {
        void* record = EngineAlloc(sizeof(DeferredFreeList));
        if (record != nullptr) {
            deferredFreeList = new (record) DeferredFreeList{};
        }
    }
    return deferredFreeList;
}

}  // namespace

void PurgeDeferred(int32_t level) {
    DeferredFreeList* list = TheList();
    if (list != nullptr) {
        Purge(list, level);
    }
}

void Purge(DeferredFreeList* list, int32_t level) {
    if (list == nullptr) {
        return;
    }
    for (DeferredFreeList::Node* node = list->head; node != nullptr;) {
        DeferredFreeList::Node* next = node->next;
        if (node->value.level <= level) {
            if (node->value.payload != nullptr) {
                EngineFree(node->value.payload);
            }
            list->Remove(node);
        }
        node = next;
    }
}

bool DeferRelease(int32_t level, void* payload) {
    DeferredFreeList* list = TheList();
    return list != nullptr && list->PushBack(DeferredFreeEntry{level, payload}) != nullptr;
}

void DestroyDeferredFreeList() {
    if (deferredFreeList == nullptr) {
        return;
    }
    Purge(deferredFreeList, 2);
    deferredFreeList->Clear();
    EngineFree(deferredFreeList);
    deferredFreeList = nullptr;
}
