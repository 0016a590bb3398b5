// Clipping and the colour-keyed blit. Rows are walked bottom-up in memory: each step moves the
// addresses from the end of one rectangle row to the start of the next row down the image.
#include "render/sprite.h"

#include <cstddef>

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

void BlitSprite(Surface* destination, const Sprite* sprite, int32_t srcX, int32_t srcY,
                int32_t dstX, int32_t dstY, int32_t width, int32_t height) {
    BlitSpriteReference(destination, sprite, srcX, srcY, dstX, dstY, width, height);
}
