// The engine's interface to a polled input device: Update takes a snapshot once per frame, the
// queries answer from the latest two snapshots. The order of the operations below is the order of
// the table of virtual operations and is part of the interface.
#pragma once

#include <cstdint>

class InputDevice {
public:
    virtual void Update(float timeStep) = 0;
    virtual bool IsDown(int32_t key) const = 0;
    virtual bool IsUp(int32_t key) const = 0;
    // The key went down between the last two updates.
    virtual bool IsPressed(int32_t key) const = 0;
    // The key went up between the last two updates.
    virtual bool IsReleased(int32_t key) const = 0;
    // Reserved for analogue devices; nothing calls them yet.
    virtual float ReservedQueryA(int32_t argument) const = 0;
    virtual float ReservedQueryB(int32_t argument) const = 0;
    virtual void ReservedCall(int32_t first, int32_t second) = 0;

protected:
    // A device is released with EngineFree and runs no teardown, so it must own nothing that
    // needs releasing. Protected and non-virtual, so deleting through the interface cannot
    // compile.
    ~InputDevice() = default;
};
