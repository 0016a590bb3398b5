// The game controllers plugged in, read as the keys the game knows: the bottom face button (A on
// an Xbox pad, cross on a PlayStation one) holds space, Back (Select, Share) holds Escape. They
// are opened and closed as SDL reports them arriving and leaving, and read once a frame, so a
// pad that leaves lets go of whatever it held.
#pragma once

#include <SDL.h>

#include <vector>

namespace portable {

// The virtual key a controller button stands for, or 0 for a button the game has no use for.
int GamepadButtonKey(SDL_GameControllerButton button);

class Gamepads {
public:
    Gamepads() = default;
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

private:
    bool IsOpen(SDL_JoystickID id) const;

    std::vector<SDL_GameController*> pads_;
    bool held_[256] = {};
};

}  // namespace portable
