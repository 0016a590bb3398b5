// Clipping and the colour-keyed blit. Rows are walked bottom-up in memory: each step moves the
// addresses from the end of one rectangle row to the start of the next row down the image. The
// blit has a plain reference loop and a fast one that must give exactly its bytes: SSE2 sixteen
// pixels at a time, or AVX-512 twenty-one at a time where the processor has it.
#include "render/sprite.h"

#include <cstddef>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TASPO_BLIT_SSE2 1
#endif
// AVX-512 is chosen at run time; GCC and Clang compile it function by function. Not on Windows,
// where MinGW does not align the stack for 64-byte vectors.
#if defined(TASPO_BLIT_SSE2) && defined(__x86_64__) && defined(__GNUC__) && !defined(_WIN32)
#include <immintrin.h>
#define TASPO_BLIT_AVX512 1
#endif

namespace {

// Clipping works in 64 bits so that extreme positions cannot overflow; results that still lie
// outside 32 bits only ever describe an empty rectangle, and are stored saturated.
int32_t Saturate(int64_t value) {
    if (value > INT32_MAX) {
        return INT32_MAX;
    }
    if (value < INT32_MIN) {
        return INT32_MIN;
    }
    return static_cast<int32_t>(value);
}

bool HasPixels(const Surface* surface) {
    return surface != nullptr && surface->pixels != nullptr;
}

}  // namespace

void InitSprite(Sprite* sprite, Surface* surface, uint32_t colourKey) {
    sprite->width = surface->width;
    sprite->height = surface->height;
    sprite->surface = surface;
    sprite->colourKey = colourKey;
}

void DrawSprite(Surface* destination, const Sprite* sprite, int32_t x, int32_t y, int32_t width,
                int32_t height) {
    const Surface* source = sprite->surface;
    if (!HasPixels(destination) || !HasPixels(source) || source->width != sprite->width ||
        source->height != sprite->height) {
        return;
    }
    int32_t srcX = 0;
    int32_t srcY = 0;
    ClipBlitRect(sprite, destination, &srcX, &srcY, &x, &y, &width, &height);
    if (width > 0 && height > 0) {
        BlitSprite(destination, sprite, srcX, srcY, x, y, width, height);
    }
}

void ClipBlitRect(const Sprite* sprite, const Surface* destination, int32_t* srcX, int32_t* srcY,
                  int32_t* dstX, int32_t* dstY, int32_t* width, int32_t* height) {
    int64_t sx = *srcX, sy = *srcY, dx = *dstX, dy = *dstY, w = *width, h = *height;
    if (sx < 0) {
        w += sx;
        dx -= sx;
        sx = 0;
    }
    if (sy < 0) {
        h += sy;
        dy -= sy;
        sy = 0;
    }
    if (sx + w > sprite->width) {
        w = sprite->width - sx;
    }
    if (sy + h > sprite->height) {
        h = sprite->height - sy;
    }
    if (dx < 0) {
        w += dx;
        sx -= dx;
        dx = 0;
    }
    if (dy < 0) {
        h += dy;
        sy -= dy;
        dy = 0;
    }
    if (dx + w > destination->width) {
        w = destination->width - dx;
    }
    if (dy + h > destination->height) {
        h = destination->height - dy;
    }
    *srcX = Saturate(sx);
    *srcY = Saturate(sy);
    *dstX = Saturate(dx);
    *dstY = Saturate(dy);
    *width = Saturate(w);
    *height = Saturate(h);
}

void BlitSpriteReference(Surface* destination, const Sprite* sprite, int32_t srcX, int32_t srcY,
                         int32_t dstX, int32_t dstY, int32_t width, int32_t height) {
    const Surface* source = sprite->surface;
    // Offsets rather than moving pointers: the step after the last row points below the pixel
    // memory, which an offset may do and a pointer may not.
    ptrdiff_t to = ptrdiff_t{destination->height - dstY - 1} * destination->stride + 3 * dstX;
    ptrdiff_t from = ptrdiff_t{source->height - srcY - 1} * source->stride + 3 * srcX;
    ptrdiff_t toStep = 3 * ptrdiff_t{destination->width} + destination->rowGap + 3 * width;
    ptrdiff_t fromStep = 3 * ptrdiff_t{sprite->width} + source->rowGap + 3 * width;
    uint8_t* pixelsTo = destination->pixels;
    const uint8_t* pixelsFrom = source->pixels;
    for (int32_t row = 0; row < height; ++row) {
        for (int32_t column = 0; column < width; ++column) {
            uint8_t blue = pixelsFrom[from];
            uint8_t green = pixelsFrom[from + 1];
            uint8_t red = pixelsFrom[from + 2];
            uint32_t colour = uint32_t{red} * 65536 + uint32_t{green} * 256 + blue;
            if (colour != sprite->colourKey) {
                pixelsTo[to] = blue;
                pixelsTo[to + 1] = green;
                pixelsTo[to + 2] = red;
            }
            to += 3;
            from += 3;
        }
        to -= toStep;
        from -= fromStep;
    }
}

namespace {

// One pixel at a time, three single-byte reads and writes each, so nothing outside the `count`
// pixels is touched: rows narrower than a chunk, and machines without SSE2.
void CopyKeyedPixels(uint8_t* to, const uint8_t* from, int32_t count, uint32_t key) {
    for (int32_t i = 0; i < count; ++i, to += 3, from += 3) {
        uint32_t colour = uint32_t{from[2]} << 16 | uint32_t{from[1]} << 8 | from[0];
        if (colour != key) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
}

#ifdef TASPO_BLIT_SSE2

// The key's blue, green and red repeated over `count` bytes, as a run of key pixels reads.
void KeyPattern(uint8_t* bytes, int count, uint32_t key) {
    for (int i = 0; i < count; ++i) {
        bytes[i] = static_cast<uint8_t>(key >> (8 * (i % 3)));
    }
}

// Sixteen pixels are 48 bytes: three vectors holding whole pixels between them. A row is covered
// by chunks that start inside it and end at or before its last pixel, the last one overlapping
// its neighbour when the width is not a multiple of 16; a pixel done twice gets the same bytes.
constexpr int32_t ChunkPixels = 16;
constexpr uint64_t FirstBytes = 0x249249249249;  // bit 3i: the first byte of pixel i

// What a chunk of key pixels reads.
struct KeyChunk {
    __m128i part[3];
};

KeyChunk MakeKeyChunk(uint32_t key) {
    uint8_t bytes[3 * 16];
    KeyPattern(bytes, 3 * 16, key);
    KeyChunk chunk;
    for (int i = 0; i < 3; ++i) {
        chunk.part[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * i));
    }
    return chunk;
}

// Bit i of `bits` (16 of them) becomes byte i of the result: 0xFF when set, 0 when clear.
__m128i ExpandBits(uint32_t bits) {
    __m128i spread = _mm_cvtsi32_si128(static_cast<int>(bits));
    spread = _mm_unpacklo_epi8(spread, spread);
    spread = _mm_unpacklo_epi16(spread, spread);
    spread = _mm_unpacklo_epi32(spread, spread);  // low byte in bytes 0-7, high byte in 8-15
    const __m128i select = _mm_set_epi8(-128, 64, 32, 16, 8, 4, 2, 1, -128, 64, 32, 16, 8, 4, 2, 1);
    return _mm_cmpeq_epi8(_mm_and_si128(spread, select), select);
}

// Destination bytes under key pixels are written back as they were.
void Blend(uint8_t* to, __m128i source, uint32_t keyBytes) {
    __m128i* address = reinterpret_cast<__m128i*>(to);
    __m128i keep = ExpandBits(keyBytes);
    __m128i old = _mm_loadu_si128(address);
    _mm_storeu_si128(address,
                     _mm_or_si128(_mm_and_si128(keep, old), _mm_andnot_si128(keep, source)));
}

void CopyKeyedChunk(uint8_t* to, const uint8_t* from, const KeyChunk& key) {
    const __m128i* source = reinterpret_cast<const __m128i*>(from);
    __m128i a = _mm_loadu_si128(source);
    __m128i b = _mm_loadu_si128(source + 1);
    __m128i c = _mm_loadu_si128(source + 2);
    uint64_t equal = uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(a, key.part[0])))) |
                     uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(b, key.part[1])))) << 16 |
                     uint64_t(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(c, key.part[2])))) << 32;
    // A pixel is the key when all three of its bytes are.
    uint64_t keyPixels = equal & (equal >> 1) & (equal >> 2) & FirstBytes;
    __m128i* target = reinterpret_cast<__m128i*>(to);
    if (keyPixels == 0) {
        _mm_storeu_si128(target, a);
        _mm_storeu_si128(target + 1, b);
        _mm_storeu_si128(target + 2, c);
        return;
    }
    if (keyPixels == FirstBytes) {
        return;
    }
    uint64_t keyBytes = keyPixels * 7;  // each pixel's bit spread over its three bytes
    Blend(to, a, uint32_t(keyBytes & 0xFFFF));
    Blend(to + 16, b, uint32_t(keyBytes >> 16) & 0xFFFF);
    Blend(to + 32, c, uint32_t(keyBytes >> 32));
}

void CopyKeyedRow(uint8_t* to, const uint8_t* from, int32_t width, uint32_t key,
                  const KeyChunk& keyChunk) {
    if (width < ChunkPixels) {
        CopyKeyedPixels(to, from, width, key);
        return;
    }
    int32_t last = width - ChunkPixels;
    for (int32_t x = 0; x < last; x += ChunkPixels) {
        CopyKeyedChunk(to + 3 * x, from + 3 * x, keyChunk);
    }
    CopyKeyedChunk(to + 3 * last, from + 3 * last, keyChunk);
}

#endif

#ifdef TASPO_BLIT_AVX512

// 21 pixels are 63 bytes, as many whole pixels as one 64-byte vector holds. Stores are masked
// byte by byte, so only pixels other than the key are written, each once; the last, shorter
// chunk of a row is loaded with a mask too, so nothing past the row is read.
constexpr int32_t WidePixels = 21;
constexpr uint64_t WideFirstBytes = 0x1249249249249249;  // bit 3i: the first byte of pixel i
constexpr uint64_t WideBytes = (uint64_t{1} << 63) - 1;
// BlitSprite sends narrower rows the SSE2 way even where AVX-512 is there.
constexpr int32_t WideRowMinimum = 64;

bool HasAvx512() {
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
}

// The bytes of `bytes` that belong to pixels other than the key. A pixel is the key when all
// three of its bytes are; times 7 spreads the bit of its first byte over all three.
__attribute__((target("avx512f,avx512bw"))) uint64_t WriteMask(__m512i pixels, __m512i keyBytes,
                                                               uint64_t bytes) {
    uint64_t equal = _mm512_cmpeq_epi8_mask(pixels, keyBytes);
    uint64_t keyPixels = equal & (equal >> 1) & (equal >> 2) & WideFirstBytes;
    return bytes & ~(keyPixels * 7);
}

__attribute__((target("avx512f,avx512bw"))) void CopyKeyedRowsWide(
    uint8_t* pixelsTo, const uint8_t* pixelsFrom, ptrdiff_t to, ptrdiff_t from, ptrdiff_t toStride,
    ptrdiff_t fromStride, int32_t width, int32_t height, uint32_t key) {
    uint8_t pattern[64];
    KeyPattern(pattern, 64, key);
    const __m512i keyBytes = _mm512_loadu_si512(pattern);
    // Whole chunks with a pixel after them, whose plain 64-byte load ends on that pixel's first
    // byte, then the last 1 to 21 pixels under a load mask.
    int32_t tailX = (width - 1) / WidePixels * WidePixels;
    uint64_t tailBytes = (uint64_t{1} << (3 * (width - tailX))) - 1;
    for (int32_t row = 0; row < height; ++row, to -= toStride, from -= fromStride) {
        uint8_t* target = pixelsTo + to;
        const uint8_t* source = pixelsFrom + from;
        for (int32_t x = 0; x < tailX; x += WidePixels) {
            __m512i pixels = _mm512_loadu_si512(source + 3 * x);
            _mm512_mask_storeu_epi8(target + 3 * x, WriteMask(pixels, keyBytes, WideBytes), pixels);
        }
        __m512i pixels = _mm512_maskz_loadu_epi8(tailBytes, source + 3 * tailX);
        _mm512_mask_storeu_epi8(target + 3 * tailX, WriteMask(pixels, keyBytes, tailBytes), pixels);
    }
}

#endif

#ifndef TASPO_BLIT_SSE2

struct KeyChunk {};

KeyChunk MakeKeyChunk(uint32_t) {
    return KeyChunk{};
}

void CopyKeyedRow(uint8_t* to, const uint8_t* from, int32_t width, uint32_t key, const KeyChunk&) {
    CopyKeyedPixels(to, from, width, key);
}

#endif

}  // namespace

bool BlitPathAvailable(BlitPath path) {
    switch (path) {
        case BlitPath::Sse2:
#ifdef TASPO_BLIT_SSE2
            break;
#else
            return false;
#endif
        case BlitPath::Avx512:
#ifdef TASPO_BLIT_AVX512
            return HasAvx512();
#else
            return false;
#endif
        case BlitPath::Pixels:
            break;
    }
    return true;
}

// Wide rows take AVX-512 where the processor has it, every other row SSE2 where the build has it.
void BlitSprite(Surface* destination, const Sprite* sprite, int32_t srcX, int32_t srcY,
                int32_t dstX, int32_t dstY, int32_t width, int32_t height) {
    BlitPath path = BlitPathAvailable(BlitPath::Sse2) ? BlitPath::Sse2 : BlitPath::Pixels;
#ifdef TASPO_BLIT_AVX512
    if (width >= WideRowMinimum && BlitPathAvailable(BlitPath::Avx512)) {
        path = BlitPath::Avx512;
    }
#endif
    BlitSpriteVia(path, destination, sprite, srcX, srcY, dstX, dstY, width, height);
}

// The reference's rows and steps, each row copied the chosen way.
void BlitSpriteVia(BlitPath path, Surface* destination, const Sprite* sprite, int32_t srcX,
                   int32_t srcY, int32_t dstX, int32_t dstY, int32_t width, int32_t height) {
    const Surface* source = sprite->surface;
    if (source->pixels == destination->pixels) {
        // A sprite drawn onto its own surface reads what it has just written: keep the
        // reference's order of reads and writes.
        BlitSpriteReference(destination, sprite, srcX, srcY, dstX, dstY, width, height);
        return;
    }
    // The same row addresses and steps as the reference.
    ptrdiff_t to = ptrdiff_t{destination->height - dstY - 1} * destination->stride + 3 * dstX;
    ptrdiff_t from = ptrdiff_t{source->height - srcY - 1} * source->stride + 3 * srcX;
    ptrdiff_t toStride = 3 * ptrdiff_t{destination->width} + destination->rowGap;
    ptrdiff_t fromStride = 3 * ptrdiff_t{sprite->width} + source->rowGap;
    uint8_t* pixelsTo = destination->pixels;
    const uint8_t* pixelsFrom = source->pixels;
    uint32_t key = sprite->colourKey;
    if (key > 0xFFFFFF) {
        // No pixel has this colour: plain row copies.
        for (int32_t row = 0; row < height; ++row, to -= toStride, from -= fromStride) {
            std::memcpy(pixelsTo + to, pixelsFrom + from, 3 * static_cast<size_t>(width));
        }
        return;
    }
#ifdef TASPO_BLIT_AVX512
    if (path == BlitPath::Avx512) {
        CopyKeyedRowsWide(pixelsTo, pixelsFrom, to, from, toStride, fromStride, width, height, key);
        return;
    }
#endif
    if (path == BlitPath::Pixels) {
        for (int32_t row = 0; row < height; ++row, to -= toStride, from -= fromStride) {
            CopyKeyedPixels(pixelsTo + to, pixelsFrom + from, width, key);
        }
        return;
    }
    KeyChunk keyChunk = MakeKeyChunk(key);
    for (int32_t row = 0; row < height; ++row, to -= toStride, from -= fromStride) {
        CopyKeyedRow(pixelsTo + to, pixelsFrom + from, width, key, keyChunk);
    }
}
