// The game controllers plugged in, read as keys: the bottom face button (A on an Xbox pad, cross
// on a PlayStation one) and Back (Select, Share) hold the keys the program's ControlKeys give
// them. They are opened and closed as SDL reports them arriving and leaving, and read once a
// frame, so a pad that leaves lets go of whatever it held.
#pragma once

#include <SDL.h>

#include <vector>

#include "platform/portable/control_keys.h"

namespace portable {

class Gamepads {
public:
    explicit Gamepads(const ControlKeys& keys) : keys_(keys) {}
    ~Gamepads() { CloseAll(); }
    Gamepads(const Gamepads&) = delete;
    Gamepads& operator=(const Gamepads&) = delete;

    // Opens a controller on SDL_CONTROLLERDEVICEADDED and closes it on ..._REMOVED.
    void Follow(const SDL_Event& event);
    // Takes what every open controller holds now, after the frame's events.
    void Read();
    // Whether some controller held the key at the last Read.
    bool IsKeyDown(int virtualKey) const;
    // Before SDL_Quit, which frees the controllers itself.
    void CloseAll();

    // The virtual key a controller button stands for, or 0 for a button with none.
    int ButtonKey(SDL_GameControllerButton button) const;

private:
    bool IsOpen(SDL_JoystickID id) const;

    ControlKeys keys_;
    std::vector<SDL_GameController*> pads_;
    bool held_[256] = {};
};

}  // namespace portable
