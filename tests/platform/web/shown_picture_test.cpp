// The canvas is left alone for a frame equal to the one it shows: the picture is its pixels, not
// its row padding, and a difference in the very last byte, in the size, or a new canvas makes
// the frame new again.
#include "platform/portable/web/shown_picture.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/portable/session.h"

namespace {

TEST(WebShownPicture, OnlyAChangedPixelSizeOrCanvasMakesAFrameNew) {
    constexpr int Width = 5;  // 15 bytes a row, one of padding
    constexpr int Height = 3;
    int stride = portable::DibStride(Width, 24);
    std::vector<uint8_t> dib(static_cast<size_t>(stride) * Height, 0x80);
    portable::ClientPixels frame{dib.data(), Width, Height, stride};
    portable::ShownPicture shown;

    EXPECT_TRUE(shown.Replace(frame));
    EXPECT_FALSE(shown.Replace(frame));
    dib[15] = 0x01;  // the first row's padding
    EXPECT_FALSE(shown.Replace(frame));
    dib[2 * stride + 14] = 0x81;  // the last byte of the last row's last pixel
    EXPECT_TRUE(shown.Replace(frame));
    EXPECT_FALSE(shown.Replace(frame));

    portable::ClientPixels narrower{dib.data(), Width - 1, Height, stride};
    EXPECT_TRUE(shown.Replace(narrower));
    shown.Forget();
    EXPECT_TRUE(shown.Replace(narrower));
}

}  // namespace
