// The BMP loader: valid files land in the surface row for row, every malformed file is refused
// with its own code, and a refused load leaves the surface and the engine memory as they were.
#include "io/bitmap_loader.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "io/file_stream.h"
#include "io/memory_stream.h"
#include "support/bmp_builder.h"
#include "support/scoped_engine_arena.h"

namespace {

// A memory stream that notes the size of every Read and counts every other call.
class RecordingStream : public MemoryStream {
public:
    using MemoryStream::MemoryStream;
    uint32_t Read(uint32_t size, void* buffer) override {
        reads.push_back(size);
        return MemoryStream::Read(size, buffer);
    }
    int32_t Seek(int32_t offset) override {
        ++otherCalls;
        return MemoryStream::Seek(offset);
    }
    int32_t Size() override {
        ++otherCalls;
        return MemoryStream::Size();
    }
    std::vector<uint32_t> reads;
    int otherCalls = 0;
};

Surface* NewSurface() {
    Surface* surface = static_cast<Surface*>(EngineAlloc(sizeof(Surface)));
    InitSurface(surface);
    return surface;
}

int32_t Load(const std::vector<uint8_t>& file, Surface* surface) {
    MemoryStream stream(file.data(), static_cast<uint32_t>(file.size()));
    return LoadBitmapFile(&stream, surface);
}

std::vector<uint8_t> SurfaceBytes(const Surface* surface) {
    return std::vector<uint8_t>(surface->pixels,
                                surface->pixels + size_t(surface->stride) * surface->height);
}

class BitmapLoaderTest : public ::testing::Test {
protected:
    void TearDown() override { DestroySurface(surface); }
    Surface* surface = NewSurface();
};

TEST_F(BitmapLoaderTest, OneByOneReadsFiftyEightBytesInThreeReads) {
    std::vector<uint8_t> file = BmpFile(1, 1, {0x10, 0x20, 0x30, 0x99});
    file.insert(file.end(), {'t', 'a', 'i', 'l'});
    RecordingStream stream(file.data(), static_cast<uint32_t>(file.size()));

    ASSERT_EQ(LoadBitmapFile(&stream, surface), BitmapLoaded);
    EXPECT_EQ(stream.reads, (std::vector<uint32_t>{14, 40, 4}));
    EXPECT_EQ(stream.otherCalls, 0);
    EXPECT_EQ(stream.Tell(), 58);
    EXPECT_EQ(surface->width, 1);
    EXPECT_EQ(surface->height, 1);
    EXPECT_EQ(surface->stride, 4);
    EXPECT_EQ(SurfaceBytes(surface), (std::vector<uint8_t>{0x10, 0x20, 0x30, 0x99}));
    EXPECT_EQ(SurfaceColour(surface, 0, 0), 0x302010u);
}

TEST_F(BitmapLoaderTest, FirstRowInTheFileIsTheBottomRow) {
    std::vector<uint8_t> rows = {// bottom row: three pixels and three filler bytes
                                 1, 2, 3, 4, 5, 6, 7, 8, 9, 0xF1, 0xF2, 0xF3,
                                 // top row
                                 11, 12, 13, 14, 15, 16, 17, 18, 19, 0xF4, 0xF5, 0xF6};
    ASSERT_EQ(Load(BmpFile(3, 2, rows), surface), BitmapLoaded);
    EXPECT_EQ(surface->stride, 12);
    EXPECT_EQ(surface->rowGap, 3);
    EXPECT_EQ(SurfaceBytes(surface), rows);
    EXPECT_EQ(SurfaceColour(surface, 0, 1), 0x030201u);
    EXPECT_EQ(SurfaceColour(surface, 2, 1), 0x090807u);
    EXPECT_EQ(SurfaceColour(surface, 0, 0), 0x0D0C0Bu);
    EXPECT_EQ(SurfaceColour(surface, 2, 0), 0x131211u);
}

TEST_F(BitmapLoaderTest, WidthMultipleOfFourHasNoFiller) {
    std::vector<uint8_t> file = BmpFile(8, 3);
    RecordingStream stream(file.data(), static_cast<uint32_t>(file.size()));
    ASSERT_EQ(LoadBitmapFile(&stream, surface), BitmapLoaded);
    EXPECT_EQ(stream.reads, (std::vector<uint32_t>{14, 40, 3 * 8 * 3}));
    EXPECT_EQ(surface->stride, 24);
    EXPECT_EQ(surface->rowGap, 0);
    EXPECT_EQ(SurfaceBytes(surface), PatternRows(8, 3));
}

TEST_F(BitmapLoaderTest, ReloadReplacesAnEarlierImage) {
    ASSERT_EQ(Load(BmpFile(3, 2), surface), BitmapLoaded);
    HDC context = surface->memoryDC;
    std::vector<uint8_t> rows(BmpStride(5) * 7, 0x5A);
    ASSERT_EQ(Load(BmpFile(5, 7, rows), surface), BitmapLoaded);
    EXPECT_EQ(surface->memoryDC, context);
    EXPECT_EQ(surface->width, 5);
    EXPECT_EQ(surface->height, 7);
    EXPECT_EQ(surface->stride, 16);
    EXPECT_EQ(SurfaceBytes(surface), rows);
}

TEST_F(BitmapLoaderTest, LargerHeadersAndGapsBeforeThePixelsAreSkipped) {
    struct Layout {
        uint32_t infoSize;
        uint32_t gap;
    };
    // V4 and V5 headers, a colour table or masks before the rows, and a gap longer than the
    // loader's skip buffer.
    for (Layout layout : {Layout{108, 0}, Layout{124, 0}, Layout{40, 16}, Layout{124, 700}}) {
        SCOPED_TRACE(::testing::Message() << layout.infoSize << " + " << layout.gap);
        std::vector<uint8_t> file = BmpFile(5, 3, PatternRows(5, 3), layout.infoSize, layout.gap);
        MemoryStream stream(file.data(), static_cast<uint32_t>(file.size()));
        ASSERT_EQ(LoadBitmapFile(&stream, surface), BitmapLoaded);
        EXPECT_EQ(surface->width, 5);
        EXPECT_EQ(SurfaceBytes(surface), PatternRows(5, 3));
        EXPECT_EQ(stream.Tell(), static_cast<int32_t>(file.size()));
    }
}

struct Malformed {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> spoil;
    int32_t expected;
};

TEST_F(BitmapLoaderTest, MalformedFilesAreRefusedAndLeaveTheSurfaceIntact) {
    const std::vector<Malformed> cases = {
        {"empty", [](auto& f) { f.clear(); }, BitmapTooShort},
        {"file header cut", [](auto& f) { f.resize(13); }, BitmapTooShort},
        {"info header cut", [](auto& f) { f.resize(53); }, BitmapTooShort},
        {"signature", [](auto& f) { f[1] = 'A'; }, BitmapBadSignature},
        {"short signature check", [](auto& f) { f.assign(14, 'x'); }, BitmapBadSignature},
        {"core header", [](auto& f) { Put32(f, BmpInfoSize, 12); }, BitmapBadInfoHeader},
        {"info header 39", [](auto& f) { Put32(f, BmpInfoSize, 39); }, BitmapBadInfoHeader},
        {"32-bit", [](auto& f) { Put16(f, BmpBitCount, 32); }, BitmapBadDepth},
        {"8-bit", [](auto& f) { Put16(f, BmpBitCount, 8); }, BitmapBadDepth},
        {"rle8", [](auto& f) { Put32(f, BmpCompression, 1); }, BitmapCompressed},
        {"bitfields", [](auto& f) { Put32(f, BmpCompression, 3); }, BitmapCompressed},
        {"zero width", [](auto& f) { Put32(f, BmpWidth, 0); }, BitmapBadDimensions},
        {"negative width", [](auto& f) { Put32(f, BmpWidth, uint32_t(-3)); }, BitmapBadDimensions},
        {"zero height", [](auto& f) { Put32(f, BmpHeight, 0); }, BitmapBadDimensions},
        {"top-down", [](auto& f) { Put32(f, BmpHeight, uint32_t(-2)); }, BitmapTopDown},
        {"most negative height", [](auto& f) { Put32(f, BmpHeight, 0x80000000u); }, BitmapTopDown},
        {"huge width", [](auto& f) { Put32(f, BmpWidth, 0x7FFFFFFF); }, BitmapTooLarge},
        {"width one past the side limit", [](auto& f) { Put32(f, BmpWidth, 16385); },
         BitmapTooLarge},
        {"height one past the side limit", [](auto& f) { Put32(f, BmpHeight, 16385); },
         BitmapTooLarge},
        {"rows 12 bytes past 64 MiB, the least any two sides give",
         [](auto& f) {
             Put32(f, BmpWidth, 2065);  // 6196-byte rows
             Put32(f, BmpHeight, 10831);
         },
         BitmapTooLarge},
        {"stride times height overflows 32 bits",
         [](auto& f) {
             Put32(f, BmpWidth, 0x55555556);
             Put32(f, BmpHeight, 4);
         },
         BitmapTooLarge},
        {"sides in limit but too many bytes",
         [](auto& f) {
             Put32(f, BmpWidth, 16000);
             Put32(f, BmpHeight, 16000);
         },
         BitmapTooLarge},
        {"offset inside file header", [](auto& f) { Put32(f, BmpPixelOffset, 10); },
         BitmapBadPixelOffset},
        {"offset inside info header", [](auto& f) { Put32(f, BmpPixelOffset, 53); },
         BitmapBadPixelOffset},
        {"offset inside a larger info header", [](auto& f) { Put32(f, BmpInfoSize, 124); },
         BitmapBadPixelOffset},
        {"info size wraps the offset", [](auto& f) { Put32(f, BmpInfoSize, 0xFFFFFFF8u); },
         BitmapBadPixelOffset},
        {"offset past the end", [](auto& f) { Put32(f, BmpPixelOffset, 0xFFFFFFF0u); },
         BitmapPixelsTruncated},
        {"one pixel byte missing", [](auto& f) { f.pop_back(); }, BitmapPixelsTruncated},
        {"no pixel rows", [](auto& f) { f.resize(54); }, BitmapPixelsTruncated},
        {"height larger than the data", [](auto& f) { Put32(f, BmpHeight, 3); },
         BitmapPixelsTruncated},
    };
    const std::vector<uint8_t> earlier = BmpFile(2, 2, std::vector<uint8_t>(16, 0x42));
    ASSERT_EQ(Load(earlier, surface), BitmapLoaded);
    const Surface before = *surface;
    for (const Malformed& test : cases) {
        SCOPED_TRACE(test.name);
        std::vector<uint8_t> file = BmpFile(3, 2);
        test.spoil(file);
        EXPECT_EQ(Load(file, surface), test.expected);
        EXPECT_EQ(surface->memoryDC, before.memoryDC);
        EXPECT_EQ(surface->dibSection, before.dibSection);
        EXPECT_EQ(surface->pixels, before.pixels);
        EXPECT_EQ(surface->width, 2);
        EXPECT_EQ(surface->height, 2);
        EXPECT_EQ(surface->stride, 8);
        EXPECT_EQ(SurfaceBytes(surface), std::vector<uint8_t>(16, 0x42));
    }
}

// The largest images the limits allow load whole: a side of 16384 pixels, and rows of exactly
// 64 MiB. One more pixel or byte is refused (the table above).
TEST_F(BitmapLoaderTest, ImagesAtTheLimitsLoad) {
    struct AtLimit {
        int32_t width;
        int32_t height;
    };
    // 5461 pixels make 16384-byte rows, 4096 of them 64 MiB; 1365 make 4096-byte rows.
    const AtLimit cases[] = {{16384, 1}, {1, 16384}, {5461, 4096}, {1365, 16384}};
    for (const AtLimit& image : cases) {
        SCOPED_TRACE(::testing::Message() << image.width << " by " << image.height);
        uint32_t stride = BmpStride(image.width);
        uint32_t bytes = stride * uint32_t(image.height);
        std::vector<uint8_t> file;
        {
            std::vector<uint8_t> rows(bytes, 0x5A);
            rows.front() = 0x11;
            rows.back() = 0x22;
            file = BmpFile(image.width, image.height, rows);
        }
        ASSERT_EQ(Load(file, surface), BitmapLoaded);
        ASSERT_EQ(surface->width, image.width);
        ASSERT_EQ(surface->height, image.height);
        ASSERT_EQ(uint32_t(surface->stride), stride);
        EXPECT_EQ(surface->pixels[0], 0x11);
        EXPECT_EQ(surface->pixels[bytes / 2], 0x5A);
        EXPECT_EQ(surface->pixels[bytes - 1], 0x22);
    }
}

TEST_F(BitmapLoaderTest, MissingFileIsUnreadable) {
    FileStream stream("taspo_no_such_file.bmp", "rb");
    ASSERT_FALSE(stream.IsOpen());
    EXPECT_EQ(stream.openError, ENOENT);
    EXPECT_EQ(LoadBitmapFile(&stream, surface), BitmapUnreadable);
    EXPECT_EQ(surface->pixels, nullptr);
}

TEST(BitmapLoaderMemoryTest, FailuresReturnEveryBlockTheyTook) {
    ScopedEngineArena arena(64 * 1024);
    Surface* surface = NewSurface();
    std::vector<uint8_t> truncated = BmpFile(16, 16);
    truncated.resize(truncated.size() - 1);
    EXPECT_EQ(Load(truncated, surface), BitmapPixelsTruncated);
    EXPECT_EQ(BlocksInUse(ActiveArena()), 1);  // the surface record alone

    // 300 x 100 needs 90000 bytes of rows: more than the arena has.
    EXPECT_EQ(Load(BmpFile(300, 100), surface), BitmapOutOfMemory);
    EXPECT_EQ(surface->pixels, nullptr);
    EXPECT_EQ(BlocksInUse(ActiveArena()), 1);

    EXPECT_EQ(Load(BmpFile(16, 16), surface), BitmapLoaded);
    EXPECT_EQ(BlocksInUse(ActiveArena()), 1);  // the temporary block went back
    DestroySurface(surface);
    EXPECT_EQ(BlocksInUse(ActiveArena()), 0);
}

TEST(BitmapLoaderTextTest, EveryCodeHasItsOwnReason) {
    std::set<std::string> texts;
    for (int32_t code = BitmapUnreadable; code <= BitmapNoSurface; ++code) {
        std::string text = BitmapLoadErrorText(code);
        EXPECT_FALSE(text.empty());
        EXPECT_NE(text, BitmapLoadErrorText(-1)) << code;
        EXPECT_TRUE(texts.insert(text).second) << text;
    }
    EXPECT_STREQ(BitmapLoadErrorText(BitmapBadSignature),
                 "not a BMP file (signature is not \"BM\")");
    EXPECT_STREQ(BitmapLoadErrorText(BitmapPixelsTruncated),
                 "pixel data runs past the end of the file");
}

}  // namespace
