// Game controllers through SDL's game controller API, whose mapping database names the buttons
// of each make of pad by their place, so the bottom face button is SDL_CONTROLLER_BUTTON_A on all.
#include "platform/sdl/gamepads.h"

#include <algorithm>

namespace portable {
namespace {

SDL_JoystickID InstanceOf(SDL_GameController* pad) {
    return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
}

}  // namespace

int Gamepads::ButtonKey(SDL_GameControllerButton button) const {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_A:
            return keys_.padBottom;
        case SDL_CONTROLLER_BUTTON_BACK:
            return keys_.padBack;
        default:
            return 0;
    }
}

bool Gamepads::IsOpen(SDL_JoystickID id) const {
    return std::any_of(pads_.begin(), pads_.end(),
                       [id](SDL_GameController* pad) { return InstanceOf(pad) == id; });
}

void Gamepads::Follow(const SDL_Event& event) {
    if (event.type == SDL_CONTROLLERDEVICEADDED) {
        // SDL reports a pad again when it learns a new mapping for it; one handle is enough.
        int index = event.cdevice.which;
        if (IsOpen(SDL_JoystickGetDeviceInstanceID(index))) {
            return;
        }
        SDL_GameController* pad = SDL_GameControllerOpen(index);
        if (pad != nullptr) {
            pads_.push_back(pad);
        }
    } else if (event.type == SDL_CONTROLLERDEVICEREMOVED) {
        auto gone = std::find_if(pads_.begin(), pads_.end(), [&event](SDL_GameController* pad) {
            return InstanceOf(pad) == event.cdevice.which;
        });
        if (gone != pads_.end()) {
            SDL_GameControllerClose(*gone);
            pads_.erase(gone);
        }
    }
}

void Gamepads::Read() {
    std::fill(std::begin(held_), std::end(held_), false);
    for (SDL_GameController* pad : pads_) {
        for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button) {
            auto which = static_cast<SDL_GameControllerButton>(button);
            int key = ButtonKey(which);
            if (key > 0 && key < 256 && SDL_GameControllerGetButton(pad, which) != 0) {
                held_[key] = true;
            }
        }
    }
}

bool Gamepads::IsKeyDown(int virtualKey) const {
    return virtualKey >= 0 && virtualKey < 256 && held_[virtualKey];
}

void Gamepads::CloseAll() {
    for (SDL_GameController* pad : pads_) {
        SDL_GameControllerClose(pad);
    }
    pads_.clear();
    std::fill(std::begin(held_), std::end(held_), false);
}

}  // namespace portable
