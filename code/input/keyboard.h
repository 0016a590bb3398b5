// The keyboard as an input device: a snapshot of all 256 Windows virtual-key codes, taken once
// per frame with GetAsyncKeyState, beside the snapshot before it, so callers see both levels and
// edges. Create it with placement new into EngineAlloc memory; release it with EngineFree.
#pragma once

#include <cstdint>

#include "input/input_device.h"

class Keyboard final : public InputDevice {
public:
    // Both snapshots all up: nothing is down, pressed or released until the first Update.
    Keyboard();

    // Keeps the current snapshot as the previous one and reads every key, codes 0 to 255 in
    // ascending order. The time step is not used.
    void Update(float timeStep) override;

    // Codes outside 0..255 answer as a key that is up and has not moved.
    bool IsDown(int32_t key) const override;
    bool IsUp(int32_t key) const override;
    bool IsPressed(int32_t key) const override;
    bool IsReleased(int32_t key) const override;

    float ReservedQueryA(int32_t argument) const override;      // always 0
    float ReservedQueryB(int32_t argument) const override;      // always 0
    void ReservedCall(int32_t first, int32_t second) override;  // does nothing

    uint8_t current[256];   // 1 where the key was down at the latest Update
    uint8_t previous[256];  // the same at the Update before it
};
