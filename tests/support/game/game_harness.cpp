#include "support/game/game_harness.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "config/variable_registry.h"
#include "memory/deferred_free_list.h"
#include "projects/taspo/reaction_cycle.h"
#include "support/bmp_builder.h"

std::vector<uint8_t> TestButtonBmp(int32_t width, int32_t height, int32_t keyColumns) {
    std::vector<uint8_t> rows(size_t(BmpStride(width)) * uint32_t(height), 0);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            PutPixel(rows, width, x, y, x < keyColumns ? 0xFF00FF : TestTargetColour);
        }
    }
    return BmpFile(width, height, rows);
}

void ExpectEveryObjectReleased() {
    EXPECT_EQ(displaySettings, nullptr);
    EXPECT_EQ(mainWindow, nullptr);
    EXPECT_EQ(frameTimer, nullptr);
    EXPECT_EQ(keyboard, nullptr);
    EXPECT_EQ(backBuffer, nullptr);
    EXPECT_EQ(targetImage, nullptr);
    EXPECT_EQ(targetSprite, nullptr);
    EXPECT_EQ(deferredFreeList, nullptr);
    EXPECT_EQ(portable::LiveGdiObjects(), 0u) << "device contexts or bitmaps left behind";
}

ScratchDirectory::ScratchDirectory() {
    char pattern[] = "/tmp/taspo-test-XXXXXX";
    path_ = mkdtemp(pattern);
    previous_ = std::filesystem::current_path().string();
    std::filesystem::current_path(path_);
    // The user's own settings must not leak into a test: their folder is in here, and empty.
    setenv("XDG_CONFIG_HOME", (path_ + "/config").c_str(), 1);
}

ScratchDirectory::~ScratchDirectory() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void ScratchDirectory::Write(const char* name, const std::vector<uint8_t>& bytes) const {
    std::filesystem::create_directories(std::filesystem::path(path_ + "/" + name).parent_path());
    std::ofstream(path_ + "/" + name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

void ScratchDirectory::Write(const char* name, const std::string& text) const {
    Write(name, std::vector<uint8_t>(text.begin(), text.end()));
}

GameTest::GameTest() {
    backend.SetCounterFrequency(TicksPerSecond);
    backend.SetDesktopMode({1024, 768, 32, 60});
    scratch.Write(TargetImageFile, TestButtonBmp(100, 50, 10));
}

GameTest::~GameTest() {
    AppShutdown();
    // Each test has its own arena; the registry in the last one goes with it.
    ReleaseRegistry();
}

bool GameTest::Start() {
    started = AppStartup(portable::ModuleInstance(), SW_SHOW, &failure);
    return started;
}

bool GameTest::Frame(int64_t ticks) {
    backend.AdvanceTicks(ticks);
    return AppFrame();
}

void GameTest::RunUntil(bool (*phase)(), int limit) {
    for (int i = 0; i < limit && !phase(); ++i) {
        ASSERT_TRUE(Frame());
    }
    ASSERT_TRUE(phase()) << "the phase did not come within " << limit << " frames";
}

uint32_t GameTest::Background() const {
    return backend.LastFrame().Pixel(0, 0);
}

bool GameTest::TargetOnScreen() const {
    return backend.LastFrame().Pixel(targetX + targetWidth / 2, targetY + targetHeight / 2) ==
           TestTargetColour;
}
