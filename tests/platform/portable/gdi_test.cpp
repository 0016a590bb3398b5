// Our layer's GDI: DIB sections in memory contexts, what SelectObject hands back, which deletions
// it refuses, the live-object count, and BitBlt clipped to both bitmaps.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/portable/backend.h"
#include "platform/portable/win32_api.h"

namespace {

// A memory context with a 24-bit DIB section of its own selected into it.
struct MemoryBitmap {
    HDC context = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ original = nullptr;  // the context's first bitmap, put back before deletion
    uint8_t* bits = nullptr;
    int stride = 0;

    MemoryBitmap(int width, int height) {
        BITMAPINFO info;
        std::memset(&info, 0, sizeof(info));
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        context = CreateCompatibleDC(nullptr);
        void* memory = nullptr;
        bitmap = CreateDIBSection(context, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
        bits = static_cast<uint8_t*>(memory);
        stride = (3 * width + 3) & ~3;
        original = SelectObject(context, bitmap);
    }
    ~MemoryBitmap() {
        SelectObject(context, original);
        DeleteObject(bitmap);
        DeleteDC(context);
    }
    MemoryBitmap(const MemoryBitmap&) = delete;
    MemoryBitmap& operator=(const MemoryBitmap&) = delete;

    // The first byte of pixel (x, y), y from the top, in a bitmap `height` rows high.
    uint8_t* Pixel(int x, int y, int height) const {
        return bits + (height - y - 1) * stride + 3 * x;
    }
};

TEST(Gdi, SelectingHandsBackThePreviousBitmapAndASelectedBitmapCannotBeDeleted) {
    size_t before = portable::LiveGdiObjects();
    {
        MemoryBitmap memory(4, 2);
        ASSERT_NE(memory.bits, nullptr);
        EXPECT_NE(memory.original, nullptr) << "a new context holds a default bitmap";
        EXPECT_EQ(portable::LiveGdiObjects(), before + 2);
        EXPECT_FALSE(DeleteObject(memory.bitmap)) << "still selected";
        EXPECT_EQ(SelectObject(memory.context, memory.original), memory.bitmap);
        EXPECT_EQ(SelectObject(memory.context, memory.bitmap), memory.original);
        HDC other = CreateCompatibleDC(nullptr);
        EXPECT_EQ(SelectObject(memory.context, other), nullptr) << "only bitmaps go in";
        DeleteDC(other);
        void* stale = memory.bits;
        EXPECT_EQ(CreateDIBSection(memory.context, nullptr, DIB_RGB_COLORS, &stale, nullptr, 0),
                  nullptr);
        EXPECT_EQ(stale, nullptr) << "a failed section leaves no pointer to use";
    }
    EXPECT_EQ(portable::LiveGdiObjects(), before) << "the context and the section are gone";
}

// Every rectangle is cut to what lies inside both bitmaps: a negative origin on either side
// moves both origins and shortens the copy.
TEST(Gdi, BitBltCopiesOnlyWhatLiesInsideBothBitmaps) {
    struct Case {
        int x, y, sourceX, sourceY;
    };
    for (Case c : {Case{0, 0, -2, 0}, Case{-2, 0, 0, 0}, Case{1, 0, 0, -1}, Case{0, -1, 1, 0}}) {
        SCOPED_TRACE(testing::Message()
                     << c.x << "," << c.y << " from " << c.sourceX << "," << c.sourceY);
        MemoryBitmap from(4, 3);
        MemoryBitmap to(4, 3);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                std::memset(from.Pixel(x, y, 3), 16 * y + x + 1, 3);
                std::memset(to.Pixel(x, y, 3), 0xEE, 3);
            }
        }
        EXPECT_TRUE(
            BitBlt(to.context, c.x, c.y, 4, 3, from.context, c.sourceX, c.sourceY, SRCCOPY));
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                int fromX = x - c.x + c.sourceX;
                int fromY = y - c.y + c.sourceY;
                bool copied =
                    x >= c.x && y >= c.y && fromX >= 0 && fromY >= 0 && fromX < 4 && fromY < 3;
                uint8_t expected = copied ? static_cast<uint8_t>(16 * fromY + fromX + 1) : 0xEE;
                EXPECT_EQ(*to.Pixel(x, y, 3), expected) << x << "," << y;
            }
        }
    }
}

}  // namespace
