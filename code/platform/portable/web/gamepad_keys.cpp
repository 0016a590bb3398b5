// The pads' buttons, a frame at a time, as presses and releases of the keys they stand for.
#include "platform/portable/web/gamepad_keys.h"

#include "platform/portable/win32_api.h"

namespace portable {
namespace {

struct PadKey {
    int button;
    int virtualKey;
};

constexpr PadKey PadKeys[] = {
    {PadButtonBottom, VK_SPACE},
    {PadButtonBack, VK_ESCAPE},
};

}  // namespace

void GamepadKeys::Read(uint32_t buttonsDown, InputQueue* queue) {
    for (const PadKey& key : PadKeys) {
        uint32_t bit = 1u << key.button;
        if ((buttonsDown & bit) == (held_ & bit)) {
            continue;
        }
        InputKind kind = (buttonsDown & bit) != 0 ? InputKind::KeyDown : InputKind::KeyUp;
        queue->Push(InputEvent{kind, key.virtualKey, InputSource::Gamepad});
        held_ ^= bit;
    }
}

}  // namespace portable
