// Creation of engine strings.
#include "config/engine_string.h"

#include <cstring>

#include "memory/arena.h"

bool CreateEngineString(EngineString* string, const char* text) {
    string->chars = nullptr;
    string->length = 0;
    size_t length = std::strlen(text);
    if (length >= UINT32_MAX) {
        return false;
    }
    char* buffer = static_cast<char*>(AllocateStringBuffer(static_cast<uint32_t>(length) + 1));
    if (buffer == nullptr) {
        return false;
    }
    std::memcpy(buffer, text, length + 1);
    string->chars = buffer;
    string->length = static_cast<uint32_t>(length);
    return true;
}
