// The US-layout positions of the Windows virtual keys, which is what SDL scancodes name.
#include "platform/sdl/virtual_keys.h"

#include "platform/portable/win32_api.h"

namespace portable {

void BuildScancodeTable(SDL_Scancode (&table)[256]) {
    for (SDL_Scancode& code : table) {
        code = SDL_SCANCODE_UNKNOWN;
    }
    for (int i = 0; i < 26; ++i) {
        table['A' + i] = static_cast<SDL_Scancode>(SDL_SCANCODE_A + i);
    }
    table['0'] = SDL_SCANCODE_0;
    for (int i = 1; i <= 9; ++i) {
        table['0' + i] = static_cast<SDL_Scancode>(SDL_SCANCODE_1 + i - 1);
    }
    for (int i = 0; i < 12; ++i) {
        table[VK_F1 + i] = static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + i);
        table[VK_F1 + 12 + i] = static_cast<SDL_Scancode>(SDL_SCANCODE_F13 + i);
    }
    table[VK_NUMPAD0] = SDL_SCANCODE_KP_0;
    for (int i = 1; i <= 9; ++i) {
        table[VK_NUMPAD0 + i] = static_cast<SDL_Scancode>(SDL_SCANCODE_KP_1 + i - 1);
    }
    table[VK_BACK] = SDL_SCANCODE_BACKSPACE;
    table[VK_TAB] = SDL_SCANCODE_TAB;
    table[VK_RETURN] = SDL_SCANCODE_RETURN;
    table[VK_PAUSE] = SDL_SCANCODE_PAUSE;
    table[VK_CAPITAL] = SDL_SCANCODE_CAPSLOCK;
    table[VK_ESCAPE] = SDL_SCANCODE_ESCAPE;
    table[VK_SPACE] = SDL_SCANCODE_SPACE;
    table[VK_PRIOR] = SDL_SCANCODE_PAGEUP;
    table[VK_NEXT] = SDL_SCANCODE_PAGEDOWN;
    table[VK_END] = SDL_SCANCODE_END;
    table[VK_HOME] = SDL_SCANCODE_HOME;
    table[VK_LEFT] = SDL_SCANCODE_LEFT;
    table[VK_UP] = SDL_SCANCODE_UP;
    table[VK_RIGHT] = SDL_SCANCODE_RIGHT;
    table[VK_DOWN] = SDL_SCANCODE_DOWN;
    table[VK_INSERT] = SDL_SCANCODE_INSERT;
    table[VK_DELETE] = SDL_SCANCODE_DELETE;
    table[VK_LWIN] = SDL_SCANCODE_LGUI;
    table[VK_RWIN] = SDL_SCANCODE_RGUI;
    table[VK_MULTIPLY] = SDL_SCANCODE_KP_MULTIPLY;
    table[VK_ADD] = SDL_SCANCODE_KP_PLUS;
    table[VK_SUBTRACT] = SDL_SCANCODE_KP_MINUS;
    table[VK_DECIMAL] = SDL_SCANCODE_KP_PERIOD;
    table[VK_DIVIDE] = SDL_SCANCODE_KP_DIVIDE;
    table[VK_LSHIFT] = SDL_SCANCODE_LSHIFT;
    table[VK_RSHIFT] = SDL_SCANCODE_RSHIFT;
    table[VK_LCONTROL] = SDL_SCANCODE_LCTRL;
    table[VK_RCONTROL] = SDL_SCANCODE_RCTRL;
    table[VK_LMENU] = SDL_SCANCODE_LALT;
    table[VK_RMENU] = SDL_SCANCODE_RALT;
    // VK_SHIFT, VK_CONTROL and VK_MENU stay unknown: the layer answers them from both sides.
}

}  // namespace portable
