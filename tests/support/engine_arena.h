// Test helpers: a fresh engine arena and a fresh headless machine for the length of a test.
#pragma once

#include <gtest/gtest.h>

#include "memory/arena.h"
#include "platform/portable/headless_backend.h"
#include "support/scoped_engine_arena.h"

// A test on a headless machine with no windows, classes or messages left from other tests.
class HeadlessTest : public ::testing::Test {
protected:
    portable::HeadlessBackend backend;
    portable::ScopedBackend installed{&backend};
};

// The blocks of an arena as (size, inUse) pairs, in address order.
std::vector<std::pair<uint32_t, bool>> ArenaLayout(const MemoryArena* arena);
