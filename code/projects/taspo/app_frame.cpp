// One frame of Taspo: a message, the focus, deferred frees, the clock, the reaction cycle, the
// keyboard, the picture and its presentation, in that order; what happened is told to the game's
// listener.
#include "memory/deferred_free_list.h"
#include "projects/taspo/app.h"
#include "projects/taspo/reaction_cycle.h"

namespace {

int64_t shownAt = 0;  // the counter reading of the frame that showed the latest target

// The counter reading of this frame's clock update.
int64_t FrameCounter() {
    return frameTimer->startTicks + frameTimer->lastElapsedTicks;
}

void TellPhaseChange(PhaseChange change) {
    if (gameEvents == nullptr) {
        return;
    }
    int64_t counter = FrameCounter();
    if (frameTimer->frameCount == 1) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        gameEvents->Started(counter, frequency.QuadPart);
    }
    if (change == PhaseChange::TargetShown) {
        shownAt = counter;
        gameEvents->TargetShown(counter);
    } else if (change == PhaseChange::Missed) {
        gameEvents->Missed(counter);
    }
}

// Space this frame: a hit while the target shows, otherwise a false start, which only the
// listener hears of.
void Pressed() {
    bool hit = targetShown;
    if (hit) {
        ScoreHit();
    }
    if (gameEvents == nullptr) {
        return;
    }
    int64_t counter = FrameCounter();
    if (hit) {
        gameEvents->Hit(counter, counter - shownAt);
    } else {
        gameEvents->FalseStart(counter);
    }
}

// False when the quit message arrived; anything else goes to the window procedure.
bool HandleOneMessage() {
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

// Reads the keyboard while the window has the focus. False when Escape is held.
bool HandleInput(float delta) {
    if (!windowFocused) {
        return true;
    }
    InputDevice* device = keyboard;
    device->Update(delta);
    if (device->IsDown(VK_ESCAPE)) {
        return false;
    }
    if (device->IsPressed(VK_SPACE)) {
        Pressed();
    }
    return true;
}

void Paint() {
    FillSurface(backBuffer, BackgroundColour());
    if (TargetVisible()) {
        DrawSprite(backBuffer, targetSprite, targetX, targetY, targetWidth, targetHeight);
    }
    BitBlt(mainWindow->deviceContext, 0, 0, backBuffer->width, backBuffer->height,
           backBuffer->memoryDC, 0, 0, SRCCOPY);
}

}  // namespace

bool AppFrame() {
    if (!HandleOneMessage()) {
        return false;
    }
    windowFocused = GetFocus() == mainWindow->handle;
    PurgeDeferred(0);
    Update(frameTimer);
    float delta = frameTimer->scaledDelta;
    TellPhaseChange(AdvanceReactionCycle(delta));
    if (!HandleInput(delta)) {
        return false;
    }
    Paint();
    SwitchToThread();
    return true;
}
