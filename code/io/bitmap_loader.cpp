// The BMP loader. A 24-bit bottom-up BMP stores its rows exactly as a Surface does (same stride,
// same order), so once the headers have been checked the pixel rows are copied in one piece.
#include "io/bitmap_loader.h"

#include <cstring>

namespace {

constexpr uint32_t FileHeaderSize = 14;
constexpr uint32_t InfoHeaderSize = 40;  // BITMAPINFOHEADER; V4 and V5 headers extend it
constexpr uint32_t HeadersSize = FileHeaderSize + InfoHeaderSize;

// The fields the loader looks at, decoded from the little-endian headers.
struct BitmapHeaders {
    uint32_t pixelOffset;  // bfOffBits
    uint32_t infoSize;     // biSize
    int32_t width;
    int32_t height;
    uint16_t bitCount;
    uint32_t compression;
};

uint16_t Get16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t Get32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
           uint32_t{bytes[3]} << 24;
}

BitmapHeaders DecodeHeaders(const uint8_t* header) {
    BitmapHeaders fields;
    fields.pixelOffset = Get32(header + 10);
    fields.infoSize = Get32(header + 14);
    fields.width = static_cast<int32_t>(Get32(header + 18));
    fields.height = static_cast<int32_t>(Get32(header + 22));
    fields.bitCount = Get16(header + 28);
    fields.compression = Get32(header + 30);
    return fields;
}

// Everything that can be judged from the headers alone; *pixelBytes gets the size of the rows.
int32_t CheckHeaders(const BitmapHeaders& fields, uint32_t* pixelBytes) {
    if (fields.infoSize < InfoHeaderSize) {
        return BitmapBadInfoHeader;
    }
    if (fields.bitCount != 24) {
        return BitmapBadDepth;
    }
    if (fields.compression != BI_RGB) {
        return BitmapCompressed;
    }
    if (fields.width <= 0 || fields.height == 0) {
        return BitmapBadDimensions;
    }
    if (fields.height < 0) {
        return BitmapTopDown;
    }
    if (fields.width > BitmapMaxSide || fields.height > BitmapMaxSide) {
        return BitmapTooLarge;
    }
    // Both sides are at most BitmapMaxSide here, so the product cannot overflow 64 bits.
    uint64_t bytes = uint64_t(SurfaceStride(fields.width)) * uint64_t(fields.height);
    if (bytes > BitmapMaxPixelBytes) {
        return BitmapTooLarge;
    }
    if (uint64_t{fields.pixelOffset} < uint64_t{FileHeaderSize} + fields.infoSize) {
        return BitmapBadPixelOffset;
    }
    *pixelBytes = static_cast<uint32_t>(bytes);
    return BitmapLoaded;
}

// Reads and drops `count` bytes: the rest of a larger info header and whatever lies between the
// headers and the pixel rows (bit masks, a colour table nobody uses at 24 bits, a gap).
bool SkipBytes(Stream* stream, uint32_t count) {
    uint8_t scratch[256];
    while (count > 0) {
        uint32_t chunk = count < sizeof(scratch) ? count : uint32_t{sizeof(scratch)};
        if (stream->Read(chunk, scratch) != 1) {
            return false;
        }
        count -= chunk;
    }
    return true;
}

// Reads the pixel rows into a temporary block and moves them into the surface in one copy.
int32_t LoadPixels(Stream* stream, Surface* surface, const BitmapHeaders& fields,
                   uint32_t pixelBytes) {
    uint8_t* block = static_cast<uint8_t*>(EngineAlloc(pixelBytes));
    if (block == nullptr) {
        return BitmapOutOfMemory;
    }
    int32_t result = BitmapLoaded;
    if (stream->Read(pixelBytes, block) != 1) {
        result = BitmapPixelsTruncated;
    } else if (!CreateSurface(surface, fields.width, fields.height)) {
        result = BitmapNoSurface;
    } else {
        std::memcpy(surface->pixels, block, pixelBytes);
    }
    EngineFree(block);
    return result;
}

}  // namespace

int32_t LoadBitmapFile(Stream* stream, Surface* surface) {
    uint8_t header[HeadersSize];
    if (stream->Read(FileHeaderSize, header) != 1) {
        // A stream with no file behind it cannot even say where it is.
        return stream->Tell() < 0 ? BitmapUnreadable : BitmapTooShort;
    }
    if (header[0] != 'B' || header[1] != 'M') {
        return BitmapBadSignature;
    }
    if (stream->Read(InfoHeaderSize, header + FileHeaderSize) != 1) {
        return BitmapTooShort;
    }
    BitmapHeaders fields = DecodeHeaders(header);
    uint32_t pixelBytes = 0;
    int32_t verdict = CheckHeaders(fields, &pixelBytes);
    if (verdict != BitmapLoaded) {
        return verdict;
    }
    if (!SkipBytes(stream, fields.pixelOffset - HeadersSize)) {
        return BitmapPixelsTruncated;
    }
    return LoadPixels(stream, surface, fields, pixelBytes);
}

const char* BitmapLoadErrorText(int32_t code) {
    switch (code) {
        case BitmapLoaded:
            return "loaded";
        case BitmapUnreadable:
            return "file cannot be read";
        case BitmapTooShort:
            return "file is too short";
        case BitmapBadSignature:
            return "not a BMP file (signature is not \"BM\")";
        case BitmapBadInfoHeader:
            return "unsupported info header (smaller than 40 bytes)";
        case BitmapBadDepth:
            return "unsupported bit depth (only 24-bit images are supported)";
        case BitmapCompressed:
            return "compressed images are not supported";
        case BitmapBadDimensions:
            return "image width or height is zero or negative";
        case BitmapTopDown:
            return "top-down images (negative height) are not supported";
        case BitmapTooLarge:
            return "image is too large";
        case BitmapBadPixelOffset:
            return "pixel data offset points inside the headers";
        case BitmapPixelsTruncated:
            return "pixel data runs past the end of the file";
        case BitmapOutOfMemory:
            return "out of engine memory";
        case BitmapNoSurface:
            return "cannot create the image surface";
        default:
            return "unknown error";
    }
}
