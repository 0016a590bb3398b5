// A fresh engine arena and an empty registry for each configuration test. The registry is
// process-wide, so every test forgets the previous one before its arena is thrown away.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/variable_registry.h"
#include "memory/arena.h"

class ConfigTest : public ::testing::Test {
protected:
    ConfigTest() { StartArena(EngineArenaSize); }
    ~ConfigTest() override { StopArena(); }

    void StartArena(uint32_t size) {
        wasActive_ = engineHeapActive;
        engineHeapActive = true;
        ArenaInit(ActiveArena(), size);
        ReleaseRegistry();
        currentContext = 0;
    }
    // A small arena that a test can fill up quickly.
    void RestartWithArena(uint32_t size) {
        StopArena();
        StartArena(size);
    }
    void StopArena() {
        ReleaseRegistry();
        currentContext = 0;
        ArenaRelease(ActiveArena());
        engineHeapActive = wasActive_;
    }

    // Collects reports as a sink would print them.
    std::vector<std::string> messages;
    static void Collect(void* user, const char* message) {
        static_cast<ConfigTest*>(user)->messages.emplace_back(message);
    }

private:
    bool wasActive_ = false;
};
