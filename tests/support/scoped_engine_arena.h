// A fresh engine arena for the length of a scope, and a look at its blocks through the arena's own
// checker. Header-only and needing nothing but the memory library, so every test folder, the
// tests built for Windows and the benchmarks can use it.
#pragma once

#include <cstdint>
#include <vector>

#include "memory/arena.h"
#include "memory/arena_check.h"

// The blocks of an arena in address order, as its checker walks them. A broken arena yields the
// blocks up to the first fault; callers check ArenaCheck itself where soundness is the question.
inline std::vector<ArenaBlockView> ArenaBlocks(const MemoryArena* arena) {
    std::vector<ArenaBlockView> blocks;
    ArenaCheck(
        arena,
        [](const ArenaBlockView& block, void* context) {
            static_cast<std::vector<ArenaBlockView>*>(context)->push_back(block);
        },
        &blocks);
    return blocks;
}

// Blocks of the arena handed out and not yet returned.
inline uint32_t BlocksInUse(const MemoryArena* arena) {
    uint32_t count = 0;
    for (const ArenaBlockView& block : ArenaBlocks(arena)) {
        count += block.inUse ? 1 : 0;
    }
    return count;
}

// True when `payload` is the payload of a block of the arena that is in use.
inline bool ArenaOwns(const MemoryArena* arena, const void* payload) {
    uintptr_t region = reinterpret_cast<uintptr_t>(arena->first);
    uintptr_t address = reinterpret_cast<uintptr_t>(payload);
    for (const ArenaBlockView& block : ArenaBlocks(arena)) {
        if (block.inUse && region + block.offset + ArenaHeaderSize == address) {
            return true;
        }
    }
    return false;
}

inline bool operator==(const ArenaBlockView& a, const ArenaBlockView& b) {
    return a.offset == b.offset && a.size == b.size && a.inUse == b.inUse;
}

// Switches engine allocation to an arena of its own for a scope, as the entry point does with the
// default one, and restores what was there before.
class ScopedEngineArena {
public:
    explicit ScopedEngineArena(uint32_t size = EngineArenaSize)
        : wasActive_(engineHeapActive), previous_(currentArena) {
        ok_ = ArenaInit(&arena, size);
        currentArena = &arena;
        engineHeapActive = true;
    }
    ~ScopedEngineArena() {
        engineHeapActive = wasActive_;
        currentArena = previous_;
        ArenaRelease(&arena);
    }
    ScopedEngineArena(const ScopedEngineArena&) = delete;
    ScopedEngineArena& operator=(const ScopedEngineArena&) = delete;

    // False when the standard heap refused the region.
    bool Ready() const { return ok_; }

    std::vector<ArenaBlockView> Blocks() const { return ArenaBlocks(&arena); }
    uint32_t BlocksInUse() const { return ::BlocksInUse(&arena); }

    // True when the arena is one free block again, as it was when built.
    bool AllFree() const {
        std::vector<ArenaBlockView> blocks = Blocks();
        return ArenaCheck(&arena) == nullptr && blocks.size() == 1 && !blocks[0].inUse;
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

    // True when `payload` is the payload of a block of this arena that is in use.
    bool Owns(const void* payload) const { return ArenaOwns(&arena, payload); }

    MemoryArena arena = {};

private:
    bool wasActive_;
    MemoryArena* previous_;
    bool ok_;
    std::vector<void*> filler_;
};
