// Reaction times read from pictures alone, in the game's own colours: a target opens on the
// first idle frame with the button at the centre and closes on the first hit or miss frame.
#include "platform/portable/replay/session_report.h"

#include <gtest/gtest.h>

#include <vector>

#include "projects/taspo/game_constants.h"

namespace {

// Feeds `report` a 6 by 5 picture of `background`, with `centre` at its middle pixel, at `ms`.
void Show(portable::SessionReport* report, uint32_t background, uint32_t centre, int64_t ms) {
    constexpr int Width = 6, Height = 5, Stride = 20;
    std::vector<uint8_t> bytes(Stride * Height);
    auto put = [&](int x, int y, uint32_t colour) {
        uint8_t* p = &bytes[(Height - y - 1) * Stride + 3 * x];
        p[0] = uint8_t(colour), p[1] = uint8_t(colour >> 8), p[2] = uint8_t(colour >> 16);
    };
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            put(x, y, background);
        }
    }
    put(Width / 2, Height / 2, centre);
    report->Presented(portable::ClientPixels{bytes.data(), Width, Height, Stride}, ms, 1000);
}

TEST(SessionReport, ListsEachTargetThenHitsMissesMedianAndBest) {
    constexpr uint32_t Button = 0x20E040;
    portable::SessionReport report;
    EXPECT_EQ(report.Text(), "0 targets: 0 hits, 0 misses, no reaction times\n");
    Show(&report, ColourIdle, ColourIdle, 500);
    Show(&report, ColourHit, ColourHit, 700);  // feedback with no target open counts for nothing
    Show(&report, ColourIdle, Button, 1500);
    Show(&report, ColourIdle, Button, 1600);
    Show(&report, ColourHit, Button, 1800);
    Show(&report, ColourIdle, ColourIdle, 2000);
    Show(&report, ColourIdle, Button, 3500);
    Show(&report, ColourMiss, ColourMiss, 4500);
    Show(&report, ColourIdle, Button, 5500);
    Show(&report, ColourHit, ColourHit, 5700);
    Show(&report, ColourIdle, Button, 6000);
    Show(&report, ColourHit, ColourHit, 6251);
    Show(&report, ColourIdle, Button, 7000);  // still showing when the session ends
    EXPECT_EQ(report.Text(),
              "target 1: shown at 1.00 s, hit, 300 ms\n"
              "target 2: shown at 3.00 s, miss\n"
              "target 3: shown at 5.00 s, hit, 200 ms\n"
              "target 4: shown at 5.50 s, hit, 251 ms\n"
              "4 targets: 3 hits, 1 miss, median 251 ms, best 200 ms\n");
    ASSERT_EQ(report.Targets().size(), 5u);
    EXPECT_DOUBLE_EQ(report.Targets()[0].reactionMs, 300.0);
}

}  // namespace
