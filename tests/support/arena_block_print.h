// How a failed comparison of arena layouts shows a block: its fields rather than its bytes.
#pragma once

#include <ostream>

#include "memory/arena_check.h"

inline void PrintTo(const ArenaBlockView& block, std::ostream* out) {
    *out << "{offset " << block.offset << ", size " << block.size
         << (block.inUse ? ", in use}" : ", free}");
}
