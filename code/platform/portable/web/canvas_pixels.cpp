// GDI's bottom-up BGR rows to a canvas's top-down RGBA.
#include "platform/portable/web/canvas_pixels.h"

#include <cstring>

namespace portable {

void ToCanvasPixels(const ClientPixels& pixels, uint8_t* rgba) {
    for (int y = 0; y < pixels.height; ++y) {
        const uint8_t* from =
            pixels.bytes + static_cast<size_t>(pixels.height - y - 1) * pixels.stride;
        for (int x = 0; x < pixels.width; ++x, from += 3, rgba += 4) {
            // One 32-bit store a pixel; little-endian (wasm, x86) puts red first and alpha last.
            uint32_t word = (uint32_t{0xFF} << 24) | (uint32_t{from[0]} << 16) |
                            (uint32_t{from[1]} << 8) | from[2];
            std::memcpy(rgba, &word, 4);
        }
    }
}

}  // namespace portable
