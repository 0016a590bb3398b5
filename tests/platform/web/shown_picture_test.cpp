// The canvas is left alone for a frame equal to the one it shows: the picture is its pixels, not
// its row padding, and a difference in any one byte of a row (in the wasm build, the first 64
// go through the SIMD step, the rest through the plain loop), in the size, or a new canvas makes
// the frame new again.
#include "platform/web/shown_picture.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/portable/session.h"

namespace {

TEST(WebShownPicture, OnlyAChangedPixelSizeOrCanvasMakesAFrameNew) {
    constexpr int Width = 23;  // 69 bytes a row, 3 of padding
    constexpr int Height = 3;
    int stride = portable::DibStride(Width, 24);
    std::vector<uint8_t> dib(static_cast<size_t>(stride) * Height, 0x80);
    portable::ClientPixels frame{dib.data(), Width, Height, stride};
    portable::ShownPicture shown;

    EXPECT_TRUE(shown.Replace(frame));
    EXPECT_FALSE(shown.Replace(frame));
    dib[69] = 0x01;  // the first row's padding
    EXPECT_FALSE(shown.Replace(frame));
    for (int row : {1, 2}) {
        for (int at = 0; at < 3 * Width; ++at) {
            dib[row * stride + at] ^= 0x01;
            EXPECT_TRUE(shown.Replace(frame)) << "row " << row << ", byte " << at;
            EXPECT_FALSE(shown.Replace(frame)) << "row " << row << ", byte " << at;
        }
    }

    portable::ClientPixels narrower{dib.data(), Width - 1, Height, stride};
    EXPECT_TRUE(shown.Replace(narrower));
    shown.Forget();
    EXPECT_TRUE(shown.Replace(narrower));
}

}  // namespace
