#include "support/game/game_harness.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "config/variable_registry.h"
#include "memory/deferred_free_list.h"
#include "projects/taspo/reaction_cycle.h"
#include "render/surface.h"

namespace {

void PutLittleEndian(std::vector<uint8_t>& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

}  // namespace

std::vector<uint8_t> TestButtonBmp(int32_t width, int32_t height, int32_t keyColumns) {
    int32_t stride = SurfaceStride(width);
    uint32_t pixelBytes = static_cast<uint32_t>(stride * height);
    std::vector<uint8_t> file = {'B', 'M'};
    PutLittleEndian(file, 54 + pixelBytes, 4);
    PutLittleEndian(file, 0, 4);
    PutLittleEndian(file, 54, 4);
    for (uint32_t field : {40u, static_cast<uint32_t>(width), static_cast<uint32_t>(height)}) {
        PutLittleEndian(file, field, 4);
    }
    PutLittleEndian(file, 1, 2);
    PutLittleEndian(file, 24, 2);
    for (int i = 0; i < 6; ++i) {
        PutLittleEndian(file, i == 1 ? pixelBytes : 0, 4);
    }
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            PutLittleEndian(file, x < keyColumns ? 0xFF00FF : TestTargetColour, 3);
        }
        file.insert(file.end(), static_cast<size_t>(stride - 3 * width), 0);
    }
    return file;
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
}

ScratchDirectory::~ScratchDirectory() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void ScratchDirectory::Write(const char* name, const std::vector<uint8_t>& bytes) const {
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
