// What the browser reported between two frames, kept in order until the frame asks. The browser
// delivers events only while the game yields, often a press and its release together (a quick
// tap, or a test's key press); applied at once, such a tap would never be seen held by the
// game's polled keyboard. Apply therefore stops at a release of a key that went down in the same
// step, so every press is held for at least one frame.
// While Meta (the Windows or Command key) is held, browsers drop the releases of the other keys:
// Meta coming up lets go of every key of the keyboard. A window without the focus hears no
// release at all: losing it lets go of every key of every source.
// Keyboard, pointers, gamepads and the page's End game button each hold their keys apart, and a
// key is down while any of them holds it: a finger coming up does not let go of the space bar.
#pragma once

#include <cstddef>
#include <deque>

namespace portable {

enum class InputKind {
    KeyDown,
    KeyUp,
    CanvasFocused,
    CanvasBlurred,
    PageShown,
    PageHidden,
    WindowBlurred,  // the browser's window lost the focus; the canvas may still be the page's
};

// Who pressed a key.
enum class InputSource {
    Keyboard,
    Pointer,  // touch, pen or mouse button on the canvas
    Gamepad,
    EndButton,  // the page's End game control
};
constexpr int InputSourceCount = 4;

struct InputEvent {
    InputKind kind;
    int virtualKey;                              // for KeyDown and KeyUp; 0 otherwise
    InputSource source = InputSource::Keyboard;  // for KeyDown and KeyUp
};

class InputQueue {
public:
    // The state before any event: what the page reports when the window opens.
    void Reset(bool canvasFocused, bool pageVisible);
    void Push(InputEvent event);
    // One frame's step: applies the waiting events in order, up to a release of a key pressed in
    // this same step, which waits for the next (so does a release of Meta after any such press).
    void Apply();

    // Down now, from any source. The browser names a modifier's side, so the side-neutral codes
    // are never down.
    bool IsKeyDown(int virtualKey) const;
    // The game has the keyboard: the page is visible and the canvas has the focus.
    bool HasFocus() const { return canvasFocused_ && pageVisible_; }
    size_t Waiting() const { return events_.size(); }

private:
    using KeyTable = bool[256];

    void ReleaseAllKeys();

    std::deque<InputEvent> events_;
    KeyTable down_[InputSourceCount] = {};
    bool canvasFocused_ = false;
    bool pageVisible_ = true;
};

}  // namespace portable
