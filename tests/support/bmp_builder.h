// The one builder of BMP files held in memory, for the loader and stream tests and for the images
// the game tests hand the game. Header-only and needing nothing but the standard library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

inline void Put16(std::vector<uint8_t>& bytes, size_t offset, uint16_t value) {
    bytes[offset] = value & 0xFF;
    bytes[offset + 1] = value >> 8;
}

inline void Put32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = (value >> (8 * i)) & 0xFF;
    }
}

// Offsets of the header fields in a BMP file.
enum BmpField : size_t {
    BmpType = 0,
    BmpFileSize = 2,
    BmpPixelOffset = 10,
    BmpInfoSize = 14,
    BmpWidth = 18,
    BmpHeight = 22,
    BmpPlanes = 26,
    BmpBitCount = 28,
    BmpCompression = 30,
};

inline uint32_t BmpStride(int32_t width) {
    return (3u * uint32_t(width) + 3u) & ~3u;
}

// Stride * height bytes with a different value in every position, filler included.
inline std::vector<uint8_t> PatternRows(int32_t width, int32_t height) {
    std::vector<uint8_t> rows(BmpStride(width) * uint32_t(height));
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i] = static_cast<uint8_t>(i * 7 + 1);
    }
    return rows;
}

// A 24-bit BI_RGB BMP: file header, an info header of `infoSize` bytes (40, 108, 124...), `gap`
// bytes of 0xEE, then `rows` as they are stored (bottom row first).
inline std::vector<uint8_t> BmpFile(int32_t width, int32_t height, const std::vector<uint8_t>& rows,
                                    uint32_t infoSize = 40, uint32_t gap = 0) {
    uint32_t pixelOffset = 14 + infoSize + gap;
    std::vector<uint8_t> file(pixelOffset, 0);
    file[0] = 'B';
    file[1] = 'M';
    Put32(file, BmpFileSize, pixelOffset + uint32_t(rows.size()));
    Put32(file, BmpPixelOffset, pixelOffset);
    Put32(file, BmpInfoSize, infoSize);
    Put32(file, BmpWidth, uint32_t(width));
    Put32(file, BmpHeight, uint32_t(height));
    Put16(file, BmpPlanes, 1);
    Put16(file, BmpBitCount, 24);
    std::memset(file.data() + 14 + infoSize, 0xEE, gap);
    file.insert(file.end(), rows.begin(), rows.end());
    return file;
}

inline std::vector<uint8_t> BmpFile(int32_t width, int32_t height) {
    return BmpFile(width, height, PatternRows(width, height));
}

// Sets pixel (x, y) of stored rows, counted from the bottom row as stored, to 0xRRGGBB.
inline void PutPixel(std::vector<uint8_t>& rows, int32_t width, int32_t x, int32_t y,
                     uint32_t colour) {
    size_t at = size_t(BmpStride(width)) * uint32_t(y) + 3u * uint32_t(x);
    for (int i = 0; i < 3; ++i) {
        rows[at + i] = (colour >> (8 * i)) & 0xFF;
    }
}
