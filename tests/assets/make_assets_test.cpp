// Checks the committed data files as their readers see them: button.bmp as the game's loader and
// blit take it (24-bit, pixels at 54, magenta only around a solid disc), taspo.ico as the resource
// compiler takes it (six DIB images whose AND masks agree with their colour pixels).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadAsset(const char* name) {
    std::ifstream file(std::string(TASPO_SOURCE_DIR) + "/assets/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

uint32_t Get16(const Bytes& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8;
}

uint32_t Get32(const Bytes& bytes, size_t at) {
    return Get16(bytes, at) | Get16(bytes, at + 2) << 16;
}

uint32_t Stride(uint32_t width, uint32_t bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

class ButtonBmp : public ::testing::Test {
protected:
    void SetUp() override {
        bmp = ReadAsset("button.bmp");
        ASSERT_GE(bmp.size(), 54u);
        width = static_cast<int32_t>(Get32(bmp, 18));
        height = static_cast<int32_t>(Get32(bmp, 22));
        ASSERT_GT(width, 0);
        ASSERT_GT(height, 0);
        stride = Stride(static_cast<uint32_t>(width), 24);
        ASSERT_EQ(bmp.size(), 54 + size_t{stride} * static_cast<uint32_t>(height));
    }

    // 0x00RRGGBB of pixel (x, y), y from the top.
    uint32_t Pixel(int32_t x, int32_t y) const {
        size_t at = 54 + size_t{stride} * static_cast<uint32_t>(height - 1 - y) + 3u * x;
        return bmp[at + 2] << 16 | bmp[at + 1] << 8 | bmp[at];
    }

    Bytes bmp;
    int32_t width = 0;
    int32_t height = 0;
    uint32_t stride = 0;
};

TEST_F(ButtonBmp, HasTheHeaderTheLoaderReads) {
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(Get32(bmp, 2), bmp.size());
    EXPECT_EQ(Get32(bmp, 10), 54u);  // pixel rows right after the two headers
    EXPECT_EQ(Get32(bmp, 14), 40u);
    EXPECT_EQ(Get16(bmp, 26), 1u);
    EXPECT_EQ(Get16(bmp, 28), 24u);
    EXPECT_EQ(Get32(bmp, 30), 0u);  // uncompressed
    EXPECT_EQ(Get32(bmp, 34), stride * static_cast<uint32_t>(height));
    EXPECT_EQ(Get32(bmp, 46), 0u);  // no colour table
}

TEST_F(ButtonBmp, RowsEndInZeroFiller) {
    uint32_t rowBytes = 3u * static_cast<uint32_t>(width);
    ASSERT_NE(rowBytes, stride) << "a width that is a multiple of 4 leaves the filler untested";
    for (int32_t row = 0; row < height; ++row) {
        for (uint32_t at = rowBytes; at < stride; ++at) {
            EXPECT_EQ(bmp[54 + size_t{stride} * static_cast<uint32_t>(row) + at], 0) << row;
        }
    }
}

// The key colour surrounds one solid, left-right symmetric disc, and no visible pixel comes close
// to the key, so nothing of the button vanishes and no pink fringe shows.
TEST_F(ButtonBmp, MagentaSurroundsASolidDisc) {
    const uint32_t key = 0xFF00FF;
    EXPECT_EQ(Pixel(0, 0), key);
    EXPECT_EQ(Pixel(width - 1, height - 1), key);
    EXPECT_NE(Pixel(width / 2, height / 2), key);
    int32_t visibleRows = 0;
    for (int32_t y = 0; y < height; ++y) {
        int32_t first = -1, last = -1;
        for (int32_t x = 0; x < width; ++x) {
            uint32_t pixel = Pixel(x, y);
            if (pixel == key) {
                continue;
            }
            int red = pixel >> 16, green = pixel >> 8 & 0xFF, blue = pixel & 0xFF;
            EXPECT_GT((255 - red) + green + (255 - blue), 200) << x << "," << y;
            if (first < 0) {
                first = x;
            } else {
                EXPECT_EQ(last, x - 1) << "a hole in row " << y;
            }
            last = x;
        }
        if (first >= 0) {
            ++visibleRows;
            EXPECT_EQ(first, width - 1 - last) << "row " << y;
        }
    }
    EXPECT_GT(visibleRows, height / 2);
}

struct IconImage {
    uint32_t size;
    uint32_t bitsPerPixel;
    uint32_t offset;
    uint32_t bytes;
};

std::vector<IconImage> ReadIconDirectory(const Bytes& ico) {
    std::vector<IconImage> images;
    for (uint32_t i = 0; i < Get16(ico, 4); ++i) {
        size_t entry = 6 + 16 * size_t{i};
        EXPECT_EQ(ico[entry], ico[entry + 1]) << "square";
        EXPECT_EQ(ico[entry + 2], Get16(ico, entry + 6) == 4 ? 16 : 0) << "colour count";
        EXPECT_EQ(Get16(ico, entry + 4), 1u) << "planes";
        images.push_back(
            {ico[entry], Get16(ico, entry + 6), Get32(ico, entry + 12), Get32(ico, entry + 8)});
    }
    return images;
}

TEST(TaspoIco, HoldsSixImagesTilingTheFile) {
    Bytes ico = ReadAsset("taspo.ico");
    ASSERT_GE(ico.size(), 6u + 6 * 16);
    EXPECT_EQ(Get16(ico, 0), 0u);
    EXPECT_EQ(Get16(ico, 2), 1u);  // an icon
    ASSERT_EQ(Get16(ico, 4), 6u);

    std::set<std::pair<uint32_t, uint32_t>> kinds;
    uint32_t next = 6 + 6 * 16;
    for (const IconImage& image : ReadIconDirectory(ico)) {
        kinds.insert({image.size, image.bitsPerPixel});
        EXPECT_EQ(image.offset, next);
        next = image.offset + image.bytes;
    }
    EXPECT_EQ(next, ico.size());
    std::set<std::pair<uint32_t, uint32_t>> wanted = {{16, 4}, {32, 4}, {48, 4},
                                                      {16, 8}, {32, 8}, {48, 8}};
    EXPECT_EQ(kinds, wanted);
}

// Each image: a 40-byte header of twice the height, a full palette whose entry 0 is black, the
// colour rows, then the AND mask; a pixel is transparent exactly where it uses entry 0.
TEST(TaspoIco, MasksAgreeWithColourPixels) {
    Bytes ico = ReadAsset("taspo.ico");
    ASSERT_GE(ico.size(), 6u + 6 * 16);
    for (const IconImage& image : ReadIconDirectory(ico)) {
        SCOPED_TRACE(std::to_string(image.size) + " px, " + std::to_string(image.bitsPerPixel) +
                     " bits");
        const uint32_t size = image.size, bits = image.bitsPerPixel, at = image.offset;
        uint32_t colours = 1u << bits;
        uint32_t xorStride = Stride(size, bits), andStride = Stride(size, 1);
        uint32_t xorAt = at + 40 + 4 * colours, andAt = xorAt + xorStride * size;
        ASSERT_EQ(image.bytes, 40 + 4 * colours + (xorStride + andStride) * size);
        ASSERT_LE(size_t{at} + image.bytes, ico.size());
        EXPECT_EQ(Get32(ico, at), 40u);
        EXPECT_EQ(Get32(ico, at + 4), size);
        EXPECT_EQ(Get32(ico, at + 8), 2 * size);
        EXPECT_EQ(Get16(ico, at + 14), bits);
        EXPECT_EQ(Get32(ico, at + 16), 0u);
        EXPECT_EQ(Get32(ico, at + 40), 0u) << "palette entry 0 is black";

        uint32_t opaque = 0;
        for (uint32_t row = 0; row < size; ++row) {
            for (uint32_t x = 0; x < size; ++x) {
                uint8_t packed = ico[xorAt + row * xorStride + x * bits / 8];
                uint32_t index = bits == 8 ? packed : (x % 2 == 0 ? packed >> 4 : packed & 0xF);
                bool transparent = ico[andAt + row * andStride + x / 8] & (0x80 >> x % 8);
                EXPECT_EQ(transparent, index == 0) << x << "," << row;
                opaque += transparent ? 0 : 1;
            }
        }
        EXPECT_GT(opaque, size * size / 2);
        EXPECT_LT(opaque, size * size);
    }
}

}  // namespace
