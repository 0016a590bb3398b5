// Surfaces that tests make and throw away: engine-allocated, destroyed with their owner.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <random>

#include "memory/arena.h"
#include "render/surface.h"

struct SurfaceDeleter {
    void operator()(Surface* surface) const { DestroySurface(surface); }
};
using SurfacePtr = std::unique_ptr<Surface, SurfaceDeleter>;

// A surface with no pixel memory yet.
inline SurfacePtr NewSurface() {
    SurfacePtr surface(static_cast<Surface*>(EngineAlloc(sizeof(Surface))));
    InitSurface(surface.get());
    return surface;
}

inline SurfacePtr MakeSurface(int32_t width, int32_t height) {
    SurfacePtr surface = NewSurface();
    EXPECT_TRUE(CreateSurface(surface.get(), width, height));
    return surface;
}

inline size_t PixelBytes(const Surface* surface) {
    return static_cast<size_t>(surface->stride) * surface->height;
}

// Random bytes everywhere, gap bytes included; the same seed gives the same bytes.
inline SurfacePtr GarbageSurface(int32_t width, int32_t height, uint32_t seed) {
    SurfacePtr surface = MakeSurface(width, height);
    std::mt19937 random(seed);
    for (size_t i = 0; i < PixelBytes(surface.get()); ++i) {
        surface->pixels[i] = static_cast<uint8_t>(random());
    }
    return surface;
}
