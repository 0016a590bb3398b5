// Which presentations become checkpoints: a change of the watched row or pixel, one a second of
// counter time, and the last one; nothing for a change the program said it does not make.
#include "platform/replay/checkpoint_picker.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using portable::CheckpointPicker;
using portable::ClientPixels;
using portable::HashPixels;

// A 5 by 4 picture as GDI keeps it: rows bottom-up, 15 bytes of pixels and one of padding each.
struct Picture {
    static constexpr int Width = 5;
    static constexpr int Height = 4;
    static constexpr int Stride = 16;
    std::vector<uint8_t> bytes = std::vector<uint8_t>(Stride * Height, 0x80);

    ClientPixels Pixels() const { return ClientPixels{bytes.data(), Width, Height, Stride}; }
    // y counted from the top, as the watched row and pixel are.
    uint8_t* At(int x, int y) { return &bytes[(Height - y - 1) * Stride + 3 * x]; }
};

// Row 1 and pixel (2, 3) are watched. Row 2 is where a picker counting rows from the bottom would
// look instead.
constexpr portable::WatchedPixels Watch = {1, 2, 3};
constexpr int64_t Frequency = 1000;

struct Step {
    const char* what;
    int64_t counter;
    std::function<void(Picture*)> change;
    bool taken;
};

TEST(CheckpointPicker, TakesTheChangesItWatchesOneASecondAndTheLast) {
    const Step steps[] = {
        {"the first picture", 0, [](Picture*) {}, true},
        {"the same again", 10, [](Picture*) {}, false},
        {"the watched row's last byte", 20, [](Picture* p) { p->At(4, 1)[2] = 0x81; }, true},
        {"the watched row's first byte", 25, [](Picture* p) { p->At(0, 1)[0] = 0x81; }, true},
        {"the row below it", 30, [](Picture* p) { p->At(2, 2)[1] = 0x81; }, false},
        {"the watched pixel", 40, [](Picture* p) { p->At(2, 3)[0] = 0x01; }, true},
        {"its neighbour", 50, [](Picture* p) { p->At(3, 3)[0] = 0x01; }, false},
        {"the top row", 60, [](Picture* p) { p->At(2, 0)[0] = 0x01; }, false},
        {"the watched row's padding", 70, [](Picture* p) { p->At(4, 1)[3] = 0x01; }, false},
        {"a tick short of a second since the last checkpoint", 1039, [](Picture*) {}, false},
        {"a second since the last checkpoint", 1040, [](Picture*) {}, true},
        {"the top row again", 1050, [](Picture* p) { p->At(0, 0)[0] = 0x02; }, false},
    };
    CheckpointPicker picker(Watch);
    Picture picture;
    uint32_t present = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change(&picture);
        uint64_t hash = 0;
        EXPECT_EQ(picker.Take(present, picture.Pixels(), step.counter, Frequency, &hash),
                  step.taken);
        EXPECT_EQ(hash, step.taken ? HashPixels(picture.Pixels()) : 0u);
        ++present;
    }
    // The last presentation was no checkpoint: it is taken when the session ends, once.
    uint32_t last = 0;
    uint64_t hash = 0;
    ASSERT_TRUE(picker.TakeLast(picture.Pixels(), &last, &hash));
    EXPECT_EQ(last, present - 1);
    EXPECT_EQ(hash, HashPixels(picture.Pixels()));
    EXPECT_FALSE(picker.TakeLast(picture.Pixels(), &last, &hash));

    // Ending on a checkpoint, or before any presentation, adds none.
    CheckpointPicker ended(Watch);
    EXPECT_FALSE(ended.TakeLast(picture.Pixels(), &last, &hash));
    ASSERT_TRUE(ended.Take(0, picture.Pixels(), 0, Frequency, &hash));
    EXPECT_FALSE(ended.TakeLast(picture.Pixels(), &last, &hash));
}

// The hash covers every pixel and no padding.
TEST(CheckpointPicker, TheHashIsOfThePixelsAlone) {
    Picture picture;
    uint64_t grey = HashPixels(picture.Pixels());
    picture.At(4, 0)[3] = 0x01;
    EXPECT_EQ(HashPixels(picture.Pixels()), grey);
    for (int y = 0; y < Picture::Height; ++y) {
        for (int x = 0; x < Picture::Width; ++x) {
            Picture changed;
            changed.At(x, y)[2] = 0x81;
            EXPECT_NE(HashPixels(changed.Pixels()), grey) << x << ", " << y;
        }
    }
}

}  // namespace
