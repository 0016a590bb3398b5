// The engine's store of named, typed configuration values, grouped in contexts. Contexts and
// values are found by HashName of their names in two levels of binary search trees ordered by
// unsigned key; readers fall back to a default of their own when a value is missing or of
// another type, so an empty registry simply means "every default".
#pragma once

#include <cstdint>

#include "config/engine_string.h"
#include "memory/arena.h"

constexpr int32_t VariableTypeBool = 1;
constexpr int32_t VariableTypeInt = 2;

struct Variable {
    int32_t type;    // VariableTypeBool or VariableTypeInt
    uint32_t value;  // tag 2: a signed 32-bit integer; tag 1: the first byte, non-zero = true
};

struct VariableNode {
    uint32_t key;  // HashName of the value's name
    Variable variable;
    VariableNode* lower;
    VariableNode* higher;
};

struct ContextNode {
    uint32_t key;             // HashName of the context's name
    VariableNode* variables;  // null while the context holds no values
    ContextNode* lower;
    ContextNode* higher;
};

struct VariableRegistry {
    ContextNode* contextRoot;
    uint32_t contextCount;
    MemoryArena* arena;  // registryArena when registryArenaActive was set at creation
    uint32_t reserved[4];
    EngineString name;  // the empty string
};

// The context that lookups search: the hash of its name. 0 is the empty name.
extern uint32_t currentContext;

// The one registry, created on first call through EngineAlloc. Null when it could not be
// created; the next call tries again.
VariableRegistry* GetRegistry();

// Forgets the registry without releasing anything, for a caller that has just thrown away the
// arena the registry lived in (tests do, one fresh arena per test). The program never calls it:
// the registry lives until the arena goes back to the heap at exit.
void ReleaseRegistry();

// The value stored under `nameHash` in the context `currentContext`, or null. Creates nothing
// but the registry itself on a first call.
const Variable* Lookup(uint32_t nameHash);

int32_t ReadInt(uint32_t nameHash, int32_t defaultValue);
bool ReadBool(uint32_t nameHash, bool defaultValue);

// A key name whose hash is computed on first use and kept; readers hold one per key as a
// function-local static: `static ConfigKey key = {"DisplayWidth"};`.
struct ConfigKey {
    const char* name;
    uint32_t hash;
    bool hashed;
};

uint32_t KeyHash(ConfigKey* key);

inline int32_t ReadInt(ConfigKey* key, int32_t defaultValue) {
    return ReadInt(KeyHash(key), defaultValue);
}
inline bool ReadBool(ConfigKey* key, bool defaultValue) {
    return ReadBool(KeyHash(key), defaultValue);
}

// Stores `variable` under `nameHash` in the context `contextHash`, creating the context with its
// first value and replacing any value already stored under the same hash, whatever its type.
// Returns false, changing nothing, when the registry or a node could not be allocated.
bool StoreVariable(uint32_t contextHash, uint32_t nameHash, Variable variable);
bool StoreInt(uint32_t contextHash, uint32_t nameHash, int32_t value);
bool StoreBool(uint32_t contextHash, uint32_t nameHash, bool value);
