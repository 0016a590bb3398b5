// The back-buffer surface: row layout for every width class, the flat fill's bytes, and a fill
// that never writes outside the pixel memory (our platform layer sizes that memory exactly, so
// AddressSanitizer sees any store past it).
#include "render/surface.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/surfaces.h"
#ifndef _WIN32
#include "platform/portable/backend.h"
#endif

namespace {

// Checks every pixel's three bytes.
void ExpectFilled(const Surface* surface, uint8_t blue, uint8_t green, uint8_t red) {
    for (int32_t y = 0; y < surface->height; ++y) {
        for (int32_t x = 0; x < surface->width; ++x) {
            const uint8_t* pixel = SurfacePixel(surface, x, y);
            ASSERT_EQ(pixel[0], blue) << x << "," << y;
            ASSERT_EQ(pixel[1], green) << x << "," << y;
            ASSERT_EQ(pixel[2], red) << x << "," << y;
        }
    }
}

TEST(SurfaceTest, StrideAndRowGapFollowTheWidth) {
    struct Row {
        int32_t width, stride, rowGap;
    };
    for (Row row : {Row{512, 1536, 0}, Row{1, 4, 1}, Row{2, 8, 2}, Row{3, 12, 3}, Row{5, 16, 1},
                    Row{4, 12, 0}}) {
        SurfacePtr surface = MakeSurface(row.width, 2);
        EXPECT_EQ(surface->stride, row.stride) << row.width;
        EXPECT_EQ(surface->rowGap, row.rowGap) << row.width;
        EXPECT_EQ(surface->stride - 3 * surface->width, surface->rowGap);
        EXPECT_EQ(surface->bitmapInfo.bmiHeader.biWidth, row.width);
        EXPECT_EQ(surface->bitmapInfo.bmiHeader.biHeight, 2);
        EXPECT_EQ(surface->bitmapInfo.bmiHeader.biBitCount, 24);
        // What Windows' GDI reads first, though our layer does not look.
        EXPECT_EQ(surface->bitmapInfo.bmiHeader.biSize, sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(surface->bitmapInfo.bmiHeader.biPlanes, 1);
    }
}

// 3 x 715827882 + 3 does not fit in 32 bits: such a width is refused before its stride is
// computed, and the surface keeps the pixels it had.
TEST(SurfaceTest, AWidthWhoseStrideOverflowsIsRefused) {
    SurfacePtr surface = MakeSurface(4, 2);
    uint8_t* pixels = surface->pixels;
    for (int32_t width : {SurfaceMaxWidth + 1, INT32_MAX, -SurfaceMaxWidth - 1, 0}) {
        EXPECT_FALSE(CreateSurface(surface.get(), width, 1)) << width;
    }
    EXPECT_FALSE(CreateSurface(surface.get(), 4, 0));
    EXPECT_EQ(surface->width, 4);
    EXPECT_EQ(surface->stride, 12);
    EXPECT_EQ(surface->pixels, pixels);
    EXPECT_EQ(SurfaceStride(SurfaceMaxWidth), 2147483644);
    EXPECT_TRUE(CreateSurface(surface.get(), 8, 1));
}

#ifndef _WIN32
// A surface holds a memory context and a DIB section: re-creating it replaces the section in the
// same context, and destroying it gives back both.
TEST(SurfaceTest, RecreatingAndDestroyingGiveBackEveryGdiObject) {
    size_t before = portable::LiveGdiObjects();
    {
        SurfacePtr surface = MakeSurface(8, 4);
        EXPECT_EQ(portable::LiveGdiObjects(), before + 2);
        HDC context = surface->memoryDC;
        ASSERT_TRUE(CreateSurface(surface.get(), 16, 2));
        EXPECT_EQ(surface->memoryDC, context);
        EXPECT_EQ(portable::LiveGdiObjects(), before + 2) << "the old DIB section is gone";
    }
    EXPECT_EQ(portable::LiveGdiObjects(), before);
}
#endif

TEST(SurfaceTest, BackBufferFillSetsEveryPixel) {
    SurfacePtr surface = MakeSurface(512, 448);
    EXPECT_EQ(surface->stride * surface->height, 688128);
    FillSurface(surface.get(), 0x808080);
    ExpectFilled(surface.get(), 0x80, 0x80, 0x80);
    FillSurface(surface.get(), 0xC0C0FF);
    ExpectFilled(surface.get(), 0xFF, 0xC0, 0xC0);
    FillSurface(surface.get(), 0x800000);
    ExpectFilled(surface.get(), 0x00, 0x00, 0x80);
    // The very last byte of the memory belongs to the top row's last pixel.
    EXPECT_EQ(surface->pixels[688127], 0x80);
}

TEST(SurfaceTest, FillCoversOddWidthsAndHeights) {
    for (int32_t width = 1; width <= 9; ++width) {
        for (int32_t height : {1, 2, 3, 7}) {
            SCOPED_TRACE(::testing::Message() << width << "x" << height);
            SurfacePtr surface = MakeSurface(width, height);
            FillSurface(surface.get(), 0x123456);
            ExpectFilled(surface.get(), 0x56, 0x34, 0x12);
        }
    }
}

TEST(SurfaceTest, SingleRowFillLeavesTheGapAlone) {
    // The top row is written byte by byte, so its gap keeps what it held; with height 1 that is
    // the only row, and any wider store would also run past the memory.
    for (int32_t width = 1; width <= 4; ++width) {
        SurfacePtr surface = MakeSurface(width, 1);
        std::fill(surface->pixels, surface->pixels + surface->stride, 0xAB);
        FillSurface(surface.get(), 0x00FF7F01);
        ExpectFilled(surface.get(), 0x01, 0x7F, 0xFF);
        for (int32_t i = 3 * width; i < surface->stride; ++i) {
            EXPECT_EQ(surface->pixels[i], 0xAB) << width;
        }
    }
}

}  // namespace
