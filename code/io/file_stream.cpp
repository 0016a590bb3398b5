// The file stream: each operation is the standard library call of the same meaning, guarded so
// that a stream whose open failed never hands a null FILE to the library.
#include "io/file_stream.h"

#include <cerrno>
#include <climits>

namespace {

FILE* OpenFile(const char* name, const char* mode, int* error) {
    FILE* file = nullptr;
#ifdef _WIN32
    *error = fopen_s(&file, name, mode);
#else
    errno = 0;
    file = std::fopen(name, mode);
    *error = file == nullptr ? errno : 0;
#endif
    if (file == nullptr && *error == 0) {
        *error = ENOENT;  // the library failed without saying why
    }
    return file;
}

}  // namespace

FileStream::FileStream(const char* name, const char* mode)
    : file(nullptr), openError(0), readError(0) {
    file = OpenFile(name, mode, &openError);
}

FileStream::~FileStream() {
    if (file != nullptr) {
        std::fclose(file);
    }
}

uint32_t FileStream::Read(uint32_t size, void* buffer) {
    if (file == nullptr) {
        return 0;
    }
    errno = 0;
    uint32_t items = static_cast<uint32_t>(std::fread(buffer, size, 1, file));
    if (items == 0 && std::ferror(file) != 0 && readError == 0) {
        readError = errno != 0 ? errno : EIO;
    }
    return items;
}

uint32_t FileStream::Write(uint32_t size, const void* buffer) {
    if (file == nullptr) {
        return 0;
    }
    return static_cast<uint32_t>(std::fwrite(buffer, size, 1, file));
}

uint32_t FileStream::Printf(const char* format, ...) {
    if (file == nullptr) {
        return 0;
    }
    va_list arguments;
    va_start(arguments, format);
    uint32_t result = StreamPrintV(this, format, arguments);
    va_end(arguments);
    return result;
}

int32_t FileStream::Seek(int32_t offset) {
    // Some C libraries move the position even as they refuse a negative offset; refuse it here.
    if (file == nullptr || offset < 0) {
        return -1;
    }
    return std::fseek(file, offset, SEEK_SET);
}

int32_t FileStream::Tell() {
    if (file == nullptr) {
        return -1;
    }
    long position = std::ftell(file);
    // A position the 32-bit result cannot hold is reported as a failure, not wrapped.
    return position >= 0 && position <= INT32_MAX ? static_cast<int32_t>(position) : -1;
}

int32_t FileStream::Eof() {
    if (file == nullptr) {
        return 1;
    }
    return std::feof(file);
}

int32_t FileStream::Size() {
    if (file == nullptr) {
        return -1;
    }
    int32_t saved = Tell();
    if (saved < 0) {
        return -1;  // the way back would be unknown
    }
    std::fseek(file, 0, SEEK_END);
    int32_t end = Tell();
    Seek(saved);
    return end;
}
