// A fresh engine arena for the length of a scope, and a count of what it holds. Header-only and
// needing nothing but the memory library, so every test folder can use it, those built for
// Windows included.
#pragma once

#include <cstdint>

#include "memory/arena.h"

// Switches engine allocation to a new region for a scope, as the entry point does, and gives it
// back afterwards.
class ScopedEngineArena {
public:
    explicit ScopedEngineArena(uint32_t size = EngineArenaSize) : wasActive_(engineHeapActive) {
        engineHeapActive = true;
        ArenaInit(ActiveArena(), size);
    }
    ~ScopedEngineArena() {
        ArenaRelease(ActiveArena());
        engineHeapActive = wasActive_;
    }
    ScopedEngineArena(const ScopedEngineArena&) = delete;
    ScopedEngineArena& operator=(const ScopedEngineArena&) = delete;

private:
    bool wasActive_;
};

// Blocks of the arena handed out and not yet returned.
inline uint32_t BlocksInUse(const MemoryArena* arena) {
    uint32_t count = 0;
    for (const ArenaBlock* block = arena->first; block != nullptr; block = block->next) {
        count += block->inUse != 0 ? 1 : 0;
    }
    return count;
}
