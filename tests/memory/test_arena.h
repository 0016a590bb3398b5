// A small engine arena of a test's own, and a look at its blocks, so a test can see that
// everything it allocated came back. Kept beside the memory tests instead of in tests/support
// so that these tests need nothing from the platform layer.
#pragma once

#include <cstdint>
#include <vector>

#include "memory/arena.h"
#include "support/scoped_engine_arena.h"

// Switches EngineAlloc to a fresh arena for the test's scope and restores what was before.
class TestArena {
public:
    explicit TestArena(uint32_t size = 64 * 1024)
        : savedActive_(engineHeapActive), savedArena_(currentArena) {
        ArenaInit(&arena, size);
        currentArena = &arena;
        engineHeapActive = true;
    }
    ~TestArena() {
        engineHeapActive = savedActive_;
        currentArena = savedArena_;
        ArenaRelease(&arena);
    }
    TestArena(const TestArena&) = delete;
    TestArena& operator=(const TestArena&) = delete;

    uint32_t BlocksInUse() const { return ::BlocksInUse(&arena); }

    // True when the arena is one free block again, as it was when built.
    bool AllFree() const {
        return arena.first != nullptr && arena.first->next == nullptr && arena.first->inUse == 0;
    }

    // Allocates the whole arena in small pieces, so the next allocation fails.
    void Exhaust() {
        for (void* piece = ArenaAllocate(&arena, 8); piece != nullptr;
             piece = ArenaAllocate(&arena, 8)) {
            filler_.push_back(piece);
        }
    }

    // Gives back what Exhaust took.
    void Refill() {
        for (void* piece : filler_) {
            ArenaFree(piece);
        }
        filler_.clear();
    }

    bool Owns(const void* payload) const {
        return BlockOf(const_cast<void*>(payload))->owner == &arena;
    }

    MemoryArena arena = {};

private:
    bool savedActive_;
    MemoryArena* savedArena_;
    std::vector<void*> filler_;
};
