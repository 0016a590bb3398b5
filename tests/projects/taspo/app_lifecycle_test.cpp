// Start-up, teardown and the whole program's run: the objects and their order, the centred
// target, the configuration file, and every way start-up can fail with one line and exit 1.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "config/variable_registry.h"
#include "memory/deferred_free_list.h"
#include "projects/taspo/reaction_cycle.h"
#include "support/game/game_harness.h"

namespace {

using AppLifecycleTest = GameTest;

TEST_F(AppLifecycleTest, StartupBuildsEveryObjectAndTeardownReleasesThemAll) {
    ASSERT_TRUE(Start()) << failure.reason;
    EXPECT_NE(displaySettings, nullptr);
    EXPECT_EQ(displaySettings->desktopWidth, 1024);
    EXPECT_TRUE(mainWindow->created);
    EXPECT_TRUE(backend.Window().visible);
    EXPECT_EQ(backend.Window().x, 256) << "centred on the desktop the settings read";
    EXPECT_EQ(backBuffer->width, 512);
    EXPECT_EQ(backBuffer->height, 448);
    EXPECT_EQ(targetImage->width, 100);
    EXPECT_EQ(targetSprite->surface, targetImage);
    EXPECT_EQ(targetSprite->colourKey, 0xFF00FFu);
    EXPECT_EQ(phaseDuration, 1.0f);
    EXPECT_EQ(deferredFreeList, nullptr) << "the first frame makes it";
    ASSERT_TRUE(Frame());
    EXPECT_NE(deferredFreeList, nullptr);

    AppShutdown();
    ExpectEveryObjectReleased();
    EXPECT_FALSE(backend.Window().open);
    ASSERT_EQ(backend.ModeChanges().size(), 1u) << "windowed: one return to the desktop mode";
    // Only the registry, which lives until the region goes, is left in the arena.
    EXPECT_EQ(BlocksInUse(ActiveArena()), 2u) << "the registry record and its name's buffer";
}

TEST_F(AppLifecycleTest, TargetIsCentredWithTheRemainderDropped) {
    scratch.Write(TargetImageFile, TestButtonBmp(101, 49, 0));
    ASSERT_TRUE(Start()) << failure.reason;
    EXPECT_EQ(targetX, 205);
    EXPECT_EQ(targetY, 199);
}

TEST_F(AppLifecycleTest, ImageWiderThanTheScreenLandsAtMinusOneAndIsClipped) {
    scratch.Write(TargetImageFile, TestButtonBmp(515, 10, 0));
    ASSERT_TRUE(Start()) << failure.reason;
    EXPECT_EQ(targetX, -1) << "truncated toward zero, not -2";
    RunUntil([] { return targetShown; });
    EXPECT_EQ(backend.LastFrame().Pixel(0, targetY), TestTargetColour);
    EXPECT_EQ(backend.LastFrame().Pixel(511, targetY), TestTargetColour);
}

TEST_F(AppLifecycleTest, MissingOrBadImageStopsStartupWithItsReason) {
    struct Case {
        std::vector<uint8_t> file;
        const char* reason;
    };
    std::vector<uint8_t> wrongSignature = TestButtonBmp(4, 4, 0);
    wrongSignature[0] = 'X';
    std::vector<uint8_t> truncated = TestButtonBmp(40, 40, 0);
    truncated.resize(truncated.size() - 7);
    const Case cases[] = {
        {wrongSignature, "button.bmp: not a BMP file (signature is not \"BM\")"},
        {truncated, "button.bmp: pixel data runs past the end of the file"},
        {{}, "button.bmp: file is too short"},
    };
    for (const Case& c : cases) {
        scratch.Write(TargetImageFile, c.file);
        EXPECT_FALSE(Start());
        EXPECT_STREQ(failure.reason, c.reason);
        EXPECT_NE(targetImage, nullptr) << "built objects stay for teardown";
        EXPECT_EQ(targetSprite, nullptr);
        AppShutdown();
        ExpectEveryObjectReleased();
    }
}

TEST_F(AppLifecycleTest, MissingOrUnreadableImageIsNamedWithTheReason) {
    std::remove(TargetImageFile);
    EXPECT_FALSE(Start());
    EXPECT_STREQ(failure.reason, "button.bmp: not found in the working directory");
    AppShutdown();
    mkdir(TargetImageFile, 0755);
    EXPECT_FALSE(Start());
    EXPECT_STREQ(failure.reason, "button.bmp: cannot read it (Is a directory)");
}

TEST_F(AppLifecycleTest, ConfigurationFileSwitchesToFullScreenAndBackAtTeardown) {
    scratch.Write(ConfigFile, std::string("Fullscreen = true\r\nDisplayWidth = 640\r\n"
                                          "DisplayHeight = 480\r\nDisplayDepth = 16\r\n"));
    ASSERT_TRUE(Start()) << failure.reason;
    EXPECT_TRUE(displaySettings->fullscreen);
    ASSERT_EQ(backend.ModeChanges().size(), 2u);
    EXPECT_TRUE(backend.ModeChanges()[0].request.testOnly);
    const portable::ModeRequest& set = backend.ModeChanges()[1].request;
    EXPECT_FALSE(set.testOnly);
    EXPECT_TRUE(set.fullscreen);
    EXPECT_EQ(set.mode.width, 640);
    EXPECT_EQ(set.mode.height, 480);
    EXPECT_EQ(set.mode.bitsPerPixel, 16);
    EXPECT_EQ(set.mode.refreshRate, 60);
    EXPECT_FALSE(backend.ModeChanges()[1].windowOpen) << "the mode is set before the window opens";
    AppShutdown();
    ASSERT_EQ(backend.ModeChanges().size(), 3u);
    EXPECT_FALSE(backend.ModeChanges()[2].hasMode);
    EXPECT_TRUE(backend.ModeChanges()[2].windowOpen) << "the desktop mode comes back first";
    EXPECT_FALSE(backend.Window().open);
    ExpectEveryObjectReleased();
}

TEST_F(AppLifecycleTest, MalformedConfigurationLineIsReportedAndTheRestStillApplies) {
    scratch.Write(ConfigFile,
                  std::string("DisplayWidth 640\nFullscreen = true\nDisplayRate = true\n"
                              "[Video]\nDisplayHeight = 480\n"));
    testing::internal::CaptureStderr();
    bool ok = Start();
    std::string printed = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(ok) << failure.reason;
    EXPECT_EQ(printed,
              "taspo: taspo.cfg:1: expected \"=\" after \"DisplayWidth\"\n"
              "taspo: taspo.cfg:3: DisplayRate expects a whole number\n"
              "taspo: taspo.cfg:5: \"DisplayHeight\" under \"[Video]\" is never read; settings go "
              "before any named [Context]\n");
    EXPECT_TRUE(displaySettings->fullscreen);
    EXPECT_EQ(displaySettings->displayWidth, 0u);
}

TEST_F(AppLifecycleTest, UnreadableConfigurationFileStopsStartupBeforeAnyObject) {
    mkdir(ConfigFile, 0755);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Start());
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the reason is the caller's to print";
    EXPECT_STREQ(failure.reason, "taspo.cfg: cannot read the file (Is a directory)");
    ExpectEveryObjectReleased();
    EXPECT_TRUE(backend.ModeChanges().empty());
}

// The whole program, arena included, on the headless machine.
class RunTaspoTest : public HeadlessTest {
protected:
    ~RunTaspoTest() override {
        engineHeapActive = false;  // the program leaves it set; the next test starts clean
    }

    int Run(uint32_t arenaSize = EngineArenaSize) {
        testing::internal::CaptureStderr();
        int exitCode = RunTaspo(portable::ModuleInstance(), SW_SHOW, nullptr, arenaSize);
        printed = testing::internal::GetCapturedStderr();
        EXPECT_EQ(ActiveArena()->first, nullptr);
        EXPECT_EQ(ActiveArena()->totalSize, 0u);
        ExpectEveryObjectReleased();
        return exitCode;
    }

    ScratchDirectory scratch;
    std::string printed;
};

TEST_F(RunTaspoTest, EscapeEndsARunWithExitCodeZeroAndTheRegionReturned) {
    scratch.Write(TargetImageFile, TestButtonBmp(8, 8, 0));
    backend.SetKeyDown(VK_ESCAPE, true);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(backend.PresentCount(), 0u) << "the frame that saw Escape was not presented";
    EXPECT_TRUE(engineHeapActive);
}

// The report comes after teardown: the display is back in its own mode and the window is gone,
// and the quit message that destroying the window posted does not close the box at once.
TEST_F(RunTaspoTest, FailedStartPrintsOneLineAndExitsWithOne) {
    scratch.Write(ConfigFile, std::string("Fullscreen = true\n"));
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(printed, "taspo: button.bmp: not found in the working directory\n");
    EXPECT_EQ(backend.PresentCount(), 0u) << "the frame loop never ran";
    ASSERT_EQ(backend.MessageBoxes().size(), 1u) << "shown, not closed by a pending quit";
    const portable::HeadlessBackend::MessageBoxShown& box = backend.MessageBoxes()[0];
    EXPECT_EQ(box.text, "button.bmp: not found in the working directory");
    EXPECT_EQ(box.caption, "Taspo");
    EXPECT_FALSE(box.windowOpen);
    EXPECT_EQ(box.modeChangesBefore, 3u) << "the test, the switch and the return to the desktop";
}

TEST_F(RunTaspoTest, UnreadableConfigurationFileIsOneLineAndExitCodeOne) {
    scratch.Write(TargetImageFile, TestButtonBmp(8, 8, 0));
    mkdir(ConfigFile, 0755);
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(printed, "taspo: taspo.cfg: cannot read the file (Is a directory)\n");
}

TEST_F(RunTaspoTest, ArenaTooSmallForStartupIsOutOfMemory) {
    scratch.Write(TargetImageFile, TestButtonBmp(8, 8, 0));
    EXPECT_EQ(Run(600), 1);
    EXPECT_EQ(printed.rfind("taspo: out of engine memory while creating ", 0), 0u) << printed;
    EXPECT_EQ(printed.find('\n'), printed.size() - 1) << "one line";
}

TEST_F(RunTaspoTest, RegionTheHeapCannotGiveIsReported) {
    EXPECT_EQ(Run(0), 1);
    EXPECT_EQ(printed, "taspo: the standard heap refused the 0-byte memory arena\n");
}

}  // namespace
