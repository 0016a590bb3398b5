// A quit request, what SIGINT and SIGTERM become on Linux, during a full-screen game: the loop
// ends at the next frame and teardown puts the desktop's display mode back.
#include <gtest/gtest.h>

#include "projects/taspo/reaction_cycle.h"
#include "support/game/game_harness.h"

namespace {

class QuitRequestTest : public GameTest {
protected:
    QuitRequestTest() { scratch.Write(ConfigFile, std::string("Fullscreen = true\n")); }
};

TEST_F(QuitRequestTest, EndsTheLoopAtTheNextFrameAndTeardownRestoresTheMode) {
    ASSERT_TRUE(Start()) << failure.reason;
    RunUntil([] { return targetShown; });
    ASSERT_EQ(backend.ModeChanges().size(), 2u) << "the test, then the switch";
    size_t presented = backend.PresentCount();

    portable::RequestQuit();
    EXPECT_FALSE(Frame());
    EXPECT_EQ(backend.PresentCount(), presented) << "the quitting frame draws nothing";

    AppShutdown();
    ASSERT_EQ(backend.ModeChanges().size(), 3u);
    EXPECT_FALSE(backend.ModeChanges().back().hasMode) << "the desktop's own mode again";
    EXPECT_FALSE(backend.Window().open);
    EXPECT_EQ(displaySettings, nullptr);
}

// As on Windows, the quit message comes once nothing else is queued: a message already waiting
// takes one frame first, and the request is not lost behind it.
TEST_F(QuitRequestTest, WaitsForAMessageAlreadyQueued) {
    ASSERT_TRUE(Start()) << failure.reason;
    ASSERT_TRUE(Frame());
    ASSERT_TRUE(backend.PostWindowMessage(WM_PAINT));
    portable::RequestQuit();
    EXPECT_TRUE(Frame());
    EXPECT_FALSE(Frame());
}

// A request that came before start-up finished is kept for the first frame.
TEST_F(QuitRequestTest, ARequestDuringStartupEndsTheFirstFrame) {
    portable::RequestQuit();
    ASSERT_TRUE(Start()) << failure.reason;
    EXPECT_FALSE(Frame());
    EXPECT_EQ(backend.PresentCount(), 0u);
    AppShutdown();
    EXPECT_FALSE(backend.ModeChanges().back().hasMode);
}

}  // namespace
