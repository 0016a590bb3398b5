// The fast fill against the reference fill: the same bytes everywhere in pixel memory, gap bytes
// included, for every row-gap case and the sizes around them.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "memory/arena.h"
#include "render/surface.h"

namespace {

Surface* MakeSurface(int32_t width, int32_t height, uint32_t seed) {
    Surface* surface = static_cast<Surface*>(EngineAlloc(sizeof(Surface)));
    InitSurface(surface);
    EXPECT_TRUE(CreateSurface(surface, width, height));
    std::mt19937 garbage(seed);
    for (int32_t i = 0; i < surface->stride * height; ++i) {
        surface->pixels[i] = static_cast<uint8_t>(garbage());
    }
    return surface;
}

TEST(FillEquivalence, FastFillWritesExactlyTheReferenceBytes) {
    std::vector<int32_t> widths = {1, 2, 3, 4, 5, 6, 7, 8, 9, 17, 511, 512, 513};
    std::vector<int32_t> heights = {1, 2, 3, 4, 7, 448};
    for (uint32_t colour : {0x808080u, 0xC0C0FFu, 0x800000u, 0xAB123456u}) {
        for (int32_t width : widths) {
            for (int32_t height : heights) {
                uint32_t seed = static_cast<uint32_t>(width * 1000 + height);
                Surface* expected = MakeSurface(width, height, seed);
                Surface* actual = MakeSurface(width, height, seed);
                FillSurfaceReference(expected, colour);
                FillSurface(actual, colour);
                size_t bytes = static_cast<size_t>(expected->stride) * height;
                EXPECT_EQ(std::memcmp(expected->pixels, actual->pixels, bytes), 0)
                    << width << " by " << height << " in " << std::hex << colour;
                DestroySurface(expected);
                DestroySurface(actual);
            }
        }
    }
}

}  // namespace
