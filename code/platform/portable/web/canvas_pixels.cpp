// GDI's bottom-up BGR rows to a canvas's top-down RGBA.
#include "platform/portable/web/canvas_pixels.h"

namespace portable {

void ToCanvasPixels(const ClientPixels& pixels, uint8_t* rgba) {
    for (int y = 0; y < pixels.height; ++y) {
        const uint8_t* from =
            pixels.bytes + static_cast<size_t>(pixels.height - y - 1) * pixels.stride;
        for (int x = 0; x < pixels.width; ++x, from += 3, rgba += 4) {
            rgba[0] = from[2];
            rgba[1] = from[1];
            rgba[2] = from[0];
            rgba[3] = 0xFF;
        }
    }
}

}  // namespace portable
