// The registry: creation, lookups in hand-built trees, typed reads with their fallbacks, and the
// storing side that keeps the trees in order.
#include "config/variable_registry.h"

#include <cstring>
#include <vector>

#include "config/hash_name.h"
#include "config_test_arena.h"

namespace {

Variable BoolBytes(uint8_t b0, uint8_t b1) {
    Variable variable{VariableTypeBool, 0};
    uint8_t bytes[4] = {b0, b1, 0, 0};
    std::memcpy(&variable.value, bytes, 4);
    return variable;
}

template <typename Node>
void InOrder(const Node* node, std::vector<uint32_t>* keys) {
    if (node == nullptr) {
        return;
    }
    InOrder(node->lower, keys);
    keys->push_back(node->key);
    InOrder(node->higher, keys);
}

template <typename Node>
std::vector<uint32_t> KeysOf(const Node* root) {
    std::vector<uint32_t> keys;
    InOrder(root, &keys);
    return keys;
}

}  // namespace

using Registry = ConfigTest;

TEST_F(Registry, CreatedEmptyOnceAndKeptAfterwards) {
    VariableRegistry* registry = GetRegistry();
    ASSERT_NE(registry, nullptr);
    EXPECT_EQ(GetRegistry(), registry);
    EXPECT_EQ(registry->contextRoot, nullptr);
    EXPECT_EQ(registry->contextCount, 0u);
    EXPECT_EQ(registry->arena, nullptr);
    for (uint32_t word : registry->reserved) {
        EXPECT_EQ(word, 0u);
    }
    ASSERT_NE(registry->name.chars, nullptr);
    EXPECT_EQ(registry->name.length, 0u);
    EXPECT_EQ(registry->name.chars[0], '\0');
    EXPECT_TRUE(ArenaOwns(ActiveArena(), registry));
}

TEST_F(Registry, NeverFilledFindsNothingAndReadsDefaults) {
    EXPECT_EQ(Lookup(0), nullptr);
    EXPECT_EQ(Lookup(HashName("DisplayWidth")), nullptr);
    EXPECT_EQ(ReadInt(HashName("DisplayDepth"), 32), 32);
    EXPECT_EQ(ReadInt(HashName("DisplayDepth"), -7), -7);
    EXPECT_TRUE(ReadBool(HashName("Fullscreen"), true));
    EXPECT_FALSE(ReadBool(HashName("Fullscreen"), false));
    EXPECT_EQ(GetRegistry()->contextCount, 0u);
}

TEST_F(Registry, FailedCreationReturnsNullAndIsRetried) {
    // Room for the record but not for its name's one-byte buffer.
    uint32_t record = (sizeof(VariableRegistry) + 7u) & ~7u;
    RestartWithArena(ArenaHeaderSize + record);
    EXPECT_EQ(GetRegistry(), nullptr);
    EXPECT_EQ(BlocksInUse(ActiveArena()), 0u) << "the half-made record must be given back";
    EXPECT_EQ(ReadInt(HashName("DisplayRate"), 60), 60);

    RestartWithArena(ArenaHeaderSize + record + ArenaHeaderSize + ArenaGranularity);
    VariableRegistry* registry = GetRegistry();
    ASSERT_NE(registry, nullptr);
    EXPECT_EQ(GetRegistry(), registry);
}

TEST_F(Registry, CreatedInTheRegistryArenaWhenItsSwitchIsOn) {
    ASSERT_TRUE(ArenaInit(&registryArena, 4096));
    registryArenaActive = true;
    VariableRegistry* registry = GetRegistry();
    registryArenaActive = false;
    ASSERT_NE(registry, nullptr);
    EXPECT_EQ(registry->arena, &registryArena);
    EXPECT_TRUE(ArenaOwns(ActiveArena(), registry)) << "the record itself is EngineAlloc's";
    ASSERT_TRUE(StoreInt(0, HashName("DisplayWidth"), 800));
    EXPECT_TRUE(ArenaOwns(&registryArena, registry->contextRoot));
    EXPECT_TRUE(ArenaOwns(&registryArena, registry->contextRoot->variables));
    EXPECT_EQ(ReadInt(HashName("DisplayWidth"), 0), 800);
    ReleaseRegistry();
    ArenaRelease(&registryArena);
}

// Trees built by hand, keys on both sides of 0x80000000 so a signed comparison would go astray.
TEST_F(Registry, LookupDescendsBothTreesByUnsignedKey) {
    VariableNode low{0x10, Variable{VariableTypeInt, 1}, nullptr, nullptr};
    VariableNode high{0x90000000u, Variable{VariableTypeInt, 3}, nullptr, nullptr};
    VariableNode middle{0x7000, Variable{VariableTypeInt, 2}, &low, &high};
    VariableNode other{0x10, Variable{VariableTypeInt, 99}, nullptr, nullptr};
    ContextNode named{0x85000000u, &other, nullptr, nullptr};
    ContextNode empty{0x20, nullptr, nullptr, nullptr};
    ContextNode root{0, &middle, nullptr, &named};
    named.lower = &empty;
    GetRegistry()->contextRoot = &root;

    EXPECT_EQ(ReadInt(0x10, -1), 1);
    EXPECT_EQ(ReadInt(0x7000, -1), 2);
    EXPECT_EQ(ReadInt(0x90000000u, -1), 3);
    EXPECT_EQ(Lookup(0x11), nullptr);
    EXPECT_EQ(Lookup(0xF0000000u), nullptr);

    currentContext = 0x85000000u;
    EXPECT_EQ(ReadInt(0x10, -1), 99);
    EXPECT_EQ(Lookup(0x7000), nullptr) << "only the current context is searched";
    currentContext = 0x20;
    EXPECT_EQ(Lookup(0x10), nullptr);
    currentContext = 0x30;
    EXPECT_EQ(Lookup(0x10), nullptr);
    GetRegistry()->contextRoot = nullptr;
}

TEST_F(Registry, ReadsCheckTheTypeTag) {
    uint32_t number = HashName("DisplayWidth");
    uint32_t flag = HashName("Fullscreen");
    ASSERT_TRUE(StoreInt(0, number, 1));
    ASSERT_TRUE(StoreBool(0, flag, true));
    EXPECT_EQ(ReadInt(number, 0), 1);
    EXPECT_TRUE(ReadBool(flag, false));
    EXPECT_FALSE(ReadBool(number, false)) << "an integer read as a boolean is missing";
    EXPECT_TRUE(ReadBool(number, true));
    EXPECT_EQ(ReadInt(flag, 42), 42) << "a boolean read as an integer is missing";

    Variable unknown{3, 1};
    ASSERT_TRUE(StoreVariable(0, number, unknown));
    EXPECT_EQ(ReadInt(number, 5), 5);
    EXPECT_FALSE(ReadBool(number, false));
}

TEST_F(Registry, BooleanIsTheFirstByteOfTheValue) {
    uint32_t key = HashName("Fullscreen");
    ASSERT_TRUE(StoreVariable(0, key, BoolBytes(0, 1)));
    EXPECT_FALSE(ReadBool(key, true));
    ASSERT_TRUE(StoreVariable(0, key, BoolBytes(0x80, 0)));
    EXPECT_TRUE(ReadBool(key, false));
    ASSERT_TRUE(StoreBool(0, key, false));
    EXPECT_FALSE(ReadBool(key, true));
}

TEST_F(Registry, IntegersKeepTheirSign) {
    uint32_t key = HashName("DisplayDepth");
    for (int32_t value : {0, -1, INT32_MIN, INT32_MAX, 16}) {
        ASSERT_TRUE(StoreInt(0, key, value));
        EXPECT_EQ(ReadInt(key, 32), value);
    }
}

TEST_F(Registry, StoringKeepsBothTreesOrderedAndCountsContexts) {
    const uint32_t contexts[] = {0x500, 0, 0x80000001u, 0x20, 0xFFFFFFFFu, 0x500, 0};
    const uint32_t names[] = {0x7, 0x90000000u, 0x3, 0x7FFFFFFFu, 0x8, 0x1, 0x7};
    for (uint32_t context : contexts) {
        for (uint32_t name : names) {
            ASSERT_TRUE(StoreInt(context, name, static_cast<int32_t>(name ^ context)));
        }
    }
    VariableRegistry* registry = GetRegistry();
    EXPECT_EQ(registry->contextCount, 5u);
    std::vector<uint32_t> expected = {0, 0x20, 0x500, 0x80000001u, 0xFFFFFFFFu};
    EXPECT_EQ(KeysOf(registry->contextRoot), expected);
    EXPECT_EQ(registry->contextRoot->key, 0x500u) << "the first context stays the root";

    std::vector<uint32_t> sortedNames = {0x1, 0x3, 0x7, 0x8, 0x7FFFFFFFu, 0x90000000u};
    for (uint32_t context : expected) {
        currentContext = context;
        const ContextNode* node = registry->contextRoot;
        while (node->key != context) {
            node = context > node->key ? node->higher : node->lower;
        }
        EXPECT_EQ(KeysOf(node->variables), sortedNames);
        for (uint32_t name : sortedNames) {
            EXPECT_EQ(ReadInt(name, 0), static_cast<int32_t>(name ^ context));
        }
    }
}

TEST_F(Registry, AnEqualKeyReplacesValueAndType) {
    uint32_t key = HashName("Fullscreen");
    ASSERT_TRUE(StoreInt(0, key, 1));
    ASSERT_TRUE(StoreBool(0, key, true));
    EXPECT_TRUE(ReadBool(key, false));
    EXPECT_EQ(ReadInt(key, 7), 7);
    EXPECT_EQ(GetRegistry()->contextCount, 1u);
    EXPECT_EQ(KeysOf(GetRegistry()->contextRoot->variables).size(), 1u);
}

TEST_F(Registry, NamesWithTheSameHashAreOneValue) {
    ASSERT_TRUE(StoreInt(0, HashName("AQ"), 1));
    ASSERT_TRUE(StoreInt(0, HashName("BA"), 2));
    EXPECT_EQ(ReadInt(HashName("AQ"), 0), 2);
    EXPECT_EQ(ReadInt(HashName("BA"), 0), 2);
    EXPECT_EQ(KeysOf(GetRegistry()->contextRoot->variables).size(), 1u);
}

TEST_F(Registry, CurrentContextChoosesWhichValuesAreSeen) {
    uint32_t key = HashName("DisplayWidth");
    uint32_t display = HashName("Display");
    ASSERT_TRUE(StoreInt(display, key, 1024));
    EXPECT_EQ(ReadInt(key, 0), 0) << "context 0, the empty name, holds nothing yet";
    ASSERT_TRUE(StoreInt(HashName(""), key, 640));
    EXPECT_EQ(ReadInt(key, 0), 640);
    currentContext = display;
    EXPECT_EQ(ReadInt(key, 0), 1024);
}

TEST_F(Registry, NothingChangesWhenANodeCannotBeAllocated) {
    RestartWithArena(4096);
    ASSERT_NE(GetRegistry(), nullptr);
    std::vector<void*> taken;
    while (void* block = EngineAlloc(8)) {
        taken.push_back(block);
    }
    EXPECT_FALSE(StoreInt(0, 1, 1));
    EXPECT_EQ(GetRegistry()->contextCount, 0u);
    EXPECT_EQ(GetRegistry()->contextRoot, nullptr);

    // The last two blocks together hold a context node but no value node after it: the new
    // context must be given back, so its room is there again afterwards.
    EngineFree(taken[taken.size() - 1]);
    EngineFree(taken[taken.size() - 2]);
    EXPECT_FALSE(StoreInt(0, 1, 1));
    EXPECT_EQ(GetRegistry()->contextCount, 0u);
    EXPECT_EQ(GetRegistry()->contextRoot, nullptr);
    EXPECT_NE(EngineAlloc(sizeof(ContextNode)), nullptr);
}

TEST(ConfigKey, HashesOnFirstUseOnly) {
    ConfigKey key = {"DisplayWidth", 0, false};
    EXPECT_EQ(KeyHash(&key), HashName("DisplayWidth"));
    EXPECT_TRUE(key.hashed);
    key.name = "Fullscreen";
    EXPECT_EQ(KeyHash(&key), HashName("DisplayWidth")) << "the kept hash is used from then on";
}
