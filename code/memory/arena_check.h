// The arena's heap checker: one walk over a region that verifies every invariant the allocator
// keeps, and optionally shows each block to a visitor. Tests call it after every change to an
// arena; it never writes to the arena.
#pragma once

#include <cstdint>

#include "memory/arena.h"

// One block as the checker saw it: where its header lies in the region, its payload size and
// whether it is handed out.
struct ArenaBlockView {
    uint32_t offset;
    uint32_t size;
    bool inUse;
};

using ArenaVisitor = void (*)(const ArenaBlockView& block, void* context);

// Walks the arena's blocks in address order and returns null when they tile the region, their
// prev/next links agree, no two neighbours are both free, every block names this arena as its
// owner and every block in use lies on an 8-byte boundary. Otherwise returns a short text naming
// the first broken invariant. `visit`, when given, sees every block found sound, in order. The walk
// follows a link only once it has checked that the link points where the tiling says, so a broken
// arena is never read outside its region.
const char* ArenaCheck(const MemoryArena* arena, ArenaVisitor visit = nullptr,
                       void* context = nullptr);
