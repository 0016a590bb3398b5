// The 32-bit name hash by which the registry finds contexts and values. Names are never compared
// as text, so two names with the same hash are the same name to the registry.
#pragma once

#include <cstdint>

// The ELF hash with each character taken as a signed byte: equal to the usual ELF symbol hash for
// 7-bit text, different for bytes 0x80..0xFF. The top four bits of the result are always clear.
uint32_t HashName(const char* name);

// The same hash over `length` bytes that need not end in a zero (NUL bytes are hashed too).
uint32_t HashNameBytes(const char* name, uint32_t length);
