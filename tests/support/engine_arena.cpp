#include "support/engine_arena.h"

std::vector<std::pair<uint32_t, bool>> ArenaLayout(const MemoryArena* arena) {
    std::vector<std::pair<uint32_t, bool>> blocks;
    for (const ArenaBlockView& block : ArenaBlocks(arena)) {
        blocks.emplace_back(block.size, block.inUse);
    }
    return blocks;
}
