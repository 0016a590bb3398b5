// A window's 24-bit bottom-up rows as the canvas's RGBA rows, top-down: odd widths, so each GDI
// row carries padding that must not reach the canvas, and (in the wasm build) rows long enough
// for the four-pixel path with a remainder for the plain one.
#include "platform/web/canvas_pixels.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/portable/session.h"

namespace {

TEST(WebCanvasPixels, RowsComeTopDownRedFirstOpaqueWithoutPadding) {
    constexpr int Width = 3;
    constexpr int Height = 2;
    int stride = portable::DibStride(Width, 24);
    ASSERT_EQ(stride, 12);
    std::vector<uint8_t> dib(static_cast<size_t>(stride) * Height, 0xEE);  // 0xEE: padding
    auto put = [&](int x, int y, uint32_t colour) {                        // y from the top
        uint8_t* p = dib.data() + (Height - y - 1) * stride + 3 * x;
        p[0] = colour & 0xFF;
        p[1] = (colour >> 8) & 0xFF;
        p[2] = colour >> 16;
    };
    put(0, 0, 0x808080);
    put(1, 0, 0xC0C0FF);
    put(2, 0, 0x800000);
    put(0, 1, 0x010203);
    put(1, 1, 0xFF00FF);
    put(2, 1, 0x000000);

    std::vector<uint8_t> rgba(portable::CanvasBytes(Width, Height) + 4, 0x55);
    portable::ToCanvasPixels(portable::ClientPixels{dib.data(), Width, Height, stride},
                             rgba.data());

    std::vector<uint8_t> expected = {
        0x80, 0x80, 0x80, 0xFF, 0xC0, 0xC0, 0xFF, 0xFF, 0x80, 0x00, 0x00, 0xFF,  // top row
        0x01, 0x02, 0x03, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0xFF,  // bottom row
        0x55, 0x55, 0x55, 0x55};                                                 // untouched
    EXPECT_EQ(rgba, expected);
}

// Every pixel against the layer's own reading of a DIB, for widths on both sides of each
// four-pixel step, on random bytes.
TEST(WebCanvasPixels, EveryPixelOfRandomRowsOfManyWidthsMatchesTheDib) {
    std::mt19937 random(14);
    for (int width = 1; width <= 23; ++width) {
        constexpr int Height = 3;
        int stride = portable::DibStride(width, 24);
        std::vector<uint8_t> dib(static_cast<size_t>(stride) * Height);
        for (uint8_t& byte : dib) {
            byte = static_cast<uint8_t>(random());
        }
        portable::ClientPixels pixels{dib.data(), width, Height, stride};
        std::vector<uint8_t> rgba(portable::CanvasBytes(width, Height));
        portable::ToCanvasPixels(pixels, rgba.data());
        for (int y = 0; y < Height; ++y) {
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = rgba.data() + 4 * (y * width + x);
                uint32_t shown = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
                ASSERT_EQ(shown, pixels.Pixel(x, y))
                    << "width " << width << " at " << x << ", " << y;
                ASSERT_EQ(p[3], 0xFF) << "width " << width << " at " << x << ", " << y;
            }
        }
    }
}

}  // namespace
