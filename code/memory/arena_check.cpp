// The heap checker. Each header is read only after its address has been derived from the tiling
// and found inside the region, so the walk is safe on an arena that is already broken.
#include "memory/arena_check.h"

namespace {

const uint8_t* Bytes(const ArenaBlock* block) {
    return reinterpret_cast<const uint8_t*>(block);
}

// The checks that concern a block on its own and its link back to the block below it.
ARENA_HEADER_ACCESS const char* CheckBlock(const MemoryArena* arena, const ArenaBlock* block,
                                           const ArenaBlock* below, uint64_t offset) {
    if (offset + ArenaHeaderSize + block->size > arena->totalSize) {
        return "a block runs past the end of the region";
    }
    if (block->owner != arena) {
        return "a block names another arena as its owner";
    }
    if (block->inUse > 1) {
        return "a block's in-use flag is neither 0 nor 1";
    }
    if (block->inUse != 0 && reinterpret_cast<uintptr_t>(block) % ArenaGranularity != 0) {
        return "a block in use is not on an 8-byte boundary";
    }
    if (block->prev != below) {
        return "a block's prev link does not name the block below it";
    }
    if (below != nullptr && below->inUse == 0 && block->inUse == 0) {
        return "two neighbouring blocks are both free";
    }
    return nullptr;
}

}  // namespace

ARENA_HEADER_ACCESS const char* ArenaCheck(const MemoryArena* arena, ArenaVisitor visit,
                                           void* context) {
    if (arena->first == nullptr) {
        return arena->totalSize == 0 ? nullptr : "an arena without a region has a size";
    }
    if (arena->totalSize < ArenaHeaderSize) {
        return "the region is too small for one header";
    }
    const ArenaBlock* below = nullptr;
    const ArenaBlock* block = arena->first;
    uint64_t offset = 0;
    for (;;) {
        if (const char* problem = CheckBlock(arena, block, below, offset)) {
            return problem;
        }
        if (visit != nullptr) {
            visit(ArenaBlockView{static_cast<uint32_t>(offset), block->size, block->inUse != 0},
                  context);
        }
        offset += ArenaHeaderSize + block->size;
        const ArenaBlock* expected =
            offset < arena->totalSize
                ? reinterpret_cast<const ArenaBlock*>(Bytes(arena->first) + offset)
                : nullptr;
        if (block->next != expected) {
            return expected == nullptr ? "the last block links past the end of the region"
                                       : "a block's next link skips or overlaps its neighbour";
        }
        if (expected == nullptr) {
            return nullptr;
        }
        if (offset + ArenaHeaderSize > arena->totalSize) {
            return "the region ends inside a header";
        }
        below = block;
        block = expected;
    }
}
