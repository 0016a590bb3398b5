// A window's 24-bit bottom-up rows as the canvas's RGBA rows, top-down: an odd width, so each
// GDI row carries padding that must not reach the canvas.
#include "platform/portable/web/canvas_pixels.h"

#include <gtest/gtest.h>

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

}  // namespace
