// The pads' buttons, a frame at a time, as presses and releases of the keys they stand for.
#include "platform/web/gamepad_keys.h"

namespace portable {
namespace {

struct PadKey {
    int button;
    int virtualKey;
};

}  // namespace

void GamepadKeys::Read(uint32_t buttonsDown, InputQueue* queue) {
    const PadKey padKeys[] = {{PadButtonBottom, keys_.padBottom}, {PadButtonBack, keys_.padBack}};
    for (const PadKey& key : padKeys) {
        if (key.virtualKey == 0) {
            continue;
        }
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
