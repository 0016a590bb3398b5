// One frame of Taspo: a message, the focus, deferred frees, the clock, the reaction cycle, the
// keyboard, the picture and its presentation, in that order.
#include "memory/deferred_free_list.h"
#include "projects/taspo/app.h"
#include "projects/taspo/reaction_cycle.h"

namespace {

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
    if (targetShown && device->IsPressed(VK_SPACE)) {
        ScoreHit();
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
    AdvanceReactionCycle(delta);
    if (!HandleInput(delta)) {
        return false;
    }
    Paint();
    SwitchToThread();
    return true;
}
