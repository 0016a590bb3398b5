// Sprite drawing: the eight clipping steps on the cases the game meets (centred, wider than the
// screen, off-screen, negative origins), and the colour-keyed copy checked pixel by pixel against
// a plain model of what a draw must show.
#include "render/sprite.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

#include "support/surfaces.h"

namespace {

constexpr uint32_t Key = 0xFF00FF;
constexpr uint32_t Grey = 0x808080;

// An image with a distinct colour in every pixel and the key scattered through it.
SurfacePtr MakeImage(int32_t width, int32_t height) {
    SurfacePtr image = MakeSurface(width, height);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            bool key = (x * 7 + y * 3) % 5 == 0;
            SetSurfaceColour(image.get(), x, y, key ? Key : uint32_t(0x010000 * (y % 256) + x));
        }
    }
    return image;
}

// What the destination must show after DrawSprite of the sprite's top-left width by height
// rectangle at (x, y) over a fill, worked out pixel by pixel.
void ExpectDrawn(const Surface* destination, const Sprite& sprite, int64_t x, int64_t y,
                 int64_t width, int64_t height, uint32_t fill) {
    int mismatches = 0;
    for (int32_t dy = 0; dy < destination->height; ++dy) {
        for (int32_t dx = 0; dx < destination->width; ++dx) {
            int64_t sx = dx - x;
            int64_t sy = dy - y;
            uint32_t expected = fill;
            if (sx >= 0 && sy >= 0 && sx < width && sy < height && sx < sprite.width &&
                sy < sprite.height) {
                uint32_t source = SurfaceColour(sprite.surface, int32_t(sx), int32_t(sy));
                expected = source == sprite.colourKey ? fill : source;
            }
            if (SurfaceColour(destination, dx, dy) != expected && ++mismatches <= 3) {
                ADD_FAILURE() << "pixel " << dx << "," << dy << " is " << std::hex
                              << SurfaceColour(destination, dx, dy) << ", expected " << expected;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

struct Rect {
    int32_t srcX, srcY, dstX, dstY, width, height;
};

Rect Clip(int32_t spriteWidth, int32_t spriteHeight, Rect rect) {
    Surface image = {};
    image.width = spriteWidth;
    image.height = spriteHeight;
    Sprite sprite;
    InitSprite(&sprite, &image, Key);
    Surface screen = {};
    screen.width = 512;
    screen.height = 448;
    ClipBlitRect(&sprite, &screen, &rect.srcX, &rect.srcY, &rect.dstX, &rect.dstY, &rect.width,
                 &rect.height);
    return rect;
}

void ExpectRect(const Rect& actual, const Rect& expected) {
    EXPECT_EQ(actual.srcX, expected.srcX);
    EXPECT_EQ(actual.srcY, expected.srcY);
    EXPECT_EQ(actual.dstX, expected.dstX);
    EXPECT_EQ(actual.dstY, expected.dstY);
    EXPECT_EQ(actual.width, expected.width);
    EXPECT_EQ(actual.height, expected.height);
}

TEST(ClipBlitRectTest, CentredSpritesStayWhole) {
    ExpectRect(Clip(100, 50, {0, 0, (512 - 100) / 2, (448 - 50) / 2, 100, 50}),
               {0, 0, 206, 199, 100, 50});
    ExpectRect(Clip(101, 50, {0, 0, (512 - 101) / 2, 199, 101, 50}), {0, 0, 205, 199, 101, 50});
}

TEST(ClipBlitRectTest, WiderThanTheScreenShowsTheMiddleColumns) {
    int32_t x = (512 - 601) / 2;
    ASSERT_EQ(x, -44);
    ExpectRect(Clip(601, 20, {0, 0, x, 214, 601, 20}), {44, 0, 0, 214, 512, 20});
}

TEST(ClipBlitRectTest, OverhangsOnEverySideAreCut) {
    ExpectRect(Clip(100, 50, {0, 0, -10, 5, 100, 50}), {10, 0, 0, 5, 90, 50});
    ExpectRect(Clip(100, 50, {0, 0, 5, -7, 100, 50}), {0, 7, 5, 0, 100, 43});
    // A negative source origin moves the destination right by as much.
    ExpectRect(Clip(100, 50, {-3, 0, 20, 30, 100, 50}), {0, 0, 23, 30, 97, 50});
    ExpectRect(Clip(100, 50, {0, -4, 20, 30, 100, 50}), {0, 0, 20, 34, 100, 46});
    // Bottom-right overhang of sprite and screen together.
    ExpectRect(Clip(100, 50, {10, 5, 480, 420, 100, 50}), {10, 5, 480, 420, 32, 28});
    ExpectRect(Clip(100, 50, {0, 0, 413, 399, 100, 50}), {0, 0, 413, 399, 99, 49});
    ExpectRect(Clip(100, 50, {0, 0, 412, 398, 100, 50}), {0, 0, 412, 398, 100, 50});
}

TEST(ClipBlitRectTest, OffScreenLeavesNothing) {
    for (int32_t x : {512, 513, 100000}) {
        Rect rect = Clip(100, 50, {0, 0, x, 10, 100, 50});
        EXPECT_LE(rect.width, 0) << x;
    }
    for (int32_t y : {448, 600}) {
        Rect rect = Clip(100, 50, {0, 0, 10, y, 100, 50});
        EXPECT_LE(rect.height, 0) << y;
    }
    EXPECT_LE(Clip(100, 50, {0, 0, -100, 10, 100, 50}).width, 0);
    EXPECT_LE(Clip(100, 50, {0, 0, 10, -50, 100, 50}).height, 0);
}

TEST(ClipBlitRectTest, ExtremeValuesDoNotOverflow) {
    // Each of these would overflow 32-bit arithmetic somewhere in the eight steps.
    EXPECT_LE(Clip(100, 50, {0, 0, INT32_MIN, 0, INT32_MAX, 50}).width, 0);
    EXPECT_LE(Clip(100, 50, {0, 0, INT32_MAX, 0, INT32_MAX, 50}).width, 0);
    EXPECT_LE(Clip(100, 50, {INT32_MIN, 0, 0, 0, 10, 50}).width, 0);
    EXPECT_LE(Clip(100, 50, {0, INT32_MIN, 0, INT32_MAX, 10, INT32_MIN}).height, 0);
    ExpectRect(Clip(100, 50, {0, 0, 0, 0, INT32_MAX, INT32_MAX}), {0, 0, 0, 0, 100, 50});
}

class DrawSpriteTest : public ::testing::Test {
protected:
    void SetUp() override { FillSurface(screen.get(), Grey); }
    SurfacePtr screen = MakeSurface(512, 448);
};

TEST_F(DrawSpriteTest, CopiesEveryPixelButTheKey) {
    SurfacePtr image = MakeImage(101, 50);
    Sprite sprite;
    InitSprite(&sprite, image.get(), Key);
    EXPECT_EQ(sprite.width, 101);
    EXPECT_EQ(sprite.height, 50);
    DrawSprite(screen.get(), &sprite, 205, 199, 101, 50);
    ExpectDrawn(screen.get(), sprite, 205, 199, 101, 50, Grey);
}

TEST_F(DrawSpriteTest, ClippedDrawsShowTheRightPart) {
    struct Place {
        int32_t x, y, width, height;
    };
    SurfacePtr image = MakeImage(37, 21);
    Sprite sprite;
    InitSprite(&sprite, image.get(), Key);
    for (Place place : {Place{-10, 3, 37, 21}, Place{500, 440, 37, 21}, Place{-30, -15, 37, 21},
                        Place{100, 100, 20, 9}, Place{0, 0, 90, 90}, Place{512, 0, 37, 21},
                        Place{0, 448, 37, 21}, Place{-37, 0, 37, 21}}) {
        SCOPED_TRACE(::testing::Message()
                     << place.x << "," << place.y << " " << place.width << "x" << place.height);
        FillSurface(screen.get(), Grey);
        DrawSprite(screen.get(), &sprite, place.x, place.y, place.width, place.height);
        ExpectDrawn(screen.get(), sprite, place.x, place.y, place.width, place.height, Grey);
    }
}

TEST_F(DrawSpriteTest, WideSpriteCoversTheScreenWithColumns44To555) {
    SurfacePtr image = MakeImage(601, 20);
    Sprite sprite;
    InitSprite(&sprite, image.get(), 0x01000000);  // matches nothing: every pixel is copied
    DrawSprite(screen.get(), &sprite, -44, 214, 601, 20);
    for (int32_t y = 0; y < 20; ++y) {
        EXPECT_EQ(SurfaceColour(screen.get(), 0, 214 + y), SurfaceColour(image.get(), 44, y));
        EXPECT_EQ(SurfaceColour(screen.get(), 511, 214 + y), SurfaceColour(image.get(), 555, y));
    }
    ExpectDrawn(screen.get(), sprite, -44, 214, 601, 20, Grey);
}

TEST_F(DrawSpriteTest, OnlyTheExactKeyIsSkipped) {
    SurfacePtr image = MakeSurface(3, 1);
    uint8_t* row = image->pixels;
    const uint8_t bytes[9] = {0xFF, 0x00, 0xFF, 0xFE, 0x00, 0xFF, 0xFF, 0x01, 0xFF};
    std::copy(bytes, bytes + 9, row);
    Sprite sprite;
    InitSprite(&sprite, image.get(), Key);
    DrawSprite(screen.get(), &sprite, 10, 10, 3, 1);
    EXPECT_EQ(SurfaceColour(screen.get(), 10, 10), Grey);
    EXPECT_EQ(SurfaceColour(screen.get(), 11, 10), 0xFF00FEu);
    EXPECT_EQ(SurfaceColour(screen.get(), 12, 10), 0xFF01FFu);
}

TEST(DrawSpriteGapTest, RowGapsOnBothSidesAreNeitherReadNorWritten) {
    // Width 5 gives both surfaces a one-byte gap per row; the sprite's gap holds the key's blue
    // byte, the screen's a sentinel that must survive.
    SurfacePtr screen = MakeSurface(5, 4);
    std::fill(screen->pixels, screen->pixels + screen->stride * 4, 0xAB);
    SurfacePtr image = MakeImage(5, 4);
    for (int32_t y = 0; y < 4; ++y) {
        image->pixels[y * image->stride + 15] = 0x77;
    }
    Sprite sprite;
    InitSprite(&sprite, image.get(), Key);
    DrawSprite(screen.get(), &sprite, 0, 0, 5, 4);
    ExpectDrawn(screen.get(), sprite, 0, 0, 5, 4, 0xABABAB);
    for (int32_t y = 0; y < 4; ++y) {
        EXPECT_EQ(screen->pixels[y * screen->stride + 15], 0xAB) << y;
    }
}

TEST_F(DrawSpriteTest, NothingIsDrawnWithoutPixelMemory) {
    // An image whose load failed: a size, but no pixels.
    SurfacePtr failed = NewSurface();
    failed->width = 20;
    failed->height = 20;
    Sprite sprite;
    InitSprite(&sprite, failed.get(), Key);
    DrawSprite(screen.get(), &sprite, 10, 10, 20, 20);
    ExpectDrawn(screen.get(), sprite, 0, 0, 0, 0, Grey);

    SurfacePtr image = MakeImage(20, 20);
    InitSprite(&sprite, image.get(), Key);
    SurfacePtr noScreen = NewSurface();
    noScreen->width = 512;
    noScreen->height = 448;
    DrawSprite(noScreen.get(), &sprite, 10, 10, 20, 20);  // must not touch a null pointer
    EXPECT_EQ(noScreen->pixels, nullptr);
}

TEST_F(DrawSpriteTest, NothingIsDrawnWhenTheSurfaceChangedSize) {
    // Narrower, shorter, or both: either side alone makes the sprite's size stale.
    for (auto [width, height] : {std::pair{4, 20}, std::pair{20, 4}, std::pair{4, 4}}) {
        SurfacePtr image = MakeImage(20, 20);
        Sprite sprite;
        InitSprite(&sprite, image.get(), Key);
        ASSERT_TRUE(CreateSurface(image.get(), width, height));
        // The sprite still says 20 by 20: copying that from smaller memory would read past it.
        DrawSprite(screen.get(), &sprite, 10, 10, 20, 20);
        ExpectDrawn(screen.get(), sprite, 0, 0, 0, 0, Grey);
    }
}

}  // namespace
