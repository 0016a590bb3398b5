// Measuring, scaling and bounding the frame step, and the timer's modifier records.
#include "timing/frame_timer.h"

#include <cstring>

#include "memory/arena.h"
#include "platform/win32.h"

namespace {

// 1 / frequency, or 0.0 when the counter is unavailable or reports a frequency of 0 or less:
// a stopped clock is safer for the game than an infinite or NaN step.
double ReadSecondsPerTick() {
    LARGE_INTEGER frequency;
    frequency.QuadPart = 0;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) {
        return 0.0;
    }
    return 1.0 / static_cast<double>(frequency.QuadPart);
}

int64_t ReadCounter() {
    LARGE_INTEGER now;
    now.QuadPart = 0;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

float TicksToSeconds(const FrameTimer* timer, int64_t ticks) {
    return static_cast<float>(static_cast<double>(ticks) * timer->secondsPerTick);
}

}  // namespace

void InitFrameTimer(FrameTimer* timer) {
    std::memset(timer, 0, sizeof(FrameTimer));
    Reset(timer);
}

void Reset(FrameTimer* timer) {
    ClearModifiers(timer);
    timer->secondsPerTick = ReadSecondsPerTick();
    timer->startTicks = ReadCounter();
    timer->lastElapsedTicks = 0;
    timer->frameTicks = 0;
    timer->frameCount = 0;
    timer->elapsedTime = 0.0f;
    timer->rawDelta = 0.0f;
    timer->scaledTime = 0.0f;
    timer->scaledDelta = 0.0f;
}

void Update(FrameTimer* timer) {
    int64_t elapsedTicks = ReadCounter() - timer->startTicks;
    timer->frameTicks = elapsedTicks - timer->lastElapsedTicks;
    timer->rawDelta =
        timer->fixedStep ? timer->fixedDelta : TicksToSeconds(timer, timer->frameTicks);

    // Expiry first, so a modifier that runs out in this frame no longer scales it.
    ExpireModifiers(timer, timer->rawDelta);
    timer->scaledDelta = EffectiveScale(timer) * timer->rawDelta;
    if (timer->maxDelta > 0.0f && timer->scaledDelta > timer->maxDelta) {
        timer->scaledDelta = timer->maxDelta;
    }

    timer->lastElapsedTicks = elapsedTicks;
    timer->elapsedTime = timer->fixedStep ? timer->elapsedTime + timer->fixedDelta
                                          : TicksToSeconds(timer, elapsedTicks);
    ++timer->frameCount;
    timer->scaledTime += timer->scaledDelta;
}

void ClearModifiers(FrameTimer* timer) {
    for (auto* node = timer->modifiers.head; node != nullptr; node = node->next) {
        EngineFree(node->value);
        node->value = nullptr;
    }
    timer->modifiers.Clear();
}

float EffectiveScale(const FrameTimer* timer) {
    if (timer->modifiers.count == 0) {
        return 1.0f;
    }
    float running = -1.0f;  // below 0: no scale seen yet
    for (const auto* node = timer->modifiers.head; node != nullptr; node = node->next) {
        float scale = node->value->scale;
        if (running < 0.0f || scale < running) {
            running = scale;
        }
    }
    return running;
}

void ExpireModifiers(FrameTimer* timer, float rawDelta) {
    for (auto* node = timer->modifiers.head; node != nullptr;) {
        auto* next = node->next;
        TimeScaleModifier* modifier = node->value;
        if (modifier->remaining > 0.0f) {
            modifier->remaining -= rawDelta;
            if (modifier->remaining <= 0.0f) {
                timer->modifiers.Remove(node);
                EngineFree(modifier);
            }
        }
        node = next;
    }
}

TimeScaleModifier* AddTimeScaleModifier(FrameTimer* timer, float remaining, float scale) {
    auto* modifier = static_cast<TimeScaleModifier*>(EngineAlloc(sizeof(TimeScaleModifier)));
    if (modifier == nullptr) {
        return nullptr;
    }
    modifier->remaining = remaining;
    modifier->scale = scale;
    if (timer->modifiers.PushBack(modifier) == nullptr) {
        EngineFree(modifier);
        return nullptr;
    }
    return modifier;
}

void DestroyFrameTimer(FrameTimer* timer) {
    ClearModifiers(timer);
    timer->modifiers.Clear();
    EngineFree(timer);
}
