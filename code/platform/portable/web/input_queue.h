// What the browser reported between two frames, kept in order until the frame asks. The browser
// delivers events only while the game yields, often a press and its release together (a quick
// tap, or a test's key press); applied at once, such a tap would never be seen held by the
// game's polled keyboard. Apply therefore stops at a release of a key that went down in the same
// step, so every press is held for at least one frame.
// While Meta (the Windows or Command key) is held, browsers drop the releases of the other keys,
// and a window without the focus hears none: Meta coming up and the window losing the focus let
// go of every key.
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

struct InputEvent {
    InputKind kind;
    int virtualKey;  // for KeyDown and KeyUp; 0 otherwise
};

class InputQueue {
public:
    // The state before any event: what the page reports when the window opens.
    void Reset(bool canvasFocused, bool pageVisible);
    void Push(InputEvent event);
    // One frame's step: applies the waiting events in order, up to a release of a key pressed in
    // this same step, which waits for the next (so does a release of Meta after any such press).
    void Apply();

    // Down now. The browser names a modifier's side, so the side-neutral codes are never down.
    bool IsKeyDown(int virtualKey) const;
    // The game has the keyboard: the page is visible and the canvas has the focus.
    bool HasFocus() const { return canvasFocused_ && pageVisible_; }
    size_t Waiting() const { return events_.size(); }

private:
    void ReleaseAllKeys();

    std::deque<InputEvent> events_;
    bool down_[256] = {};
    bool canvasFocused_ = false;
    bool pageVisible_ = true;
};

}  // namespace portable
