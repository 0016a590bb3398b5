// The registry's name hash.
#include "config/hash_name.h"

namespace {

uint32_t HashStep(uint32_t hash, char character) {
    // A byte above 0x7F adds a negative value, which is what sets this hash apart from ELF's.
    hash =
        (hash << 4) + static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(character)));
    uint32_t high = hash & 0xF0000000u;
    if (high != 0) {
        hash ^= high >> 24;
    }
    return hash & ~high;
}

}  // namespace

uint32_t HashName(const char* name) {
    uint32_t hash = 0;
    for (; *name != '\0'; ++name) {
        hash = HashStep(hash, *name);
    }
    return hash;
}

uint32_t HashNameBytes(const char* name, uint32_t length) {
    uint32_t hash = 0;
    for (uint32_t i = 0; i < length; ++i) {
        hash = HashStep(hash, name[i]);
    }
    return hash;
}
