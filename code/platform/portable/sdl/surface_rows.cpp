// Row conversion for presenting: our loops for 32-bit surfaces, SDL's converter for the rest.
#include "platform/portable/sdl/surface_rows.h"

namespace portable {
namespace {

// `alpha` is the top byte: opaque for a format with alpha, as SDL makes it. In a format without,
// SDL leaves that padding byte as it finds it and we write 0.
void ConvertRowTo32(const uint8_t* from, uint32_t* to, int width, uint32_t alpha) {
    for (int x = 0; x < width; ++x, from += 3) {
        to[x] = alpha | (uint32_t{from[2]} << 16) | (uint32_t{from[1]} << 8) | from[0];
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

}  // namespace portable
