// GDI's bottom-up BGR rows to a canvas's top-down RGBA. In a wasm build with SIMD, four pixels
// at a time are one 16-byte load, one byte shuffle and one store; the plain loop finishes each
// row and is the whole conversion elsewhere.
#include "platform/web/canvas_pixels.h"

#include <cstring>

#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif

namespace portable {
namespace {

// Converts pixels [x, width) of one row.
void ConvertRowPlain(const uint8_t* from, uint8_t* to, int x, int width) {
    from += 3 * x;
    to += 4 * x;
    for (; x < width; ++x, from += 3, to += 4) {
        // One 32-bit store a pixel; little-endian (wasm, x86) puts red first and alpha last.
        uint32_t word =
            (uint32_t{0xFF} << 24) | (uint32_t{from[0]} << 16) | (uint32_t{from[1]} << 8) | from[2];
        std::memcpy(to, &word, 4);
    }
}

#ifdef __wasm_simd128__
// Returns how many pixels of the row it converted. A load takes 16 bytes for the 12 it uses, so
// it stops while the last load still ends inside the row's own pixels.
int ConvertRowSimd(const uint8_t* from, uint8_t* to, int width) {
    // Each output pixel takes red, green, blue from its source triple; index 16 and up gives 0.
    const v128_t order = wasm_i8x16_make(2, 1, 0, 16, 5, 4, 3, 16, 8, 7, 6, 16, 11, 10, 9, 16);
    const v128_t opaque = wasm_i32x4_splat(static_cast<int32_t>(0xFF000000u));
    int x = 0;
    for (; x + 6 <= width; x += 4) {
        v128_t triples = wasm_v128_load(from + 3 * x);
        v128_t pixels = wasm_v128_or(wasm_i8x16_swizzle(triples, order), opaque);
        wasm_v128_store(to + 4 * x, pixels);
    }
    return x;
}
#endif

}  // namespace

void ToCanvasPixels(const ClientPixels& pixels, uint8_t* rgba) {
    size_t rowBytes = static_cast<size_t>(pixels.width) * 4;
    for (int y = 0; y < pixels.height; ++y) {
        const uint8_t* from =
            pixels.bytes + static_cast<size_t>(pixels.height - y - 1) * pixels.stride;
        uint8_t* to = rgba + y * rowBytes;
        int done = 0;
#ifdef __wasm_simd128__
        done = ConvertRowSimd(from, to, pixels.width);
#endif
        ConvertRowPlain(from, to, done, pixels.width);
    }
}

}  // namespace portable
