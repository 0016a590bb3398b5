// First-fit block arena. Invariants, held after every operation:
//  - the region is tiled by blocks in address order: block + ArenaHeaderSize + size is the next
//    block's header, and the last block ends exactly at the end of the region;
//  - prev/next follow that order; the first block sits at the start of the region;
//  - no two neighbouring blocks are both free;
//  - every header handed out with a payload lies on an 8-byte boundary.
#include "memory/arena.h"

#include <cstdlib>

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

// Cuts a new free block out of `block` starting `offset` bytes after its header; the new block
// takes everything above it and `block` keeps offset - header bytes of payload.
ArenaBlock* SplitAt(ArenaBlock* block, MemoryArena* arena, uint32_t offset) {
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
ArenaBlock* Realign(ArenaBlock* block, MemoryArena* arena, uint32_t rounded) {
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
void Absorb(ArenaBlock* lower, ArenaBlock* upper) {
    lower->size += upper->size + ArenaHeaderSize;
    lower->next = upper->next;
    if (lower->next != nullptr) {
        lower->next->prev = lower;
    }
}

}  // namespace

void* ArenaAllocate(MemoryArena* arena, uint32_t size) {
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
        return Bytes(candidate) + ArenaHeaderSize;
    }
    return nullptr;
}

void ArenaFree(void* pointer) {
    ArenaBlock* block = BlockOf(pointer);
    block->inUse = 0;
    if (block->next != nullptr && block->next->inUse == 0) {
        Absorb(block, block->next);
    }
    if (block->prev != nullptr && block->prev->inUse == 0) {
        Absorb(block->prev, block);
    }
}

bool ArenaInit(MemoryArena* arena, uint32_t totalSize) {
    void* region = totalSize > ArenaHeaderSize ? std::malloc(totalSize) : nullptr;
    if (region == nullptr) {
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
    return true;
}

void ArenaRelease(MemoryArena* arena) {
    std::free(arena->first);
    arena->first = nullptr;
    arena->totalSize = 0;
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
