// The memory stream keeps the file stream's results: all-or-nothing counts, partial reads that
// still deliver their bytes, and an end-of-file indicator that only Seek clears.
#include "io/memory_stream.h"

#include <algorithm>
#include <climits>
#include <cstring>

// A null block holds nothing, whatever size comes with it.
MemoryStream::MemoryStream(const void* bytes, uint32_t byteCount)
    : data(static_cast<const uint8_t*>(bytes)),
      writable(nullptr),
      size(bytes != nullptr ? byteCount : 0),
      capacity(size),
      position(0),
      atEnd(false) {}

MemoryStream::MemoryStream(void* bytes, uint32_t byteCount, uint32_t room)
    : data(static_cast<const uint8_t*>(bytes)),
      writable(static_cast<uint8_t*>(bytes)),
      size(bytes != nullptr ? std::min(byteCount, room) : 0),
      capacity(bytes != nullptr ? room : 0),
      position(0),
      atEnd(false) {}

uint32_t MemoryStream::Read(uint32_t count, void* buffer) {
    uint32_t available = position < size ? size - position : 0;
    uint32_t moved = std::min(count, available);
    if (moved > 0) {
        std::memcpy(buffer, data + position, moved);
        position += moved;
    }
    if (moved < count) {
        atEnd = true;
        return 0;
    }
    return count > 0 ? 1 : 0;
}

uint32_t MemoryStream::Write(uint32_t count, const void* buffer) {
    if (writable == nullptr || count == 0) {
        return 0;
    }
    uint32_t room = position < capacity ? capacity - position : 0;
    uint32_t moved = std::min(count, room);
    if (moved > 0) {
        if (position > size) {
            std::memset(writable + size, 0, position - size);  // a file's gap reads as zeros
        }
        std::memcpy(writable + position, buffer, moved);
        position += moved;
        size = std::max(size, position);
    }
    return moved == count ? 1 : 0;
}

uint32_t MemoryStream::Printf(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    uint32_t result = StreamPrintV(this, format, arguments);
    va_end(arguments);
    return result;
}

int32_t MemoryStream::Seek(int32_t offset) {
    if (offset < 0 || static_cast<uint32_t>(offset) > capacity) {
        return -1;
    }
    position = static_cast<uint32_t>(offset);
    atEnd = false;
    return 0;
}

int32_t MemoryStream::Tell() {
    return position <= INT32_MAX ? static_cast<int32_t>(position) : -1;
}

int32_t MemoryStream::Eof() {
    return atEnd ? 1 : 0;
}

int32_t MemoryStream::Size() {
    return size <= INT32_MAX ? static_cast<int32_t>(size) : -1;
}
