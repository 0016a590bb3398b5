// libFuzzer target for the BMP loader: arbitrary bytes go through a MemoryStream into a fresh
// surface inside an empty engine arena. Any accepted image must have the size its header
// promised; the sanitizers catch every read or write outside what was allocated.
// Seed it with tests/io/bmp_corpus.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "io/bitmap_loader.h"
#include "io/memory_stream.h"
#include "memory/arena.h"
#include "support/scoped_engine_arena.h"

namespace {

// The game's own arena size: a header that asks for more than it holds meets the same
// out-of-memory path as in the game.
constexpr uint32_t FuzzArenaSize = EngineArenaSize;

// One region for the whole run (a new 4 MiB region per input would cost more than the load),
// engine allocation switched to it from the first input on. Each input must hand every block
// back, which leaves the arena exactly as fresh as a new one.
ScopedEngineArena& FuzzArena() {
    static ScopedEngineArena arena(FuzzArenaSize);
    if (!arena.Ready()) {
        std::abort();
    }
    return arena;
}

int32_t HeaderInt(const uint8_t* data, size_t offset) {
    return static_cast<int32_t>(uint32_t{data[offset]} | uint32_t{data[offset + 1]} << 8 |
                                uint32_t{data[offset + 2]} << 16 |
                                uint32_t{data[offset + 3]} << 24);
}

void CheckLoaded(const uint8_t* data, const Surface* surface) {
    if (surface->pixels == nullptr || surface->width != HeaderInt(data, 18) ||
        surface->height != HeaderInt(data, 22) || surface->width > BitmapMaxSide ||
        surface->height > BitmapMaxSide) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) {
        return 0;
    }
    ScopedEngineArena& arena = FuzzArena();
    Surface* surface = static_cast<Surface*>(EngineAlloc(sizeof(Surface)));
    InitSurface(surface);
    MemoryStream stream(data, static_cast<uint32_t>(size));
    int32_t result = LoadBitmapFile(&stream, surface);
    if (result == BitmapLoaded) {
        CheckLoaded(data, surface);
    } else if (surface->pixels != nullptr || BitmapLoadErrorText(result)[0] == '\0') {
        std::abort();
    }
    DestroySurface(surface);
    if (!arena.AllFree()) {
        std::abort();  // the loader kept a block, or broke the arena
    }
    return 0;
}
