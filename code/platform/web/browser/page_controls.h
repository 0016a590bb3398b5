// The ways to play besides the keyboard: pointers on the canvas (touch, pen, mouse buttons), the
// page's End game button and gamepads, each put on the input queue as the key the program's
// ControlKeys say it stands for.
#pragma once

#include "platform/web/gamepad_keys.h"
#include "platform/web/input_queue.h"

namespace portable {

class PageControls {
public:
    PageControls(InputQueue* input, const ControlKeys& keys)
        : input_(input), keys_(keys), pads_(keys) {}
    ~PageControls() { StopListening(); }
    PageControls(const PageControls&) = delete;
    PageControls& operator=(const PageControls&) = delete;

    // While the window is open: the canvas and the End game button call back into us.
    void Listen();
    void StopListening();
    // Once a frame, before the queue applies.
    void ReadPads();

    // From the page's handlers, which run while the game yields.
    void PointerHeld(bool held);
    void EndGame();

private:
    InputQueue* input_;
    ControlKeys keys_;
    GamepadKeys pads_;
    bool listening_ = false;
};

}  // namespace portable
