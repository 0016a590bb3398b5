// The headless machine's record of its window: a copy of every presented frame as it was shown,
// and the last one still there after the window has closed and its pixels are gone.
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using portable::ClientPixels;
using portable::HeadlessBackend;

// A 3 by 2 client area: 9 bytes of pixels and 3 of padding a row, every byte `shade`.
struct Client {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(24);
    ClientPixels Pixels() const { return ClientPixels{bytes.data(), 3, 2, 12}; }
    void Paint(uint8_t shade) { std::fill(bytes.begin(), bytes.end(), shade); }
};

void ExpectFrame(const HeadlessBackend::Frame& frame, uint8_t shade) {
    EXPECT_EQ(frame.width, 3);
    EXPECT_EQ(frame.height, 2);
    EXPECT_EQ(frame.stride, 12);
    EXPECT_EQ(frame.bytes, std::vector<uint8_t>(24, shade));
}

TEST(HeadlessBackend, RecordsEveryPresentedFrameAndKeepsTheLastAfterTheWindowCloses) {
    for (bool record : {true, false}) {
        SCOPED_TRACE(record ? "recording frames" : "counting frames");
        HeadlessBackend backend;
        backend.SetRecordFrames(record);
        auto client = std::make_unique<Client>();
        ASSERT_TRUE(backend.OpenWindow(reinterpret_cast<HWND>(client.get()), "Taspo", 0, 0, 3, 2));
        const uint8_t shades[] = {0x10, 0x20, 0x30};
        for (uint8_t shade : shades) {
            client->Paint(shade);
            backend.Present(client->Pixels());
            ExpectFrame(backend.LastFrame(), shade);
        }
        EXPECT_EQ(backend.PresentCount(), 3u);
        ASSERT_EQ(backend.Frames().size(), record ? 3u : 0u);
        for (size_t i = 0; i < backend.Frames().size(); ++i) {
            ExpectFrame(backend.Frames()[i], shades[i]);
        }

        // The window takes its pixels with it; the last frame shown stays.
        backend.CloseWindow();
        client.reset();
        EXPECT_FALSE(backend.Window().open);
        ExpectFrame(backend.LastFrame(), 0x30);
        ASSERT_EQ(backend.Frames().size(), record ? 3u : 0u);

        // A window that closes without showing anything leaves it as it was.
        Client other;
        other.Paint(0x40);
        ASSERT_TRUE(backend.OpenWindow(reinterpret_cast<HWND>(&other), "Taspo", 0, 0, 3, 2));
        backend.CloseWindow();
        ExpectFrame(backend.LastFrame(), 0x30);
        EXPECT_EQ(backend.PresentCount(), 3u);
    }
}

}  // namespace
