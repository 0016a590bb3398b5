// A 24-bit bottom-up DIB section selected into a memory device context of its own. The engine
// writes pixels straight into its memory; the frame step copies it to the window with BitBlt.
// Pixel (x, y), y from the top, starts at byte (height - y - 1) * stride + 3 * x: blue, green, red.
#pragma once

#include <cstdint>

#include "platform/win32.h"

struct Surface {
    HDC memoryDC;
    int32_t width;
    int32_t height;
    int32_t stride;  // 3 * width rounded up to a multiple of 4
    int32_t rowGap;  // stride - 3 * width
    HBITMAP dibSection;
    HGDIOBJ previousBitmap;
    uint8_t* pixels;
    BITMAPINFO bitmapInfo;
};

// Puts a freshly allocated record into its empty state: no context, no pixels.
void InitSurface(Surface* surface);

// The widest surface whose row stride, 3 x width + 3, still fits in a signed 32-bit value.
constexpr int32_t SurfaceMaxWidth = (INT32_MAX - 3) / 3;

// Gives the surface pixel storage of width by height, replacing any earlier storage; the pixels
// are not cleared. A width or height that is not positive, or a width above SurfaceMaxWidth, is
// refused with false and the surface as it was. Returns false, leaving the surface without
// pixels, when the platform refuses the DIB section.
bool CreateSurface(Surface* surface, int32_t width, int32_t height);

// Sets every pixel to a colour 0x00RRGGBB.
void FillSurface(Surface* surface, uint32_t colour);

// The plain per-pixel fill, kept as the reference the fast fill is checked against.
void FillSurfaceReference(Surface* surface, uint32_t colour);

// Releases the GDI objects, then the record itself with EngineFree.
void DestroySurface(Surface* surface);

inline int32_t SurfaceStride(int32_t width) {
    return (3 * width + 3) & ~3;
}

// The first byte of pixel (x, y), y counted from the top.
inline uint8_t* SurfacePixel(const Surface* surface, int32_t x, int32_t y) {
    return surface->pixels + static_cast<intptr_t>(surface->height - y - 1) * surface->stride +
           3 * x;
}

// The colour 0x00RRGGBB of pixel (x, y).
inline uint32_t SurfaceColour(const Surface* surface, int32_t x, int32_t y) {
    const uint8_t* p = SurfacePixel(surface, x, y);
    return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

// Sets pixel (x, y) to the colour 0x00RRGGBB.
inline void SetSurfaceColour(Surface* surface, int32_t x, int32_t y, uint32_t colour) {
    uint8_t* p = SurfacePixel(surface, x, y);
    p[0] = colour & 0xFF;
    p[1] = (colour >> 8) & 0xFF;
    p[2] = (colour >> 16) & 0xFF;
}
