// The fast blit against the reference blit: after the same draw onto two copies of the same
// garbage, every byte of the destination's pixel memory, row gaps included, must be the same.
// Every test runs once for each way of copying rows, and once for the way BlitSprite picks; a way
// this build or processor lacks is skipped, and says so.
// The pixel memory is a heap block of exactly its size, so under AddressSanitizer a read or
// write past either surface's pixels fails the test too.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <random>
#include <vector>

#include "render/sprite.h"
#include "support/surfaces.h"

namespace {

constexpr uint32_t Key = 0xFF00FF;

enum class Pattern {
    Scattered,  // each pixel the key with chance one in three
    Runs,       // alternating runs of key and other pixels, 1 to 40 long
    NearKey,    // the key, or the key with one of its three bytes changed
    AllKey,
    NoKey,
};

// Paints the pixels of `image`, leaving its row gaps as they were. The low 24 bits of `key` are
// the colour the pattern puts where it wants key pixels.
void Paint(Surface* image, Pattern pattern, uint32_t key, uint32_t seed) {
    std::mt19937 random(seed);
    uint32_t keyColour = key & 0xFFFFFF;
    auto other = [&] {
        uint32_t colour = random() & 0xFFFFFF;
        return colour == keyColour ? colour ^ 1 : colour;
    };
    bool inKeyRun = false;
    int32_t runLeft = 0;
    for (int32_t y = 0; y < image->height; ++y) {
        for (int32_t x = 0; x < image->width; ++x) {
            uint32_t colour = other();
            switch (pattern) {
                case Pattern::Scattered:
                    colour = random() % 3 == 0 ? keyColour : colour;
                    break;
                case Pattern::Runs:
                    if (runLeft-- == 0) {
                        inKeyRun = !inKeyRun;
                        runLeft = static_cast<int32_t>(random() % 40);
                    }
                    colour = inKeyRun ? keyColour : colour;
                    break;
                case Pattern::NearKey:
                    colour = keyColour;
                    if (random() % 2 == 0) {
                        colour ^= (1u + random() % 255) << (8 * (random() % 3));
                    }
                    break;
                case Pattern::AllKey:
                    colour = keyColour;
                    break;
                case Pattern::NoKey:
                    break;
            }
            SetSurfaceColour(image, x, y, colour);
        }
    }
}

// The whole sprite drawn at (x, y) by `blit`, behind DrawSprite's clipping.
template <typename Blit>
void DrawClipped(Blit blit, Surface* destination, const Sprite* sprite, int32_t x, int32_t y) {
    int32_t srcX = 0;
    int32_t srcY = 0;
    int32_t width = sprite->width;
    int32_t height = sprite->height;
    ClipBlitRect(sprite, destination, &srcX, &srcY, &x, &y, &width, &height);
    if (width > 0 && height > 0) {
        blit(destination, sprite, srcX, srcY, x, y, width, height);
    }
}

void DrawSpriteReference(Surface* destination, const Sprite* sprite, int32_t x, int32_t y) {
    DrawClipped(BlitSpriteReference, destination, sprite, x, y);
}

void ExpectSameBytes(const Surface* actual, const Surface* expected) {
    ASSERT_EQ(PixelBytes(actual), PixelBytes(expected));
    for (size_t i = 0; i < PixelBytes(actual); ++i) {
        if (actual->pixels[i] != expected->pixels[i]) {
            ADD_FAILURE() << "first difference at byte " << i << " of " << PixelBytes(actual)
                          << " (row " << i / actual->stride << " from the bottom, stride "
                          << actual->stride << ")";
            return;
        }
    }
}

// A way of copying rows, or none for the one BlitSprite picks.
struct Way {
    const char* name;
    std::optional<BlitPath> path;
};

void PrintTo(const Way& way, std::ostream* out) {
    *out << way.name;
}

class BlitEquivalence : public ::testing::TestWithParam<Way> {
protected:
    void SetUp() override {
        if (GetParam().path && !BlitPathAvailable(*GetParam().path)) {
            GTEST_SKIP() << "this build or processor cannot blit " << GetParam().name;
        }
    }

    // BlitSprite itself, or with its rows copied this test's way.
    void Blit(Surface* destination, const Sprite* sprite, int32_t srcX, int32_t srcY, int32_t dstX,
              int32_t dstY, int32_t width, int32_t height) const {
        if (GetParam().path) {
            BlitSpriteVia(*GetParam().path, destination, sprite, srcX, srcY, dstX, dstY, width,
                          height);
        } else {
            BlitSprite(destination, sprite, srcX, srcY, dstX, dstY, width, height);
        }
    }

    // DrawSprite's clipping in front of this test's way.
    void Draw(Surface* destination, const Sprite* sprite, int32_t x, int32_t y) const {
        DrawClipped([this](auto... arguments) { Blit(arguments...); }, destination, sprite, x, y);
    }

    // Draws the sprite at (x, y) with the reference and this test's way onto copies of the same
    // `width` by `height` garbage, and compares them.
    void ExpectDrawMatches(const Sprite* sprite, int32_t width, int32_t height, int32_t x,
                           int32_t y, uint32_t seed) const {
        SCOPED_TRACE(::testing::Message() << sprite->width << "x" << sprite->height << " onto "
                                          << width << "x" << height << " at " << x << "," << y);
        SurfacePtr reference = GarbageSurface(width, height, seed);
        SurfacePtr fast = GarbageSurface(width, height, seed);
        DrawSpriteReference(reference.get(), sprite, x, y);
        Draw(fast.get(), sprite, x, y);
        ExpectSameBytes(fast.get(), reference.get());
    }
};

INSTANTIATE_TEST_SUITE_P(Via, BlitEquivalence,
                         ::testing::Values(Way{"Pixels", BlitPath::Pixels},
                                           Way{"Sse2", BlitPath::Sse2},
                                           Way{"Avx512", BlitPath::Avx512},
                                           Way{"BlitSprite", std::nullopt}),
                         [](const ::testing::TestParamInfo<Way>& info) { return info.param.name; });

// Places from the corner to past every edge, for a sprite on a destination of that size.
std::vector<std::pair<int32_t, int32_t>> Places(const Sprite* sprite, int32_t width,
                                                int32_t height) {
    return {{0, 0},
            {1, 1},
            {width - sprite->width, height - sprite->height},
            {-2, -1},
            {width - 1, height - 1},
            {(width - sprite->width) / 2, (height - sprite->height) / 2}};
}

// Widths 1 to 9 on both sides give every pair of row gaps (width % 4) where DrawSprite goes pixel
// by pixel; 16 to 19 and 32 to 35 do the same where it goes sixteen pixels at a time (SSE2),
// with and without an overlapping last chunk.
TEST_P(BlitEquivalence, EveryWidthAndRowGapPairMatchesTheReference) {
    std::vector<int32_t> spriteWidths = {1,  2,  3,  4,  5,  6,  7,  8,  9,  15, 16,
                                         17, 18, 19, 31, 32, 33, 34, 35, 47, 48, 49};
    std::vector<int32_t> screenWidths = {1, 2, 3, 4, 5, 6, 7, 8, 9, 16, 17, 18, 19, 32, 33, 34, 35};
    uint32_t seed = 1;
    for (Pattern pattern : {Pattern::Scattered, Pattern::Runs, Pattern::NearKey}) {
        for (int32_t spriteWidth : spriteWidths) {
            int32_t spriteHeight = 1 + spriteWidth % 3;
            SurfacePtr image = GarbageSurface(spriteWidth, spriteHeight, ++seed);
            Paint(image.get(), pattern, Key, seed);
            Sprite sprite;
            InitSprite(&sprite, image.get(), Key);
            for (int32_t screenWidth : screenWidths) {
                int32_t screenHeight = 2 + screenWidth % 3;
                for (auto [x, y] : Places(&sprite, screenWidth, screenHeight)) {
                    ExpectDrawMatches(&sprite, screenWidth, screenHeight, x, y, ++seed);
                }
            }
        }
    }
}

// Rows of 64 pixels and more go 21 pixels at a time where the processor has AVX-512, and sixteen
// at a time elsewhere: widths 64 to 85 end in every remainder from 1 to 21 pixels, onto
// destinations with every row gap.
TEST_P(BlitEquivalence, WideRowsWithEveryRemainderMatchTheReference) {
    uint32_t seed = 100;
    for (int32_t spriteWidth = 64; spriteWidth <= 85; ++spriteWidth) {
        SurfacePtr image = GarbageSurface(spriteWidth, 3, ++seed);
        const Pattern patterns[] = {Pattern::Runs, Pattern::Scattered, Pattern::NearKey};
        Paint(image.get(), patterns[spriteWidth % 3], Key, seed);
        Sprite sprite;
        InitSprite(&sprite, image.get(), Key);
        for (int32_t screenWidth : {64, 85, 86, 87, 100}) {
            for (auto [x, y] : Places(&sprite, screenWidth, 4)) {
                ExpectDrawMatches(&sprite, screenWidth, 4, x, y, ++seed);
            }
        }
    }
}

// Random rectangles inside both surfaces, passed to the blit itself: source origins other
// than the corner, which DrawSprite only reaches through clipping.
TEST_P(BlitEquivalence, RectanglesAnywhereInBothSurfacesMatchTheReference) {
    std::mt19937 random(7);
    for (auto [spriteWidth, screenWidth] : {std::pair{53, 70}, {70, 53}, {18, 21}, {41, 64}}) {
        SurfacePtr image = GarbageSurface(spriteWidth, 9, spriteWidth);
        Paint(image.get(), Pattern::Runs, Key, screenWidth);
        Sprite sprite;
        InitSprite(&sprite, image.get(), Key);
        for (int i = 0; i < 60; ++i) {
            int32_t width = 1 + random() % std::min(spriteWidth, screenWidth);
            int32_t height = 1 + random() % 9;
            int32_t srcX = random() % (spriteWidth - width + 1);
            int32_t srcY = random() % (9 - height + 1);
            int32_t dstX = random() % (screenWidth - width + 1);
            int32_t dstY = random() % (11 - height + 1);
            SCOPED_TRACE(::testing::Message() << srcX << "," << srcY << " to " << dstX << ","
                                              << dstY << " " << width << "x" << height);
            SurfacePtr reference = GarbageSurface(screenWidth, 11, i);
            SurfacePtr fast = GarbageSurface(screenWidth, 11, i);
            BlitSpriteReference(reference.get(), &sprite, srcX, srcY, dstX, dstY, width, height);
            Blit(fast.get(), &sprite, srcX, srcY, dstX, dstY, width, height);
            ExpectSameBytes(fast.get(), reference.get());
        }
    }
}

// A key with a non-zero top byte matches no pixel, not even one of its low 24 bits; keys of
// zero and white bytes test the byte comparison at its extremes.
TEST_P(BlitEquivalence, UnusualKeysMatchTheReference) {
    for (uint32_t key : {0x01FF00FFu, 0xFF000000u, 0x80FFFFFFu, 0x000000u, 0xFFFFFFu, 0x00FF00u}) {
        for (int32_t spriteWidth : {5, 16, 19, 40}) {
            SCOPED_TRACE(::testing::Message() << std::hex << key << std::dec << " " << spriteWidth);
            SurfacePtr image = GarbageSurface(spriteWidth, 3, key ^ spriteWidth);
            Paint(image.get(), Pattern::Scattered, key, spriteWidth);
            Sprite sprite;
            InitSprite(&sprite, image.get(), key);
            ExpectDrawMatches(&sprite, 37, 5, 1, 1, key);
            ExpectDrawMatches(&sprite, 37, 5, -3, 2, key + 1);
        }
    }
}

TEST_P(BlitEquivalence, AllKeyAndNoKeySpritesMatchTheReference) {
    for (int32_t spriteWidth : {1, 3, 16, 17, 33, 101}) {
        SurfacePtr allKey = GarbageSurface(spriteWidth, 4, spriteWidth);
        Paint(allKey.get(), Pattern::AllKey, Key, 1);
        SurfacePtr noKey = GarbageSurface(spriteWidth, 4, spriteWidth + 1);
        Paint(noKey.get(), Pattern::NoKey, Key, 2);
        Sprite hidden;
        InitSprite(&hidden, allKey.get(), Key);
        Sprite solid;
        InitSprite(&solid, noKey.get(), Key);
        for (auto [x, y] : Places(&solid, 120, 6)) {
            ExpectDrawMatches(&hidden, 120, 6, x, y, 3);
            ExpectDrawMatches(&solid, 120, 6, x, y, 4);
        }
        // All key leaves the destination as it was; no key leaves nothing of it under the sprite.
        SurfacePtr screen = GarbageSurface(120, 6, 5);
        SurfacePtr untouched = GarbageSurface(120, 6, 5);
        Draw(screen.get(), &hidden, 2, 1);
        ExpectSameBytes(screen.get(), untouched.get());
        Draw(screen.get(), &solid, 2, 1);
        EXPECT_EQ(SurfaceColour(screen.get(), 2 + spriteWidth - 1, 4),
                  SurfaceColour(noKey.get(), spriteWidth - 1, 3));
    }
}

// The game's case: a button-sized sprite and a screen-sized one on the 512 by 448 back buffer.
TEST_P(BlitEquivalence, BackBufferSizedDrawsMatchTheReference) {
    for (auto [spriteWidth, spriteHeight] : {std::pair{101, 101}, {512, 448}, {601, 20}}) {
        SurfacePtr image = GarbageSurface(spriteWidth, spriteHeight, 11);
        Paint(image.get(), Pattern::Runs, Key, 12);
        Sprite sprite;
        InitSprite(&sprite, image.get(), Key);
        ExpectDrawMatches(&sprite, 512, 448, (512 - spriteWidth) / 2, (448 - spriteHeight) / 2, 13);
        ExpectDrawMatches(&sprite, 512, 448, 470, -30, 14);
    }
}

// Drawn onto its own surface, a sprite reads pixels it has just written, along its row as well
// as from row to row; the outcome still follows the reference's order.
TEST_P(BlitEquivalence, SpriteDrawnOntoItsOwnSurfaceMatchesTheReference) {
    for (auto [x, y] : {std::pair{1, 0}, {-5, 0}, {17, 0}, {3, 1}, {-3, -1}, {0, 0}, {20, 2}}) {
        SurfacePtr fast = GarbageSurface(40, 6, 21);
        SurfacePtr reference = GarbageSurface(40, 6, 21);
        Paint(fast.get(), Pattern::Runs, Key, 22);
        Paint(reference.get(), Pattern::Runs, Key, 22);
        Sprite fastSprite;
        InitSprite(&fastSprite, fast.get(), Key);
        Sprite referenceSprite;
        InitSprite(&referenceSprite, reference.get(), Key);
        Draw(fast.get(), &fastSprite, x, y);
        DrawSpriteReference(reference.get(), &referenceSprite, x, y);
        SCOPED_TRACE(::testing::Message() << x << "," << y);
        ExpectSameBytes(fast.get(), reference.get());
    }
}

}  // namespace
