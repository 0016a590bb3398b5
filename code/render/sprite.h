// A sprite is an image in a Surface plus a colour key: pixels of the key colour are left out
// when it is drawn. Drawing clips the rectangle against both surfaces once, then copies rows
// with no per-pixel bounds tests.
#pragma once

#include <cstdint>

#include "render/surface.h"

struct Sprite {
    int32_t width;       // equals surface->width
    int32_t height;      // equals surface->height
    Surface* surface;    // not owned
    uint32_t colourKey;  // 0x00RRGGBB; a non-zero top byte matches no pixel
};

// Makes the sprite show the whole of `surface`, taking its size.
void InitSprite(Sprite* sprite, Surface* surface, uint32_t colourKey);

// Draws the sprite's top-left width by height rectangle with its corner at (x, y) of the
// destination, clipped to both surfaces. Draws nothing when either surface has no pixel memory
// or the sprite's size no longer matches its surface.
void DrawSprite(Surface* destination, const Sprite* sprite, int32_t x, int32_t y, int32_t width,
                int32_t height);

// Shrinks the rectangle (source origin, destination origin, common size) in place so that it lies
// inside both the sprite and the destination. A width or height of 0 or less means nothing is
// left to draw.
void ClipBlitRect(const Sprite* sprite, const Surface* destination, int32_t* srcX, int32_t* srcY,
                  int32_t* dstX, int32_t* dstY, int32_t* width, int32_t* height);

// Colour-keyed copy of a rectangle that already lies inside both surfaces, with positive width
// and height and pixel memory on both sides. Rows go the fastest way the processor offers.
void BlitSprite(Surface* destination, const Sprite* sprite, int32_t srcX, int32_t srcY,
                int32_t dstX, int32_t dstY, int32_t width, int32_t height);

// The ways keyed rows can be copied: a pixel at a time, sixteen at a time with SSE2, twenty-one
// at a time with AVX-512. BlitSprite picks one per draw; tests choose each in turn, so every way
// is checked against the reference on any machine that can run it.
enum class BlitPath { Pixels, Sse2, Avx512 };

// True when this build and this processor can copy rows that way.
bool BlitPathAvailable(BlitPath path);

// BlitSprite with every row copied the given way, which must be available.
void BlitSpriteVia(BlitPath path, Surface* destination, const Sprite* sprite, int32_t srcX,
                   int32_t srcY, int32_t dstX, int32_t dstY, int32_t width, int32_t height);

// The plain per-pixel copy, kept as the reference any faster blit must match byte for byte.
void BlitSpriteReference(Surface* destination, const Sprite* sprite, int32_t srcX, int32_t srcY,
                         int32_t dstX, int32_t dstY, int32_t width, int32_t height);
