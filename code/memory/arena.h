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
// The largest request ArenaAllocate considers: above it, rounding up to the granularity or adding
// a header and an alignment pad would wrap around 32 bits. Larger requests are refused with null.
constexpr uint32_t ArenaLargestRequest = UINT32_MAX - ArenaHeaderSize - (ArenaGranularity - 1);

// Under AddressSanitizer the arena poisons every header, every free payload and the slack past
// each request, so the sanitizer reports an overflow of a block or a use of a freed one.
#if defined(__SANITIZE_ADDRESS__)
#define ARENA_POISONING 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ARENA_POISONING 1
#endif
#endif
#ifndef ARENA_POISONING
#define ARENA_POISONING 0
#endif

// Marks the functions that may touch headers: the allocator and its checker. Headers are poisoned
// for everyone else, and in a region that does not start on an 8-byte boundary they sit off their
// natural alignment, which the allocator handles by design.
#if defined(__GNUC__) || defined(__clang__)
#define ARENA_HEADER_ACCESS __attribute__((no_sanitize("address", "alignment")))
#else
#define ARENA_HEADER_ACCESS
#endif

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

// Null when no free block is large enough, and for requests above ArenaLargestRequest.
void* ArenaAllocate(MemoryArena* arena, uint32_t size);
// Ignores null, and a pointer whose header does not check out as a block in use of the arena it
// names: a pointer no arena handed out, or a second release of a block whose memory is still
// free, leaves every arena as it was. Once that memory has been handed out again, a stale
// release cannot be told from a real one: a block that now starts at the same address is freed.
void ArenaFree(void* pointer);

// Gives the arena a region of totalSize bytes from the standard heap. Returns false, leaving the
// arena empty, when the heap refuses it.
bool ArenaInit(MemoryArena* arena, uint32_t totalSize);
// Makes the totalSize bytes at `region`, which the caller owns, the arena's one free block. The
// region may start anywhere; a region off the 8-byte grid realigns the blocks it hands out.
// Returns false, leaving the arena empty and the region untouched, for a region smaller than one
// header.
bool ArenaInitRegion(MemoryArena* arena, void* region, uint32_t totalSize);
// Returns the region to the standard heap in one piece; the arena is empty afterwards.
void ArenaRelease(MemoryArena* arena);
// Empties the arena and leaves its region to the caller as plain memory (unpoisoned), without
// returning it anywhere: the end of a region given with ArenaInitRegion.
void ArenaDetach(MemoryArena* arena);

MemoryArena* ActiveArena();

void* EngineAlloc(uint32_t size);
void EngineFree(void* pointer);

// Storage for an engine string of `bytes` bytes (text plus terminating zero).
void* AllocateStringBuffer(uint32_t bytes);

// The header in front of a payload that ArenaAllocate handed out.
inline ArenaBlock* BlockOf(void* payload) {
    return reinterpret_cast<ArenaBlock*>(static_cast<uint8_t*>(payload) - ArenaHeaderSize);
}
