// Test helpers: a fresh engine arena and a fresh headless machine for the length of a test.
#pragma once

#include <gtest/gtest.h>

#include "memory/arena.h"
#include "platform/portable/headless_backend.h"

// Switches engine allocation to a new region for a scope, as the entry point does, and gives it
// back afterwards.
class ScopedEngineArena {
public:
    explicit ScopedEngineArena(uint32_t size = EngineArenaSize) {
        wasActive_ = engineHeapActive;
        engineHeapActive = true;
        ArenaInit(ActiveArena(), size);
    }
    ~ScopedEngineArena() {
        ArenaRelease(ActiveArena());
        engineHeapActive = wasActive_;
    }
    ScopedEngineArena(const ScopedEngineArena&) = delete;
    ScopedEngineArena& operator=(const ScopedEngineArena&) = delete;

private:
    bool wasActive_;
};

// A test on a headless machine with no windows, classes or messages left from other tests.
class HeadlessTest : public ::testing::Test {
protected:
    portable::HeadlessBackend backend;
    portable::ScopedBackend installed{&backend};
};

// The blocks of an arena as (size, inUse) pairs, in address order.
std::vector<std::pair<uint32_t, bool>> ArenaLayout(const MemoryArena* arena);
