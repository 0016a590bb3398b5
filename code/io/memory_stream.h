// A Stream over a block of memory the caller owns, for tests and fuzzing: it behaves like a
// FileStream over a file holding the same bytes, without touching the disk, but for one thing: it
// cannot be positioned past the end of its room (for a read-only stream, its bytes), where a file
// can. Seek refuses that, as it refuses a negative offset.
#pragma once

#include "io/stream.h"

class MemoryStream : public Stream {
public:
    // Reads the `byteCount` bytes at `bytes`; writes are refused.
    MemoryStream(const void* bytes, uint32_t byteCount);
    // Reads and writes within `room` bytes at `bytes`, of which the first `byteCount` hold data.
    MemoryStream(void* bytes, uint32_t byteCount, uint32_t room);
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    uint32_t Read(uint32_t count, void* buffer) override;
    uint32_t Write(uint32_t count, const void* buffer) override;
    uint32_t Printf(const char* format, ...) override TASPO_PRINTF_METHOD;
    int32_t Seek(int32_t offset) override;
    int32_t Tell() override;
    int32_t Eof() override;
    int32_t Size() override;

    const uint8_t* data;
    uint8_t* writable;  // null for a read-only stream
    uint32_t size;      // bytes of data
    uint32_t capacity;  // bytes a write may fill
    uint32_t position;
    bool atEnd;  // the end-of-file indicator
};
