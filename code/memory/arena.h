// The block arena and the engine-wide allocation pair. Every engine object, buffer and container
// store comes from EngineAlloc and goes back through EngineFree; while engineHeapActive is set
// they carve first-fit blocks out of one region, otherwise they are the standard heap.
#pragma once

#include <cstddef>
#include <cstdint>

struct MemoryArena;

// Lies in the region directly in front of each payload. Blocks tile the region in address order
// with no gaps; prev/next is that order, and no two neighbours are ever both free.
struct ArenaBlock {
    MemoryArena* owner;
    uint8_t inUse;
    uint32_t size;  // payload bytes, header not counted
    ArenaBlock* prev;
    ArenaBlock* next;
};

// The header's share of every block: 24 bytes with 32-bit pointers, 32 with 64-bit ones. All size
// arithmetic uses this constant, never sizeof directly.
constexpr uint32_t ArenaHeaderSize = (sizeof(ArenaBlock) + 7u) & ~7u;
constexpr uint32_t ArenaGranularity = 8;
constexpr uint32_t EngineArenaSize = 0x400000;  // the region the entry point gives the arena

struct MemoryArena {
    ArenaBlock* first;   // start of the region; null while the arena has none
    uint32_t totalSize;  // bytes in the region, headers included
};

extern bool engineHeapActive;
extern MemoryArena* currentArena;
extern bool stringArenaActive;
extern MemoryArena smallStringArena;
extern MemoryArena stringArena;
extern bool registryArenaActive;
extern MemoryArena registryArena;

void* ArenaAllocate(MemoryArena* arena, uint32_t size);
void ArenaFree(void* pointer);

// Gives the arena a region of totalSize bytes from the standard heap. Returns false, leaving the
// arena empty, when the heap refuses it.
bool ArenaInit(MemoryArena* arena, uint32_t totalSize);
void ArenaRelease(MemoryArena* arena);

MemoryArena* ActiveArena();

void* EngineAlloc(uint32_t size);
void EngineFree(void* pointer);

// Storage for an engine string of `bytes` bytes (text plus terminating zero).
void* AllocateStringBuffer(uint32_t bytes);

// The header in front of a payload that ArenaAllocate handed out.
inline ArenaBlock* BlockOf(void* payload) {
    return reinterpret_cast<ArenaBlock*>(static_cast<uint8_t*>(payload) - ArenaHeaderSize);
}
