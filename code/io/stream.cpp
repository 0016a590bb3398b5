// Formatting shared by every stream's Printf: the text is measured first, so it always fits its
// buffer, and goes out through the stream's own Write.
#include "io/stream.h"

#include <cstdio>

namespace {

// The length of the formatted text without its terminating zero; negative when it cannot be
// formatted.
int FormattedLength(const char* format, va_list arguments) {
    va_list copy;
    va_copy(copy, arguments);
#ifdef _WIN32
    int length = _vscprintf(format, copy);
#else
    int length = std::vsnprintf(nullptr, 0, format, copy);
#endif
    va_end(copy);
    return length;
}

}  // namespace

uint32_t StreamPrintV(Stream* stream, const char* format, va_list arguments) {
    int length = FormattedLength(format, arguments);
    if (length < 0) {
        return 0;
    }
    uint32_t textSize = static_cast<uint32_t>(length);
    char* buffer = static_cast<char*>(EngineAlloc(textSize + 1));
    if (buffer == nullptr) {
        return 0;
    }
#ifdef _WIN32
    int written = vsprintf_s(buffer, textSize + 1, format, arguments);
#else
    int written = std::vsnprintf(buffer, textSize + 1, format, arguments);
#endif
    uint32_t result = written == length ? stream->Write(textSize, buffer) : 0;
    EngineFree(buffer);
    return result;
}
