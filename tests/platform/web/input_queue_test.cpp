// The browser's events as the game's polled keyboard and focus see them, frame by frame: a press
// and its release that arrive together are still held for one frame, order is kept, each source
// holds its keys apart, losing the keyboard lets go of every key and releasing Meta of the
// keyboard's.
#include "platform/web/input_queue.h"

#include <gtest/gtest.h>

#include "platform/portable/win32_api.h"

namespace {

using portable::InputEvent;
using portable::InputKind;
using portable::InputQueue;
using portable::InputSource;

class WebInputQueue : public ::testing::Test {
protected:
    void SetUp() override { queue.Reset(true, true); }
    void Down(int key, InputSource source = InputSource::Keyboard) {
        queue.Push(InputEvent{InputKind::KeyDown, key, source});
    }
    void Up(int key, InputSource source = InputSource::Keyboard) {
        queue.Push(InputEvent{InputKind::KeyUp, key, source});
    }
    void Page(InputKind kind) { queue.Push(InputEvent{kind, 0}); }

    InputQueue queue;
};

TEST_F(WebInputQueue, NothingChangesBeforeTheFrameApplies) {
    Down(VK_SPACE);
    Page(InputKind::CanvasBlurred);
    EXPECT_FALSE(queue.IsKeyDown(VK_SPACE));
    EXPECT_TRUE(queue.HasFocus());
    EXPECT_EQ(queue.Waiting(), 2u);
    queue.Apply();
    EXPECT_FALSE(queue.HasFocus());
    EXPECT_EQ(queue.Waiting(), 0u);
}

TEST_F(WebInputQueue, ATapBetweenTwoFramesIsHeldForExactlyOneFrame) {
    Down(VK_SPACE);
    Up(VK_SPACE);
    queue.Apply();
    EXPECT_TRUE(queue.IsKeyDown(VK_SPACE));
    EXPECT_EQ(queue.Waiting(), 1u);
    queue.Apply();
    EXPECT_FALSE(queue.IsKeyDown(VK_SPACE));
    EXPECT_EQ(queue.Waiting(), 0u);
}

TEST_F(WebInputQueue, EventsAfterAHeldTapWaitInOrder) {
    Down(VK_SPACE);
    Down('A');
    Up(VK_SPACE);
    Up('A');
    Down(VK_ESCAPE);
    queue.Apply();  // space and A go down; the release of space stops the step
    EXPECT_TRUE(queue.IsKeyDown(VK_SPACE));
    EXPECT_TRUE(queue.IsKeyDown('A'));
    EXPECT_FALSE(queue.IsKeyDown(VK_ESCAPE));
    queue.Apply();
    EXPECT_FALSE(queue.IsKeyDown(VK_SPACE));
    EXPECT_FALSE(queue.IsKeyDown('A'));
    EXPECT_TRUE(queue.IsKeyDown(VK_ESCAPE));
}

// A finger on the canvas and the space bar both hold space; letting go of one keeps it down.
TEST_F(WebInputQueue, EachSourceHoldsItsKeysApart) {
    Down(VK_SPACE, InputSource::Pointer);
    Down(VK_SPACE);
    Up(VK_SPACE);  // a tap of the space bar while the finger stays down
    queue.Apply();
    queue.Apply();
    EXPECT_TRUE(queue.IsKeyDown(VK_SPACE));
    Down(VK_LWIN);
    Up(VK_LWIN);  // lets go of the keyboard's keys only
    queue.Apply();
    queue.Apply();
    EXPECT_TRUE(queue.IsKeyDown(VK_SPACE));
    Up(VK_SPACE, InputSource::Pointer);
    queue.Apply();
    EXPECT_FALSE(queue.IsKeyDown(VK_SPACE));

    Down(VK_ESCAPE, InputSource::EndButton);  // a tap of another source is held a frame too
    Up(VK_ESCAPE, InputSource::EndButton);
    queue.Apply();
    EXPECT_TRUE(queue.IsKeyDown(VK_ESCAPE));
    queue.Apply();
    EXPECT_FALSE(queue.IsKeyDown(VK_ESCAPE));
}

TEST_F(WebInputQueue, KeyRepeatAndAReleaseOfAKeyHeldEarlierApplyAtOnce) {
    Down('Q');
    queue.Apply();
    Down('Q');  // the browser repeats a held key
    Down('Q');
    Up('Q');
    Down('W');
    Down('W');  // pressed and repeated in one step: still a press of this step
    Up('W');
    queue.Apply();
    EXPECT_FALSE(queue.IsKeyDown('Q'));
    EXPECT_TRUE(queue.IsKeyDown('W'));
    queue.Apply();
    EXPECT_FALSE(queue.IsKeyDown('W'));
}

TEST_F(WebInputQueue, CodesOutsideTheTableAreNeitherQueuedNorDown) {
    for (int key : {0, -1, 256, 1000}) {
        Down(key);
        EXPECT_FALSE(queue.IsKeyDown(key)) << key;
    }
    EXPECT_EQ(queue.Waiting(), 0u);
}

TEST_F(WebInputQueue, FocusNeedsBothTheCanvasAndAVisiblePage) {
    Page(InputKind::PageHidden);
    queue.Apply();
    EXPECT_FALSE(queue.HasFocus());
    Page(InputKind::PageShown);
    Page(InputKind::CanvasBlurred);
    queue.Apply();
    EXPECT_FALSE(queue.HasFocus());
    Page(InputKind::CanvasFocused);
    queue.Apply();
    EXPECT_TRUE(queue.HasFocus());

    queue.Reset(false, true);
    EXPECT_FALSE(queue.HasFocus());
    queue.Reset(true, false);
    EXPECT_FALSE(queue.HasFocus());
}

// No release reaches a canvas without the keyboard, so a key held then would stay down forever.
TEST_F(WebInputQueue, LosingTheCanvasThePageOrTheWindowLetsGoOfEveryKey) {
    for (InputKind lost :
         {InputKind::CanvasBlurred, InputKind::PageHidden, InputKind::WindowBlurred}) {
        queue.Reset(true, true);
        Down(VK_SPACE);
        Down(VK_LSHIFT);
        Down(VK_ESCAPE, InputSource::Gamepad);
        queue.Apply();
        Page(lost);
        queue.Apply();
        EXPECT_FALSE(queue.IsKeyDown(VK_SPACE));
        EXPECT_FALSE(queue.IsKeyDown(VK_LSHIFT));
        EXPECT_FALSE(queue.IsKeyDown(VK_ESCAPE));
    }
}

// While Meta is held the browser drops the other keys' releases: Meta coming up lets go of them
// all, though not of a press the game has not seen for a frame yet.
TEST_F(WebInputQueue, MetaComingUpLetsGoOfEveryKey) {
    for (int meta : {VK_LWIN, VK_RWIN}) {
        queue.Reset(true, true);
        Down(VK_SPACE);
        queue.Apply();
        Down(meta);
        Down('A');
        queue.Apply();
        Up(meta);  // the releases of space and A never come
        queue.Apply();
        EXPECT_FALSE(queue.IsKeyDown(VK_SPACE)) << meta;
        EXPECT_FALSE(queue.IsKeyDown('A'));
        EXPECT_FALSE(queue.IsKeyDown(meta));

        Down(meta);
        queue.Apply();
        Down(VK_SPACE);
        Up(meta);
        queue.Apply();
        EXPECT_TRUE(queue.IsKeyDown(VK_SPACE)) << "pressed in this step: held for the frame";
        queue.Apply();
        EXPECT_FALSE(queue.IsKeyDown(VK_SPACE));
        EXPECT_FALSE(queue.IsKeyDown(meta));
    }
}

TEST_F(WebInputQueue, ResetForgetsWaitingEventsAndHeldKeys) {
    Down('A');
    queue.Apply();
    Down('B');
    queue.Reset(true, true);
    EXPECT_EQ(queue.Waiting(), 0u);
    EXPECT_FALSE(queue.IsKeyDown('A'));
    queue.Apply();
    EXPECT_FALSE(queue.IsKeyDown('B'));
}

}  // namespace
