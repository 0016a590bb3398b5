// A fresh engine arena and an empty registry for each configuration test. The registry is
// process-wide, so every test forgets the previous one before its arena is thrown away.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "config/variable_registry.h"
#include "memory/arena.h"
#include "support/scoped_engine_arena.h"

class ConfigTest : public ::testing::Test {
protected:
    ConfigTest() { RestartWithArena(EngineArenaSize); }
    ~ConfigTest() override { ForgetRegistry(); }

    // A new arena of `size` bytes (a small one a test can fill up quickly) and an empty registry.
    void RestartWithArena(uint32_t size) {
        ForgetRegistry();
        arena_.reset();
        arena_.emplace(size);
    }

    // Collects reports as a sink would print them.
    std::vector<std::string> messages;
    static void Collect(void* user, const char* message) {
        static_cast<ConfigTest*>(user)->messages.emplace_back(message);
    }

private:
    // The registry lives in the arena that is about to go.
    static void ForgetRegistry() {
        ReleaseRegistry();
        currentContext = 0;
    }

    std::optional<ScopedEngineArena> arena_;
};
