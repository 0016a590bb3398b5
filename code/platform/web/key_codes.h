// The browser names a key by its position on a US keyboard (KeyboardEvent.code, "KeyA", "Space");
// the engine asks for Windows virtual-key codes. This is the table between the two.
#pragma once

namespace portable {

// The virtual-key code of the key a KeyboardEvent.code names, or 0 for a name we do not know
// (and for null). Side-neutral codes (VK_SHIFT, VK_CONTROL, VK_MENU) are never returned: the
// browser names a side, and the layer answers the neutral codes from both.
int VirtualKeyFromCode(const char* code);

// True for the keys whose default action scrolls the page, which the game's page suppresses
// while the canvas has the keyboard.
bool KeyScrollsPage(int virtualKey);

}  // namespace portable
