// Images for the benchmarks.
#include "bench_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "io/bitmap_loader.h"
#include "io/memory_stream.h"
#include "memory/arena.h"

const std::vector<uint8_t>& ButtonBmpBytes() {
    static const std::vector<uint8_t> bytes = [] {
        std::ifstream file(TASPO_BUTTON_BMP, std::ios::binary);
        std::vector<uint8_t> read((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
        if (read.empty()) {
            std::fprintf(stderr, "taspo_bench: cannot read %s\n", TASPO_BUTTON_BMP);
            std::exit(1);
        }
        return read;
    }();
    return bytes;
}

Surface* NewSurface(int32_t width, int32_t height) {
    Surface* surface = static_cast<Surface*>(EngineAlloc(sizeof(Surface)));
    InitSurface(surface);
    if (!CreateSurface(surface, width, height)) {
        std::fprintf(stderr, "taspo_bench: no %d by %d surface\n", width, height);
        std::exit(1);
    }
    return surface;
}

Surface* LoadButtonSurface() {
    const std::vector<uint8_t>& bytes = ButtonBmpBytes();
    MemoryStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
    Surface* surface = static_cast<Surface*>(EngineAlloc(sizeof(Surface)));
    InitSurface(surface);
    int32_t result = LoadBitmapFile(&stream, surface);
    if (result != BitmapLoaded) {
        std::fprintf(stderr, "taspo_bench: button.bmp: %s\n", BitmapLoadErrorText(result));
        std::exit(1);
    }
    return surface;
}

SDL_Surface* NewSdlSurface(int32_t width, int32_t height) {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 24, SDL_PIXELFORMAT_BGR24);
    if (surface == nullptr) {
        std::fprintf(stderr, "taspo_bench: SDL surface: %s\n", SDL_GetError());
        std::exit(1);
    }
    return surface;
}

// SDL keeps rows top-down, ours are bottom-up; a row's bytes are laid out alike.
SDL_Surface* NewSdlCopy(const Surface* surface) {
    SDL_Surface* copy = NewSdlSurface(surface->width, surface->height);
    uint8_t* rows = static_cast<uint8_t*>(copy->pixels);
    for (int32_t y = 0; y < surface->height; ++y) {
        std::memcpy(rows + static_cast<size_t>(y) * copy->pitch, SurfacePixel(surface, 0, y),
                    static_cast<size_t>(surface->width) * 3);
    }
    return copy;
}
