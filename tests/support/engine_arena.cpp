#include "support/engine_arena.h"

std::vector<std::pair<uint32_t, bool>> ArenaLayout(const MemoryArena* arena) {
    std::vector<std::pair<uint32_t, bool>> blocks;
    for (const ArenaBlock* block = arena->first; block != nullptr; block = block->next) {
        blocks.emplace_back(block->size, block->inUse != 0);
    }
    return blocks;
}
