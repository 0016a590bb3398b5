// The keyboard's snapshots and the queries on them. Queries read only the two tables, so their
// answers change only at Update.
#include "input/keyboard.h"

#include <cstring>

#include "platform/win32.h"

namespace {

constexpr int32_t KeyCount = 256;

bool InRange(int32_t key) {
    return key >= 0 && key < KeyCount;
}

}  // namespace

Keyboard::Keyboard() {
    std::memset(current, 0, sizeof(current));
    std::memset(previous, 0, sizeof(previous));
}

void Keyboard::Update(float /*timeStep*/) {
    std::memcpy(previous, current, sizeof(current));
    for (int32_t key = 0; key < KeyCount; ++key) {
        // Only the top bit, "down now", counts; the "pressed since the last call" bit is shared
        // with every other caller of GetAsyncKeyState and so means nothing here.
        uint16_t state = static_cast<uint16_t>(GetAsyncKeyState(key));
        current[key] = (state & 0x8000u) != 0 ? 1 : 0;
    }
}

bool Keyboard::IsDown(int32_t key) const {
    return InRange(key) && current[key] != 0;
}

bool Keyboard::IsUp(int32_t key) const {
    return !IsDown(key);
}

bool Keyboard::IsPressed(int32_t key) const {
    return InRange(key) && current[key] != 0 && previous[key] == 0;
}

bool Keyboard::IsReleased(int32_t key) const {
    return InRange(key) && current[key] == 0 && previous[key] != 0;
}

float Keyboard::ReservedQueryA(int32_t /*argument*/) const {
    return 0.0f;
}

float Keyboard::ReservedQueryB(int32_t /*argument*/) const {
    return 0.0f;
}

void Keyboard::ReservedCall(int32_t /*first*/, int32_t /*second*/) {}
