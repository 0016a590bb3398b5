// Test helpers: a fresh engine arena and a fresh headless machine for the length of a test.
#pragma once

#include <gtest/gtest.h>

#include <ostream>

#include "memory/arena.h"
#include "platform/portable/headless_backend.h"
#include "support/scoped_engine_arena.h"

// A test on a headless machine with no windows, classes or messages left from other tests.
class HeadlessTest : public ::testing::Test {
protected:
    portable::HeadlessBackend backend;
    portable::ScopedBackend installed{&backend};
};

// Shows a block in a failed comparison of arena layouts as its fields rather than its bytes.
inline void PrintTo(const ArenaBlockView& block, std::ostream* out) {
    *out << "{offset " << block.offset << ", size " << block.size
         << (block.inUse ? ", in use}" : ", free}");
}
