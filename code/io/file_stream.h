// A Stream over a standard-library file. A stream whose open failed stays usable: every
// operation then returns its failure value, and openError names the reason.
#pragma once

#include <cstdio>

#include "io/stream.h"

class FileStream : public Stream {
public:
    // Opens `name` in the standard library's `mode` notation ("rb", "wb", ...).
    FileStream(const char* name, const char* mode);
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    uint32_t Read(uint32_t size, void* buffer) override;
    uint32_t Write(uint32_t size, const void* buffer) override;
    uint32_t Printf(const char* format, ...) override TASPO_PRINTF_METHOD;
    int32_t Seek(int32_t offset) override;
    int32_t Tell() override;
    int32_t Eof() override;
    int32_t Size() override;

    bool IsOpen() const { return file != nullptr; }

    FILE* file;     // owned; null when the open failed
    int openError;  // the errno of a failed open, for strerror; 0 when open
    int readError;  // the errno of the first read the system failed (not a short read); or 0
};
