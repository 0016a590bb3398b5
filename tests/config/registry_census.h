// Counting what the registry and the arena hold, for the checks that reading configuration keeps
// nothing but its values: shared by the configuration tests and the reader's fuzz target.
#pragma once

#include <cstdint>

#include "config/variable_registry.h"
#include "memory/arena.h"
#include "support/scoped_engine_arena.h"

template <typename Node>
uint32_t CountNodes(const Node* node) {
    return node == nullptr ? 0 : 1 + CountNodes(node->lower) + CountNodes(node->higher);
}

inline uint32_t CountValues(const ContextNode* context) {
    return context == nullptr ? 0
                              : CountNodes(context->variables) + CountValues(context->lower) +
                                    CountValues(context->higher);
}
