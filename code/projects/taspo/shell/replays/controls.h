// The game's two keys, and what else stands for them: a pad's bottom button, a tap or click on
// the picture for space; a pad's Back and the page's End game button for Escape.
#pragma once

#include "platform/portable/control_keys.h"
#include "platform/win32.h"

constexpr portable::ControlKeys TaspoControls = {
    VK_SPACE,   // pad bottom button
    VK_ESCAPE,  // pad Back
    VK_SPACE,   // pointer
    VK_ESCAPE,  // End game
};
