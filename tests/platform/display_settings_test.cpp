// Display settings on the headless machine: what is read from the registry, and exactly which
// display-mode changes are asked for at construction and at destruction.
#include "platform/display_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/config_file.h"
#include "config/hash_name.h"
#include "config/variable_registry.h"
#include "support/arena_block_print.h"
#include "support/headless_test.h"
#include "support/scoped_engine_arena.h"

namespace {

using ModeChange = portable::HeadlessBackend::ModeChange;

class DisplaySettingsTest : public HeadlessTest {
protected:
    DisplaySettingsTest() { ReleaseRegistry(); }
    ~DisplaySettingsTest() override { ReleaseRegistry(); }

    DisplaySettings* Create() {
        auto* settings = static_cast<DisplaySettings*>(EngineAlloc(sizeof(DisplaySettings)));
        EXPECT_NE(settings, nullptr);
        InitDisplaySettings(settings);
        return settings;
    }

    static void SetInt(const char* name, int32_t value) {
        ASSERT_TRUE(StoreInt(0, HashName(name), value));
    }
    static void SetBool(const char* name, bool value) {
        ASSERT_TRUE(StoreBool(0, HashName(name), value));
    }

    const std::vector<ModeChange>& Changes() const { return backend.ModeChanges(); }

    ScopedEngineArena arena;
};

void ExpectRestore(const ModeChange& change) {
    EXPECT_FALSE(change.hasMode);
}

// A full-screen request as the backend sees it, with 0 for a property that keeps the desktop's.
void ExpectMode(const ModeChange& change, portable::DisplayMode mode, bool testOnly) {
    ASSERT_TRUE(change.hasMode);
    EXPECT_EQ(change.request.mode.width, mode.width);
    EXPECT_EQ(change.request.mode.height, mode.height);
    EXPECT_EQ(change.request.mode.bitsPerPixel, mode.bitsPerPixel);
    EXPECT_EQ(change.request.mode.refreshRate, mode.refreshRate);
    EXPECT_EQ(change.request.testOnly, testOnly);
    EXPECT_TRUE(change.request.fullscreen);
}

TEST_F(DisplaySettingsTest, EmptyRegistryMeansWindowedWithOneReturnToTheRegistryMode) {
    backend.SetDesktopMode({1280, 1024, 32, 75});
    DisplaySettings* settings = Create();
    EXPECT_EQ(settings->displayWidth, 0u);
    EXPECT_EQ(settings->displayHeight, 0u);
    EXPECT_EQ(settings->desktopWidth, 1280);
    EXPECT_EQ(settings->desktopHeight, 1024);
    EXPECT_EQ(settings->aspectRatio, 0.0f) << "no height, no ratio; never a NaN or infinity";
    EXPECT_FALSE(settings->fullscreen);
    EXPECT_EQ(settings->entries.data, nullptr);
    EXPECT_EQ(settings->entries.count, 0u);
    EXPECT_EQ(settings->entries.capacity, 0u);
    EXPECT_EQ(settings->entries.minCapacity, 0u);
    EXPECT_EQ(settings->entries.releaseOnClear, 1);
    EXPECT_EQ(settings->entries.arena, nullptr);
    ASSERT_EQ(Changes().size(), 1u);
    ExpectRestore(Changes()[0]);
    EXPECT_NE(GetRegistry(), nullptr) << "the first read creates the registry";

    DestroyDisplaySettings(settings);
    EXPECT_EQ(Changes().size(), 1u) << "windowed: destruction changes nothing";
}

TEST_F(DisplaySettingsTest, DepthAndRateAreNotReadWhenWindowed) {
    SetInt("DisplayDepth", 16);
    SetInt("DisplayRate", 85);
    SetInt("DisplayWidth", 800);
    DisplaySettings* settings = Create();
    ASSERT_EQ(Changes().size(), 1u);
    ExpectRestore(Changes()[0]);
    EXPECT_EQ(settings->displayWidth, 800u);
    DestroyDisplaySettings(settings);
}

TEST_F(DisplaySettingsTest, FullscreenAloneAsksFor32BitsAt60HertzKeepingTheSize) {
    SetBool("Fullscreen", true);
    DisplaySettings* settings = Create();
    EXPECT_TRUE(settings->fullscreen);
    ASSERT_EQ(Changes().size(), 2u);
    ExpectMode(Changes()[0], {0, 0, 32, 60}, true);
    ExpectMode(Changes()[1], {0, 0, 32, 60}, false);

    DestroyDisplaySettings(settings);
    ASSERT_EQ(Changes().size(), 3u);
    ExpectRestore(Changes()[2]);
}

TEST_F(DisplaySettingsTest, FullSizeModeSetsAllFourFields) {
    SetBool("Fullscreen", true);
    SetInt("DisplayWidth", 640);
    SetInt("DisplayHeight", 480);
    SetInt("DisplayDepth", 16);
    DisplaySettings* settings = Create();
    EXPECT_EQ(settings->displayWidth, 640u);
    EXPECT_EQ(settings->displayHeight, 480u);
    EXPECT_FLOAT_EQ(settings->aspectRatio, 640.0f / 480.0f);
    ASSERT_EQ(Changes().size(), 2u);
    ExpectMode(Changes()[0], {640, 480, 16, 60}, true);
    ExpectMode(Changes()[1], {640, 480, 16, 60}, false);
    DestroyDisplaySettings(settings);
}

TEST_F(DisplaySettingsTest, ZeroOrNegativeValuesAreLeftOutSoTheDesktopsStay) {
    SetBool("Fullscreen", true);
    SetInt("DisplayWidth", 1024);
    SetInt("DisplayHeight", -768);
    SetInt("DisplayDepth", 0);
    SetInt("DisplayRate", -1);
    DisplaySettings* settings = Create();
    ASSERT_EQ(Changes().size(), 2u);
    ExpectMode(Changes()[0], {1024, 0, 0, 0}, true);
    DestroyDisplaySettings(settings);
}

TEST_F(DisplaySettingsTest, NegativeDepthLeavesOnlyItsBitOut) {
    SetBool("Fullscreen", true);
    SetInt("DisplayDepth", -8);
    DisplaySettings* settings = Create();
    ASSERT_EQ(Changes().size(), 2u);
    ExpectMode(Changes()[0], {0, 0, 0, 60}, true);
    DestroyDisplaySettings(settings);
}

TEST_F(DisplaySettingsTest, ARejectedTestSetsNothingButDestructionStillRestores) {
    backend.SetModeSupported(false);
    SetBool("Fullscreen", true);
    SetInt("DisplayWidth", 333);
    SetInt("DisplayHeight", 222);
    DisplaySettings* settings = Create();
    ASSERT_EQ(Changes().size(), 1u);
    ExpectMode(Changes()[0], {333, 222, 32, 60}, true);
    DestroyDisplaySettings(settings);
    ASSERT_EQ(Changes().size(), 2u);
    ExpectRestore(Changes()[1]);
}

TEST_F(DisplaySettingsTest, WronglyTypedKeysReadAsTheirDefaults) {
    SetInt("Fullscreen", 1);
    SetBool("DisplayWidth", true);
    SetInt("DisplayHeight", 600);
    DisplaySettings* settings = Create();
    EXPECT_FALSE(settings->fullscreen);
    EXPECT_EQ(settings->displayWidth, 0u);
    EXPECT_EQ(settings->aspectRatio, 0.0f);
    ASSERT_EQ(Changes().size(), 1u);
    ExpectRestore(Changes()[0]);
    DestroyDisplaySettings(settings);
    EXPECT_EQ(Changes().size(), 1u);
}

TEST_F(DisplaySettingsTest, AnUnknownDesktopIsZeroByZero) {
    backend.SetDesktopAvailable(false);
    DisplaySettings* settings = Create();
    EXPECT_EQ(settings->desktopWidth, 0);
    EXPECT_EQ(settings->desktopHeight, 0);
    DestroyDisplaySettings(settings);
}

TEST_F(DisplaySettingsTest, AspectRatioDividesUnsignedValues) {
    SetInt("DisplayWidth", -1);  // 0xFFFFFFFF as the unsigned width
    SetInt("DisplayHeight", 2);
    DisplaySettings* settings = Create();
    EXPECT_EQ(settings->displayWidth, 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(settings->aspectRatio, 2147483647.5f);
    DestroyDisplaySettings(settings);
}

// A machine whose desktop query and mode changes are logged in one sequence.
class OrderedBackend : public portable::HeadlessBackend {
public:
    bool DesktopMode(portable::DisplayMode* mode) override {
        events.push_back("desktop");
        return HeadlessBackend::DesktopMode(mode);
    }
    bool ChangeMode(const portable::ModeRequest& request) override {
        events.push_back(request.testOnly ? "test" : "set");
        return HeadlessBackend::ChangeMode(request);
    }
    std::vector<std::string> events;
};

TEST_F(DisplaySettingsTest, TheDesktopIsReadBeforeTheModeChanges) {
    OrderedBackend ordered;
    portable::ScopedBackend installed{&ordered};
    SetBool("Fullscreen", true);
    DisplaySettings* settings = Create();
    std::vector<std::string> expected = {"desktop", "test", "set"};
    EXPECT_EQ(ordered.events, expected);
    DestroyDisplaySettings(settings);
}

TEST_F(DisplaySettingsTest, DestructionGivesBackTheEntriesAndTheRecord) {
    ASSERT_NE(GetRegistry(), nullptr);
    std::vector<ArenaBlockView> before = ArenaBlocks(ActiveArena());
    DisplaySettings* settings = Create();
    ASSERT_TRUE(settings->entries.Append(7));
    ASSERT_TRUE(settings->entries.Append(8));
    DestroyDisplaySettings(settings);
    EXPECT_EQ(ArenaBlocks(ActiveArena()), before);
}

// Every setting of the text is one the display's schema knows.
TEST_F(DisplaySettingsTest, AConfigurationTextReachesTheDisplay) {
    std::string text =
        "Fullscreen = true\nDisplayWidth = 800\nDisplayHeight = 600\nWindowScale = 3\n";
    ASSERT_EQ(LoadConfigText("taspo.cfg", text.data(), static_cast<uint32_t>(text.size()), nullptr,
                             nullptr, &DisplayConfigSchema),
              0u);
    DisplaySettings* settings = Create();
    ASSERT_EQ(Changes().size(), 2u);
    ExpectMode(Changes()[1], {800, 600, 32, 60}, false);
    EXPECT_EQ(backend.WindowScale(), 3);
    DestroyDisplaySettings(settings);
}

// Automatic (0) is the largest whole scale whose window is at most half the desktop each way. The
// largest scale is 16, set or automatic: 17 is shown at 16.
TEST_F(DisplaySettingsTest, WindowScaleIsTheSettingOrTheLargestWithinHalfTheDesktop) {
    struct Case {
        int32_t setting, desktopWidth, desktopHeight, scale;
    } cases[] = {
        {0, 1920, 1080, 1},    {0, 3840, 2160, 2}, {0, 2048, 1792, 2},    {0, 2047, 1792, 1},
        {0, 2048, 1791, 1},    {0, 640, 480, 1},   {0, 0, 0, 1},          {0, 7680, 4320, 4},
        {3, 1920, 1080, 3},    {1, 3840, 2160, 1}, {-2, 3840, 2160, 1},   {16, 640, 480, 16},
        {17, 640, 480, 16},    {99, 640, 480, 16}, {0, 16384, 14336, 16}, {0, 16383, 14336, 15},
        {0, 17408, 15232, 16},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolveWindowScale(c.setting, c.desktopWidth, c.desktopHeight), c.scale)
            << c.setting << " on " << c.desktopWidth << "x" << c.desktopHeight;
    }
    // The default, on the desktop the settings read, is what the window is shown at.
    backend.SetDesktopMode({3840, 2160, 32, 60});
    DisplaySettings* settings = Create();
    EXPECT_EQ(settings->windowScale, 2);
    EXPECT_EQ(backend.WindowScale(), 2);
    DestroyDisplaySettings(settings);
}

}  // namespace
