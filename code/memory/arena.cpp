// First-fit block arena. Invariants, held after every operation:
//  - the region is tiled by blocks in address order: block + ArenaHeaderSize + size is the next
//    block's header, and the last block ends exactly at the end of the region;
//  - prev/next follow that order; the first block sits at the start of the region;
//  - no two neighbouring blocks are both free;
//  - every header handed out with a payload lies on an 8-byte boundary.
// Under AddressSanitizer only the requested bytes of blocks in use are addressable; the functions
// here that touch headers are exempt from its checks (ARENA_HEADER_ACCESS).
#include "memory/arena.h"

#include <cstdlib>

#if ARENA_POISONING
#include <sanitizer/asan_interface.h>
#endif

bool engineHeapActive = false;
MemoryArena* currentArena = nullptr;
bool stringArenaActive = false;
MemoryArena smallStringArena = {};
MemoryArena stringArena = {};
bool registryArenaActive = false;
MemoryArena registryArena = {};

namespace {

uint8_t* Bytes(ArenaBlock* block) {
    return reinterpret_cast<uint8_t*>(block);
}

void Poison(void* start, size_t bytes) {
#if ARENA_POISONING
    ASAN_POISON_MEMORY_REGION(start, bytes);
#else
    static_cast<void>(start);
    static_cast<void>(bytes);
#endif
}

void Unpoison(void* start, size_t bytes) {
#if ARENA_POISONING
    ASAN_UNPOISON_MEMORY_REGION(start, bytes);
#else
    static_cast<void>(start);
    static_cast<void>(bytes);
#endif
}

// Cuts a new free block out of `block` starting `offset` bytes after its header; the new block
// takes everything above it and `block` keeps offset - header bytes of payload.
ARENA_HEADER_ACCESS ArenaBlock* SplitAt(ArenaBlock* block, MemoryArena* arena, uint32_t offset) {
    ArenaBlock* rest = reinterpret_cast<ArenaBlock*>(Bytes(block) + offset);
    rest->owner = arena;
    rest->inUse = 0;
    rest->size = block->size - offset;
    rest->prev = block;
    rest->next = block->next;
    if (rest->next != nullptr) {
        rest->next->prev = rest;
    }
    block->size = offset - ArenaHeaderSize;
    block->next = rest;
    return rest;
}

// A free block whose header is off the 8-byte grid gives up its first pad bytes as a small free
// block of its own and returns the realigned remainder, or null when it is too small for that.
ARENA_HEADER_ACCESS ArenaBlock* Realign(ArenaBlock* block, MemoryArena* arena, uint32_t rounded) {
    uint32_t misalignment = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(block) % 8);
    if (misalignment == 0) {
        return block;
    }
    uint32_t pad = ArenaGranularity - misalignment;
    if (block->size < rounded + ArenaHeaderSize + pad) {
        return nullptr;
    }
    return SplitAt(block, arena, ArenaHeaderSize + pad);
}

// Folds `upper` into `lower`, its free neighbour just below it.
ARENA_HEADER_ACCESS void Absorb(ArenaBlock* lower, ArenaBlock* upper) {
    lower->size += upper->size + ArenaHeaderSize;
    lower->next = upper->next;
    if (lower->next != nullptr) {
        lower->next->prev = lower;
    }
}

// True when `block` is a block in use that the arena it names really holds: inside that arena's
// region and linked both ways with the neighbours the tiling gives it. The tests that read only
// the header come first, so the owner is followed only once the header already looks like one,
// and a neighbour only once it is known to lie in the region.
ARENA_HEADER_ACCESS bool IsBlockInUse(ArenaBlock* block) {
    if (block->inUse != 1 || reinterpret_cast<uintptr_t>(block) % ArenaGranularity != 0) {
        return false;
    }
    // Addresses as integers: a made-up size must not be pointer arithmetic past an object.
    uintptr_t at = reinterpret_cast<uintptr_t>(block);
    if (block->next != nullptr &&
        reinterpret_cast<uintptr_t>(block->next) != at + ArenaHeaderSize + block->size) {
        return false;
    }
    const MemoryArena* arena = block->owner;
    if (arena == nullptr || arena->first == nullptr) {
        return false;
    }
    uintptr_t start = reinterpret_cast<uintptr_t>(arena->first);
    if (at < start || at - start >= arena->totalSize) {
        return false;
    }
    uint64_t end = uint64_t{at - start} + ArenaHeaderSize + block->size;
    if (block->next == nullptr) {
        if (end != arena->totalSize) {
            return false;
        }
    } else if (end + ArenaHeaderSize > arena->totalSize || block->next->prev != block) {
        return false;
    }
    if (block->prev == nullptr) {
        return block == arena->first;
    }
    uintptr_t below = reinterpret_cast<uintptr_t>(block->prev);
    return below >= start && below < at && block->prev->next == block;
}

}  // namespace

ARENA_HEADER_ACCESS void* ArenaAllocate(MemoryArena* arena, uint32_t size) {
    if (size > ArenaLargestRequest) {
        return nullptr;
    }
    uint32_t rounded = (size + (ArenaGranularity - 1)) & ~(ArenaGranularity - 1);
    for (ArenaBlock* block = arena->first; block != nullptr; block = block->next) {
        if (block->inUse != 0 || block->size < rounded) {
            continue;
        }
        ArenaBlock* candidate = Realign(block, arena, rounded);
        if (candidate == nullptr) {
            continue;
        }
        if (candidate->size > rounded + ArenaHeaderSize) {
            SplitAt(candidate, arena, ArenaHeaderSize + rounded);
        }
        candidate->inUse = 1;
        Unpoison(Bytes(candidate) + ArenaHeaderSize, size);
        return Bytes(candidate) + ArenaHeaderSize;
    }
    return nullptr;
}

ARENA_HEADER_ACCESS void ArenaFree(void* pointer) {
    if (pointer == nullptr) {
        return;
    }
    ArenaBlock* block = BlockOf(pointer);
    if (!IsBlockInUse(block)) {
        return;
    }
    block->inUse = 0;
    if (block->next != nullptr && block->next->inUse == 0) {
        Absorb(block, block->next);
    }
    if (block->prev != nullptr && block->prev->inUse == 0) {
        Absorb(block->prev, block);
        block = block->prev;
    }
    Poison(Bytes(block) + ArenaHeaderSize, block->size);
}

bool ArenaInit(MemoryArena* arena, uint32_t totalSize) {
    void* region = totalSize > ArenaHeaderSize ? std::malloc(totalSize) : nullptr;
    if (region == nullptr) {
        arena->first = nullptr;
        arena->totalSize = 0;
        return false;
    }
    return ArenaInitRegion(arena, region, totalSize);
}

ARENA_HEADER_ACCESS bool ArenaInitRegion(MemoryArena* arena, void* region, uint32_t totalSize) {
    if (totalSize < ArenaHeaderSize) {
        arena->first = nullptr;
        arena->totalSize = 0;
        return false;
    }
    ArenaBlock* first = static_cast<ArenaBlock*>(region);
    first->owner = arena;
    first->inUse = 0;
    first->size = totalSize - ArenaHeaderSize;
    first->prev = nullptr;
    first->next = nullptr;
    arena->first = first;
    arena->totalSize = totalSize;
    Poison(region, totalSize);
    return true;
}

void ArenaDetach(MemoryArena* arena) {
    if (arena->first != nullptr) {
        Unpoison(arena->first, arena->totalSize);
    }
    arena->first = nullptr;
    arena->totalSize = 0;
}

void ArenaRelease(MemoryArena* arena) {
    void* region = arena->first;
    ArenaDetach(arena);
    std::free(region);
}

MemoryArena* ActiveArena() {
    // Built on first use and never destroyed: its region is returned by ArenaRelease alone.
    static MemoryArena defaultArena = {};
    return currentArena != nullptr ? currentArena : &defaultArena;
}

void* EngineAlloc(uint32_t size) {
    if (!engineHeapActive) {
        return std::malloc(size);
    }
    return ArenaAllocate(ActiveArena(), size);
}

void EngineFree(void* pointer) {
    if (pointer == nullptr) {
        return;
    }
    if (engineHeapActive) {
        ArenaFree(pointer);
    } else {
        std::free(pointer);
    }
}

void* AllocateStringBuffer(uint32_t bytes) {
    if (stringArenaActive) {
        return ArenaAllocate(bytes < 2 ? &smallStringArena : &stringArena, bytes);
    }
    return EngineAlloc(bytes);
}
