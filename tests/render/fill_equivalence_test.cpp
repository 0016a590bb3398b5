// The fast fill against the reference fill: the same bytes everywhere in pixel memory, gap bytes
// included, for every row-gap case and the sizes around them.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "render/surface.h"
#include "support/surfaces.h"

namespace {

TEST(FillEquivalence, FastFillWritesExactlyTheReferenceBytes) {
    std::vector<int32_t> widths = {1, 2, 3, 4, 5, 6, 7, 8, 9, 17, 511, 512, 513};
    std::vector<int32_t> heights = {1, 2, 3, 4, 7, 448};
    for (uint32_t colour : {0x808080u, 0xC0C0FFu, 0x800000u, 0xAB123456u}) {
        for (int32_t width : widths) {
            for (int32_t height : heights) {
                uint32_t seed = static_cast<uint32_t>(width * 1000 + height);
                SurfacePtr expected = GarbageSurface(width, height, seed);
                SurfacePtr actual = GarbageSurface(width, height, seed);
                FillSurfaceReference(expected.get(), colour);
                FillSurface(actual.get(), colour);
                EXPECT_EQ(std::memcmp(expected->pixels, actual->pixels, PixelBytes(actual.get())),
                          0)
                    << width << " by " << height << " in " << std::hex << colour;
            }
        }
    }
}

}  // namespace
