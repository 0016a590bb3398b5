// What the player's controls besides the keyboard stand for: the virtual key each one holds, 0
// for none. The program says; the SDL and web backends press those keys for the pads, pointers
// and buttons they serve.
#pragma once

namespace portable {

struct ControlKeys {
    int padBottom;  // a pad's bottom face button: A on an Xbox pad, cross on a PlayStation one
    int padBack;    // Back (Select, Share)
    int pointer;    // a touch, pen or mouse button held on the picture
    int endButton;  // the page's End game button, pressed and let go at once
};

}  // namespace portable
