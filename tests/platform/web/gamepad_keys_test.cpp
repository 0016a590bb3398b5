// Pads as keys, a frame at a time: A (the bottom face button) holds space and Back holds Escape
// while down, no other button holds anything, and a pad that vanished lets go of what it held.
#include "platform/web/gamepad_keys.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/portable/win32_api.h"

namespace {

using portable::GamepadKeys;
using portable::InputQueue;

constexpr uint32_t A = 1u << 0;
constexpr uint32_t Back = 1u << 8;

class PadFrames : public ::testing::Test {
protected:
    void SetUp() override { queue.Reset(true, true); }
    // The keys down after a frame that read `buttons`.
    std::vector<int> Frame(uint32_t buttons) {
        pads.Read(buttons, &queue);
        queue.Apply();
        std::vector<int> down;
        for (int key = 0; key < 256; ++key) {
            if (queue.IsKeyDown(key)) {
                down.push_back(key);
            }
        }
        return down;
    }

    InputQueue queue;
    GamepadKeys pads{portable::ControlKeys{VK_SPACE, VK_ESCAPE, 0, 0}};
};

TEST_F(PadFrames, AHoldsSpaceAndBackEscapeWhileDownAndNoOtherButtonHoldsAKey) {
    const std::vector<int> none;
    EXPECT_EQ(Frame(A), std::vector<int>{VK_SPACE});
    EXPECT_EQ(Frame(A), std::vector<int>{VK_SPACE});
    EXPECT_EQ(Frame(A | Back), (std::vector<int>{VK_ESCAPE, VK_SPACE}));
    EXPECT_EQ(Frame(0), none) << "the pad holding them went away";
    EXPECT_EQ(Frame(~(A | Back)), none);
    pads.Read(~(A | Back), &queue);
    EXPECT_EQ(queue.Waiting(), 0u) << "an unchanged frame posts nothing";
    EXPECT_EQ(Frame(Back), std::vector<int>{VK_ESCAPE});
}

}  // namespace
