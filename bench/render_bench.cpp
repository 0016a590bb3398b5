// The back-buffer fill and the colour-keyed sprite draw, against memset of the same bytes and
// SDL2's fill and colour-keyed blits (with and without run-length encoding) on 24-bit surfaces.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>

#include "bench_support.h"
#include "projects/taspo/app.h"
#include "projects/taspo/game_constants.h"

namespace {

constexpr uint32_t FillColour = ColourIdle;

void FillOurs(benchmark::State& state, void (*fill)(Surface*, uint32_t)) {
    ScopedEngineArena arena;
    if (!arena.Ready()) {
        return state.SkipWithError("no memory for the engine arena");
    }
    Surface* surface = NewSurface(ScreenWidth, ScreenHeight);
    for (auto _ : state) {
        fill(surface, FillColour);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * surface->stride * surface->height);
    DestroySurface(surface);
}

void FillMemset(benchmark::State& state) {
    size_t bytes = static_cast<size_t>(SurfaceStride(ScreenWidth)) * ScreenHeight;
    std::vector<uint8_t> buffer(bytes);
    for (auto _ : state) {
        std::memset(buffer.data(), 0x80, bytes);
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void FillSdl(benchmark::State& state) {
    SDL_Surface* surface = NewSdlSurface(ScreenWidth, ScreenHeight);
    Uint32 colour = SDL_MapRGB(surface->format, 0x80, 0x80, 0x80);
    for (auto _ : state) {
        SDL_FillRect(surface, nullptr, colour);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * surface->pitch * surface->h);
    SDL_FreeSurface(surface);
}

// The sprites drawn. Pixels that are not the key never happen to equal it: their blue byte is
// never 0xFF.
enum class Picture { Button, Discs, Noise };

const char* PictureName(Picture picture) {
    switch (picture) {
        case Picture::Button:
            return "button";
        case Picture::Discs:
            return "discs";
        default:
            return "noise";
    }
}

// A sheet of 8 by 8 discs on the key colour, as a real sprite sheet has: a third of the pixels
// are key, in runs of some ten to sixty pixels.
Surface* MakeDiscs() {
    Surface* surface = NewSurface(ScreenWidth, ScreenHeight);
    int32_t tileWidth = ScreenWidth / 8;
    int32_t tileHeight = ScreenHeight / 8;
    double radius = 27.6;
    for (int32_t y = 0; y < ScreenHeight; ++y) {
        for (int32_t x = 0; x < ScreenWidth; ++x) {
            double dx = x % tileWidth - (tileWidth - 1) / 2.0;
            double dy = y % tileHeight - (tileHeight - 1) / 2.0;
            bool inside = dx * dx + dy * dy <= radius * radius;
            uint32_t colour = (uint32_t(x * 3) & 0xFF) << 16 | (uint32_t(y) & 0xFF) << 8 | 0x40;
            SetSurfaceColour(surface, x, y, inside ? colour : TargetColourKey);
        }
    }
    return surface;
}

// Every pixel independently the key with chance one in three, otherwise a random colour: the
// hardest case for anything that works in runs.
Surface* MakeNoise() {
    Surface* surface = NewSurface(ScreenWidth, ScreenHeight);
    std::mt19937 random(12345);
    for (int32_t y = 0; y < ScreenHeight; ++y) {
        for (int32_t x = 0; x < ScreenWidth; ++x) {
            uint32_t colour = random() & 0xFFFF7F;
            SetSurfaceColour(surface, x, y, random() % 3 == 0 ? TargetColourKey : colour);
        }
    }
    return surface;
}

Surface* MakePicture(Picture picture) {
    switch (picture) {
        case Picture::Button:
            return LoadButtonSurface();
        case Picture::Discs:
            return MakeDiscs();
        default:
            return MakeNoise();
    }
}

std::string KeyShare(const Surface* surface) {
    int64_t keys = 0;
    for (int32_t y = 0; y < surface->height; ++y) {
        for (int32_t x = 0; x < surface->width; ++x) {
            keys += SurfaceColour(surface, x, y) == TargetColourKey;
        }
    }
    int64_t percent = keys * 100 / (int64_t{surface->width} * surface->height);
    return std::to_string(surface->width) + "x" + std::to_string(surface->height) + ", " +
           std::to_string(percent) + "% key";
}

enum class Blitter { DrawSprite, Reference, SdlKey, SdlRle };

// Both back buffers start grey, the sprite sits where the game centres it; before timing, one
// draw of ours and one of SDL's must give the same picture, so both sides do the same work.
void Blit(benchmark::State& state, Picture picture, Blitter blitter) {
    ScopedEngineArena arena;
    if (!arena.Ready()) {
        return state.SkipWithError("no memory for the engine arena");
    }
    Surface* image = MakePicture(picture);
    Sprite sprite;
    InitSprite(&sprite, image, TargetColourKey);
    Surface* backBuffer = NewSurface(ScreenWidth, ScreenHeight);
    FillSurface(backBuffer, FillColour);
    int32_t x = (ScreenWidth - image->width) / 2;
    int32_t y = (ScreenHeight - image->height) / 2;
    DrawSprite(backBuffer, &sprite, x, y, image->width, image->height);

    SDL_Surface* source = NewSdlCopy(image);
    SDL_Surface* destination = NewSdlSurface(ScreenWidth, ScreenHeight);
    SDL_FillRect(destination, nullptr, SDL_MapRGB(destination->format, 0x80, 0x80, 0x80));
    SDL_SetColorKey(source, SDL_TRUE, SDL_MapRGB(source->format, 0xFF, 0x00, 0xFF));
    SDL_SetSurfaceRLE(source, blitter == Blitter::SdlRle ? 1 : 0);
    SDL_Rect place{x, y, image->width, image->height};
    SDL_Rect clipped = place;
    bool same = SDL_BlitSurface(source, nullptr, destination, &clipped) == 0;
    for (int32_t row = 0; same && row < ScreenHeight; ++row) {
        const uint8_t* sdlRow =
            static_cast<uint8_t*>(destination->pixels) + row * destination->pitch;
        same = std::memcmp(sdlRow, SurfacePixel(backBuffer, 0, row), ScreenWidth * 3) == 0;
    }
    if (!same) {
        state.SkipWithError("SDL's picture differs from ours");
    }

    for (auto _ : state) {
        switch (blitter) {
            case Blitter::DrawSprite:
                DrawSprite(backBuffer, &sprite, x, y, image->width, image->height);
                break;
            case Blitter::Reference:
                BlitSpriteReference(backBuffer, &sprite, 0, 0, x, y, image->width, image->height);
                break;
            default:
                clipped = place;
                SDL_BlitSurface(source, nullptr, destination, &clipped);
                break;
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * image->width * image->height);
    state.SetLabel(KeyShare(image));
    SDL_FreeSurface(destination);
    SDL_FreeSurface(source);
    DestroySurface(backBuffer);
    DestroySurface(image);
}

}  // namespace

void RegisterRenderBenchmarks() {
    benchmark::RegisterBenchmark("fill/FillSurface", FillOurs, FillSurface)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("fill/FillSurfaceReference", FillOurs, FillSurfaceReference)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("fill/memset", FillMemset)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("fill/SDL_FillRect", FillSdl)->Unit(benchmark::kMicrosecond);

    const std::pair<Blitter, const char*> blitters[] = {
        {Blitter::DrawSprite, "DrawSprite"},
        {Blitter::Reference, "BlitSpriteReference"},
        {Blitter::SdlKey, "SDL_BlitSurface"},
        {Blitter::SdlRle, "SDL_BlitSurface_RLE"},
    };
    for (Picture picture : {Picture::Button, Picture::Discs, Picture::Noise}) {
        for (const auto& [blitter, name] : blitters) {
            std::string title = std::string("blit/") + PictureName(picture) + "/" + name;
            benchmark::RegisterBenchmark(title.c_str(), Blit, picture, blitter)
                ->Unit(benchmark::kMicrosecond);
        }
    }
}
