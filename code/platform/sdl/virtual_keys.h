// Windows virtual-key codes as SDL scancodes.
#pragma once

#include <SDL.h>

namespace portable {

// Fills table[vk] for every code 0..255; keys SDL has no scancode for get SDL_SCANCODE_UNKNOWN.
void BuildScancodeTable(SDL_Scancode (&table)[256]);

}  // namespace portable
