// The keyboard on a headless machine: levels and edges across updates, skipped updates, the
// polling itself, codes outside the tables, and use through the InputDevice interface.
#include "input/keyboard.h"

#include <climits>
#include <cstring>
#include <new>
#include <type_traits>
#include <vector>

#include "support/arena_block_print.h"
#include "support/headless_test.h"
#include "support/scoped_engine_arena.h"

namespace {

static_assert(!std::is_destructible<InputDevice>::value,
              "a device is released with EngineFree, never deleted through the interface");

constexpr int32_t Space = 0x20;
constexpr int32_t Escape = 0x1B;
constexpr int32_t KeyA = 0x41;

class KeyboardTest : public HeadlessTest {
protected:
    void SetUp() override {
        void* memory = EngineAlloc(sizeof(Keyboard));
        ASSERT_NE(memory, nullptr);
        std::memset(memory, 0xA5, sizeof(Keyboard));  // construction must clear what it finds
        keyboard = new (memory) Keyboard();
    }
    void TearDown() override { EngineFree(keyboard); }

    ScopedEngineArena arena{64 * 1024};
    Keyboard* keyboard = nullptr;
};

// The machine knows Shift, Control and Alt by side, and they are down while either side is: the
// left side's code for one of them (the right's is the next), 0 for any other key.
int32_t LeftSideOf(int32_t key) {
    switch (key) {
        case VK_SHIFT:
            return VK_LSHIFT;
        case VK_CONTROL:
            return VK_LCONTROL;
        case VK_MENU:
            return VK_LMENU;
        default:
            return 0;
    }
}

// Remembers the order in which keys are read.
class RecordingBackend : public portable::HeadlessBackend {
public:
    bool IsKeyDown(int virtualKey) override {
        reads.push_back(virtualKey);
        return HeadlessBackend::IsKeyDown(virtualKey);
    }
    std::vector<int> reads;
};

TEST_F(KeyboardTest, BeforeTheFirstUpdateEveryKeyIsUp) {
    backend.SetKeyDown(Space, true);  // not seen until polled
    for (int32_t key = 0; key < 256; ++key) {
        EXPECT_TRUE(keyboard->IsUp(key)) << key;
        EXPECT_FALSE(keyboard->IsDown(key)) << key;
        EXPECT_FALSE(keyboard->IsPressed(key)) << key;
        EXPECT_FALSE(keyboard->IsReleased(key)) << key;
    }
    EXPECT_EQ(backend.KeyReads(), 0u);
}

TEST_F(KeyboardTest, AHeldKeyIsPressedOnlyAtTheFirstUpdateThatSeesIt) {
    keyboard->Update(0.0f);
    backend.SetKeyDown(Space, true);
    for (int frame = 0; frame < 4; ++frame) {
        keyboard->Update(0.0f);
        EXPECT_TRUE(keyboard->IsDown(Space));
        EXPECT_EQ(keyboard->IsPressed(Space), frame == 0) << frame;
        EXPECT_FALSE(keyboard->IsReleased(Space));
        EXPECT_FALSE(keyboard->IsDown(Escape));
    }
    backend.SetKeyDown(Space, false);
    keyboard->Update(0.0f);
    EXPECT_TRUE(keyboard->IsUp(Space));
    EXPECT_TRUE(keyboard->IsReleased(Space));
    keyboard->Update(0.0f);
    EXPECT_FALSE(keyboard->IsReleased(Space));
}

TEST_F(KeyboardTest, AfterSkippedUpdatesTheLastSnapshotIsCompared) {
    backend.SetKeyDown(Escape, true);
    keyboard->Update(0.0f);
    keyboard->Update(0.0f);
    ASSERT_FALSE(keyboard->IsPressed(Escape));

    // No updates while these happen, as while the window has no focus; a press let go between
    // updates is never seen.
    backend.SetKeyDown(KeyA, true);
    backend.SetKeyDown(Escape, false);
    backend.SetKeyDown(Space, true);
    backend.SetKeyDown(Space, false);
    keyboard->Update(0.0f);
    EXPECT_TRUE(keyboard->IsPressed(KeyA));
    EXPECT_TRUE(keyboard->IsReleased(Escape));
    EXPECT_FALSE(keyboard->IsDown(Space));
    EXPECT_FALSE(keyboard->IsPressed(Space));
    EXPECT_FALSE(keyboard->IsReleased(Space));
}

// Every code from 0 to 255, the first and the last included.
TEST_F(KeyboardTest, LevelsAndEdgesStayConsistentForEveryKey) {
    auto scripted = [](int32_t key, int frame) { return (key * 7 + frame * 3) % 5 < 2; };
    auto down = [&](int32_t key, int frame) {
        int32_t left = LeftSideOf(key);
        return left != 0 ? scripted(left, frame) || scripted(left + 1, frame)
                         : scripted(key, frame);
    };
    for (int frame = 0; frame < 6; ++frame) {
        for (int32_t key = 0; key < 256; ++key) {
            backend.SetKeyDown(key, scripted(key, frame));
        }
        keyboard->Update(0.0f);
        for (int32_t key = 0; key < 256; ++key) {
            bool wasDown = frame > 0 && down(key, frame - 1);
            EXPECT_EQ(keyboard->IsDown(key), down(key, frame)) << key;
            EXPECT_EQ(keyboard->IsUp(key), !keyboard->IsDown(key)) << key;
            EXPECT_FALSE(keyboard->IsPressed(key) && keyboard->IsReleased(key)) << key;
            EXPECT_EQ(keyboard->IsPressed(key), down(key, frame) && !wasDown) << key;
            EXPECT_EQ(keyboard->IsReleased(key), !down(key, frame) && wasDown) << key;
        }
    }
}

TEST_F(KeyboardTest, AnUpdateReadsEveryKeyOnceInAscendingOrderAndAllocatesNothing) {
    auto layout = ArenaBlocks(ActiveArena());
    backend.SetKeyDown(Space, true);
    std::vector<int> expected;  // a side-neutral modifier as its two sides
    for (int32_t key = 0; key < 256; ++key) {
        int32_t left = LeftSideOf(key);
        if (left != 0) {
            expected.insert(expected.end(), {left, left + 1});
        } else {
            expected.push_back(key);
        }
    }
    for (int frame = 0; frame < 3; ++frame) {
        size_t reads = backend.KeyReads();
        keyboard->Update(0.016f);
        EXPECT_EQ(backend.KeyReads(), reads + expected.size());
    }
    EXPECT_EQ(ArenaBlocks(ActiveArena()), layout);
    size_t reads = backend.KeyReads();
    keyboard->IsDown(Space);
    keyboard->IsPressed(Escape);
    EXPECT_EQ(backend.KeyReads(), reads);  // queries never poll

    RecordingBackend recording;
    portable::ScopedBackend installed(&recording);
    keyboard->Update(0.016f);
    EXPECT_EQ(recording.reads, expected);
}

TEST_F(KeyboardTest, CodesOutsideTheTablesAnswerUp) {
    // Every key down at both snapshots, so a read just past either table would answer "down".
    for (int32_t key = 0; key < 256; ++key) {
        backend.SetKeyDown(key, true);
    }
    keyboard->Update(0.0f);
    keyboard->Update(0.0f);
    for (int32_t key : {-1, 256, 257, 511, 1000, INT_MIN, INT_MAX}) {
        EXPECT_FALSE(keyboard->IsDown(key)) << key;
        EXPECT_TRUE(keyboard->IsUp(key)) << key;
        EXPECT_FALSE(keyboard->IsPressed(key)) << key;
        EXPECT_FALSE(keyboard->IsReleased(key)) << key;
    }
    EXPECT_TRUE(keyboard->IsDown(255));
}

TEST_F(KeyboardTest, WorksThroughTheInputDeviceInterface) {
    InputDevice* device = keyboard;
    backend.SetKeyDown(Space, true);
    device->Update(0.5f);
    EXPECT_TRUE(device->IsDown(Space));
    EXPECT_FALSE(device->IsUp(Space));
    EXPECT_TRUE(device->IsPressed(Space));
    backend.SetKeyDown(Space, false);
    device->Update(0.5f);
    EXPECT_TRUE(device->IsReleased(Space));
    EXPECT_TRUE(device->IsUp(Space));

    for (int32_t argument : {0, Space, -1, 1000}) {
        EXPECT_EQ(device->ReservedQueryA(argument), 0.0f);
        EXPECT_EQ(device->ReservedQueryB(argument), 0.0f);
    }
    device->ReservedCall(Space, 1);
    EXPECT_TRUE(device->IsReleased(Space));  // the reserved call changed nothing
    EXPECT_FALSE(device->IsDown(Space));
}

}  // namespace
