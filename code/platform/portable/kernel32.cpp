// The counter and the scheduler of our Win32 layer, both from the backend.
#include "platform/portable/session.h"

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
    frequency->QuadPart = portable::CurrentBackend().CounterFrequency();
    return frequency->QuadPart != 0 ? TRUE : FALSE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
    count->QuadPart = portable::CurrentBackend().Counter();
    return TRUE;
}

BOOL SwitchToThread() {
    portable::CurrentBackend().YieldThread();
    return TRUE;
}
