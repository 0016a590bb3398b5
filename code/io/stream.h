// The engine's abstract byte stream: loaders read through it without knowing where the bytes
// come from. The order of the virtual operations is part of the interface; do not reorder them.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "memory/arena.h"

#if defined(__GNUC__) || defined(__clang__)
#define TASPO_PRINTF_METHOD __attribute__((format(printf, 2, 3)))
#else
#define TASPO_PRINTF_METHOD
#endif

class Stream {
public:
    virtual ~Stream() = default;
    // Transfers all `size` bytes or reports failure: 1 when every byte moved, otherwise 0. A short
    // read still stores and consumes the bytes that were there. Size 0 returns 0.
    virtual uint32_t Read(uint32_t size, void* buffer) = 0;
    virtual uint32_t Write(uint32_t size, const void* buffer) = 0;
    // Formats like printf and hands the text, without its terminating zero, to Write; returns
    // Write's result, or 0 when the text could not be formatted.
    virtual uint32_t Printf(const char* format, ...) TASPO_PRINTF_METHOD = 0;
    // Moves to `offset` bytes from the start; 0 on success and clears the end-of-file indicator.
    virtual int32_t Seek(int32_t offset) = 0;
    // The position from the start, or -1 on failure.
    virtual int32_t Tell() = 0;
    // Non-zero once a read has run into the end.
    virtual int32_t Eof() = 0;
    // The length in bytes, leaving the position unchanged; -1 on failure.
    virtual int32_t Size() = 0;

    // Streams that are not local objects come from EngineAlloc and are built in place, so the
    // deleting destructor must return them the same way. Plain `new` would pair the global heap
    // with EngineFree, so only the placement form is offered.
    static void operator delete(void* pointer) { EngineFree(pointer); }
    static void* operator new(std::size_t size) = delete;
    static void* operator new(std::size_t, void* place) noexcept { return place; }
};

// The common half of every Printf: measures, formats into a temporary EngineAlloc block and
// writes the text through stream->Write. Returns 0 when the format fails or memory runs out.
uint32_t StreamPrintV(Stream* stream, const char* format, va_list arguments);
