// The engine's owned text: a zero-terminated buffer and the count of characters before the zero.
#pragma once

#include <cstdint>

struct EngineString {
    char* chars;  // owned; obtained by the string-buffer rule (AllocateStringBuffer)
    uint32_t length;
};

// Makes `string` own a copy of `text` with its terminating zero, in a buffer of the text's length
// plus one byte. Returns false, leaving the string empty with no buffer, when no buffer could be
// had.
bool CreateEngineString(EngineString* string, const char* text);
