// A window's client pixels as a canvas takes them: GDI keeps 24-bit rows bottom-up, blue first,
// each padded to 4 bytes; ImageData wants 32-bit rows top-down, red first, opaque.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/portable/backend.h"

namespace portable {

inline size_t CanvasBytes(int width, int height) {
    return static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
}

// Writes CanvasBytes(pixels.width, pixels.height) bytes to `rgba`.
void ToCanvasPixels(const ClientPixels& pixels, uint8_t* rgba);

}  // namespace portable
