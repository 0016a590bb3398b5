// Row conversion for presenting: our loops for 32-bit surfaces, SDL's converter for the rest.
#include "platform/sdl/surface_rows.h"

namespace portable {
namespace {

// `alpha` is the top byte: opaque for a format with alpha, as SDL makes it. In a format without,
// SDL leaves that padding byte as it finds it and we write 0.
void ConvertRowTo32(const uint8_t* from, uint32_t* to, int width, uint32_t alpha) {
    for (int x = 0; x < width; ++x, from += 3) {
        to[x] = alpha | (uint32_t{from[2]} << 16) | (uint32_t{from[1]} << 8) | from[0];
    }
}

// A pixel as its bytes, so a surface of any layout is copied whole pixels at a time.
template <int Size>
struct PixelBytes {
    uint8_t bytes[Size];
};

// From the right, so every pixel is read before a wider copy of those left of it covers it.
template <int Size>
void WidenPixels(void* row, int width, int scale) {
    auto* pixels = static_cast<PixelBytes<Size>*>(row);
    for (int x = width - 1; x >= 0; --x) {
        PixelBytes<Size> pixel = pixels[x];
        for (int copy = 0; copy < scale; ++copy) {
            pixels[x * scale + copy] = pixel;
        }
    }
}

}  // namespace

bool ConvertRowFast(const uint8_t* from, Uint32 format, void* to, int width) {
    switch (format) {
        case SDL_PIXELFORMAT_RGB888:
            ConvertRowTo32(from, static_cast<uint32_t*>(to), width, 0);
            return true;
        case SDL_PIXELFORMAT_ARGB8888:
            ConvertRowTo32(from, static_cast<uint32_t*>(to), width, 0xFF000000u);
            return true;
        default:
            return false;
    }
}

void ConvertRow(const uint8_t* from, Uint32 format, void* to, int width) {
    if (!ConvertRowFast(from, format, to, width)) {
        SDL_ConvertPixels(width, 1, SDL_PIXELFORMAT_BGR24, from, width * 3, format, to,
                          width * static_cast<int>(SDL_BYTESPERPIXEL(format)));
    }
}

void WidenRow(void* row, int width, int bytesPerPixel, int scale) {
    if (scale <= 1) {
        return;
    }
    switch (bytesPerPixel) {
        case 1:
            WidenPixels<1>(row, width, scale);
            break;
        case 2:
            WidenPixels<2>(row, width, scale);
            break;
        case 3:
            WidenPixels<3>(row, width, scale);
            break;
        default:
            WidenPixels<4>(row, width, scale);
            break;
    }
}

}  // namespace portable
