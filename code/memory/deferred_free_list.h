// Engine allocations whose release is postponed, each tagged with a lifetime level: level 0 and
// below go at the next frame step, 1 and 2 at shutdown, higher levels are never released by level
// (their memory goes with the arena region).
#pragma once

#include <cstdint>

#include "memory/linked_list.h"

struct DeferredFreeEntry {
    int32_t level;
    void* payload;  // from EngineAlloc, or null
};

// Owns its nodes and the payloads of its entries.
using DeferredFreeList = LinkedList<DeferredFreeEntry>;

// Created by the first PurgeDeferred (or DeferRelease), destroyed at shutdown.
extern DeferredFreeList* deferredFreeList;

// Creates deferredFreeList if it does not exist yet, then purges it with level. When the list
// record cannot be allocated nothing happens, and the next call tries again.
void PurgeDeferred(int32_t level);

// Releases the payload of every entry whose level is at most level and removes those entries;
// the others keep their order.
void Purge(DeferredFreeList* list, int32_t level);

// Hands payload over for release by a later purge reaching level, adding the entry at the tail
// (creating deferredFreeList if needed). Returns false when no list or node could be allocated;
// the payload then stays the caller's, still valid, to keep or release itself.
[[nodiscard]] bool DeferRelease(int32_t level, void* payload);

// The shutdown step: purge with level 2, drop the remaining entries without releasing their
// payloads, give the list record back and set deferredFreeList to null. Does nothing without a
// list.
void DestroyDeferredFreeList();
