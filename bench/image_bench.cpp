// Loading button.bmp: our loader against SDL_LoadBMP, both from memory (a MemoryStream and
// SDL_RWFromConstMem over the same bytes) and both from the file. Each load makes a new surface
// and frees it again, on both sides.
#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "io/bitmap_loader.h"
#include "io/file_stream.h"
#include "io/memory_stream.h"
#include "memory/arena.h"

namespace {

void LoadOurs(benchmark::State& state, bool fromFile) {
    ScopedEngineArena arena;
    if (!arena.Ready()) {
        return state.SkipWithError("no memory for the engine arena");
    }
    const std::vector<uint8_t>& bytes = ButtonBmpBytes();
    for (auto _ : state) {
        Surface* surface = static_cast<Surface*>(EngineAlloc(sizeof(Surface)));
        InitSurface(surface);
        int32_t result;
        if (fromFile) {
            FileStream stream(TASPO_BUTTON_BMP, "rb");
            result = LoadBitmapFile(&stream, surface);
        } else {
            MemoryStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
            result = LoadBitmapFile(&stream, surface);
        }
        if (result != BitmapLoaded) {
            state.SkipWithError(BitmapLoadErrorText(result));
        }
        DestroySurface(surface);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void LoadSdl(benchmark::State& state, bool fromFile) {
    const std::vector<uint8_t>& bytes = ButtonBmpBytes();
    for (auto _ : state) {
        SDL_RWops* source = fromFile ? SDL_RWFromFile(TASPO_BUTTON_BMP, "rb")
                                     : SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
        SDL_Surface* surface = SDL_LoadBMP_RW(source, 1);
        if (surface == nullptr) {
            state.SkipWithError(SDL_GetError());
        }
        SDL_FreeSurface(surface);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

}  // namespace

void RegisterImageBenchmarks() {
    benchmark::RegisterBenchmark("load/memory/LoadBitmapFile", LoadOurs, false)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("load/memory/SDL_LoadBMP", LoadSdl, false)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("load/file/LoadBitmapFile", LoadOurs, true)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("load/file/SDL_LoadBMP", LoadSdl, true)
        ->Unit(benchmark::kMicrosecond);
}
