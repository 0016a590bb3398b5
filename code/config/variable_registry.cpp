// The registry instance, its lookups and typed reads, and the storing side that fills it.
#include "config/variable_registry.h"

#include <cstring>

#include "config/hash_name.h"

uint32_t currentContext = 0;

namespace {

VariableRegistry* registryInstance = nullptr;

// The link that holds `key`'s node, or the null link where it would be inserted. Descends
// without recursion, so a tree grown from sorted keys costs time but never stack.
template <typename Node>
Node** FindLink(Node** link, uint32_t key) {
    while (*link != nullptr && (*link)->key != key) {
        link = key > (*link)->key ? &(*link)->higher : &(*link)->lower;
    }
    return link;
}

void* AllocateNode(VariableRegistry* registry, uint32_t size) {
    return registry->arena != nullptr ? ArenaAllocate(registry->arena, size) : EngineAlloc(size);
}

void FreeNode(VariableRegistry* registry, void* node) {
    if (registry->arena != nullptr) {
        ArenaFree(node);
    } else {
        EngineFree(node);
    }
}

}  // namespace

VariableRegistry* GetRegistry() {
    if (registryInstance != nullptr) {
        return registryInstance;
    }
    auto* registry = static_cast<VariableRegistry*>(EngineAlloc(sizeof(VariableRegistry)));
    if (registry == nullptr) {
        return nullptr;
    }
    std::memset(registry, 0, sizeof(VariableRegistry));
    registry->arena = registryArenaActive ? &registryArena : nullptr;
    // A registry without its name would be half made; give up on both and retry next call.
    if (!CreateEngineString(&registry->name, "")) {
        EngineFree(registry);
        return nullptr;
    }
    registryInstance = registry;
    return registry;
}

void ReleaseRegistry() {
    registryInstance = nullptr;
}

const Variable* Lookup(uint32_t nameHash) {
    VariableRegistry* registry = GetRegistry();
    if (registry == nullptr) {
        return nullptr;
    }
    ContextNode* context = *FindLink(&registry->contextRoot, currentContext);
    if (context == nullptr) {
        return nullptr;
    }
    VariableNode* node = *FindLink(&context->variables, nameHash);
    return node != nullptr ? &node->variable : nullptr;
}

int32_t ReadInt(uint32_t nameHash, int32_t defaultValue) {
    const Variable* variable = Lookup(nameHash);
    if (variable == nullptr || variable->type != VariableTypeInt) {
        return defaultValue;
    }
    return static_cast<int32_t>(variable->value);
}

bool ReadBool(uint32_t nameHash, bool defaultValue) {
    const Variable* variable = Lookup(nameHash);
    if (variable == nullptr || variable->type != VariableTypeBool) {
        return defaultValue;
    }
    uint8_t firstByte;
    std::memcpy(&firstByte, &variable->value, 1);
    return firstByte != 0;
}

uint32_t KeyHash(ConfigKey* key) {
    if (!key->hashed) {
        key->hash = HashName(key->name);
        key->hashed = true;
    }
    return key->hash;
}

bool StoreVariable(uint32_t contextHash, uint32_t nameHash, Variable variable) {
    VariableRegistry* registry = GetRegistry();
    if (registry == nullptr) {
        return false;
    }
    ContextNode** contextLink = FindLink(&registry->contextRoot, contextHash);
    ContextNode* context = *contextLink;
    if (context == nullptr) {
        context = static_cast<ContextNode*>(AllocateNode(registry, sizeof(ContextNode)));
        if (context == nullptr) {
            return false;
        }
        *context = ContextNode{contextHash, nullptr, nullptr, nullptr};
    }
    VariableNode** variableLink = FindLink(&context->variables, nameHash);
    if (*variableLink != nullptr) {
        (*variableLink)->variable = variable;
        return true;
    }
    auto* node = static_cast<VariableNode*>(AllocateNode(registry, sizeof(VariableNode)));
    if (node == nullptr) {
        if (*contextLink == nullptr) {
            FreeNode(registry, context);
        }
        return false;
    }
    *node = VariableNode{nameHash, variable, nullptr, nullptr};
    *variableLink = node;
    if (*contextLink == nullptr) {
        *contextLink = context;
        ++registry->contextCount;
    }
    return true;
}

bool StoreInt(uint32_t contextHash, uint32_t nameHash, int32_t value) {
    return StoreVariable(contextHash, nameHash,
                         Variable{VariableTypeInt, static_cast<uint32_t>(value)});
}

bool StoreBool(uint32_t contextHash, uint32_t nameHash, bool value) {
    Variable variable{VariableTypeBool, 0};
    uint8_t firstByte = value ? 1 : 0;
    std::memcpy(&variable.value, &firstByte, 1);
    return StoreVariable(contextHash, nameHash, variable);
}
