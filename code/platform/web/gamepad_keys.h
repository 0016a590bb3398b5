// Gamepads as keys. A pad in the Gamepad API's standard mapping holds the key of its bottom face
// button (A, or cross) and that of Back (Select), as the program's ControlKeys say. The page reads
// every pad once a frame into one set of buttons down on any of them, so a pad that is unplugged
// simply stops holding what it held, and one plugged in mid-game starts from its buttons as they
// are.
#pragma once

#include <cstdint>

#include "platform/portable/control_keys.h"
#include "platform/web/input_queue.h"

namespace portable {

// The buttons[] indexes of the standard mapping.
constexpr int PadButtonBottom = 0;
constexpr int PadButtonBack = 8;

class GamepadKeys {
public:
    explicit GamepadKeys(const ControlKeys& keys) : keys_(keys) {}

    // One frame's pads, bit n set while button n is down on any of them: each mapped button that
    // changed since the last frame goes to the queue as a press or a release of its key.
    void Read(uint32_t buttonsDown, InputQueue* queue);

private:
    ControlKeys keys_;
    uint32_t held_ = 0;  // the mapped buttons down at the last read
};

}  // namespace portable
