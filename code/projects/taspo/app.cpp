// Start-up, frame loop and teardown of Taspo. Every object is allocated with EngineAlloc and
// constructed in place; a pointer is null before start-up makes its object and after teardown.
#include "projects/taspo/app.h"

#include <cstdarg>
#include <cstdio>
#include <new>

#include "projects/taspo/game_constants.h"

AppWindow* mainWindow = nullptr;
Surface* backBuffer = nullptr;

namespace {

char failure[256];

bool Fail(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(failure, sizeof(failure), format, arguments);
    va_end(arguments);
    return false;
}

bool OutOfMemory(const char* what) {
    return Fail("out of engine memory while creating %s", what);
}

void ReportFailure() {
    std::fprintf(stderr, "taspo: %s\n", failure);
#ifdef _WIN32
    MessageBoxA(nullptr, failure, AppWindowTitle, MB_OK | MB_ICONERROR);
#endif
}

bool CreateMainWindow(HINSTANCE instance, int showCommand, int32_t desktopWidth,
                      int32_t desktopHeight) {
    mainWindow = static_cast<AppWindow*>(EngineAlloc(sizeof(AppWindow)));
    if (mainWindow == nullptr) {
        return OutOfMemory("the window");
    }
    InitAppWindow(mainWindow);
    CreateAppWindow(mainWindow, instance, desktopWidth, desktopHeight);
    if (mainWindow->handle == nullptr) {
        return Fail("the window could not be created");
    }
    ShowWindow(mainWindow->handle, showCommand);
    SetWindowPos(mainWindow->handle, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    UpdateWindow(mainWindow->handle);
    return true;
}

bool CreateBackBuffer() {
    backBuffer = static_cast<Surface*>(EngineAlloc(sizeof(Surface)));
    if (backBuffer == nullptr) {
        return OutOfMemory("the back buffer");
    }
    InitSurface(backBuffer);
    if (!CreateSurface(backBuffer, ScreenWidth, ScreenHeight)) {
        return Fail("the back buffer's pixels could not be created");
    }
    return true;
}

}  // namespace

const char* StartupFailure() {
    return failure;
}

bool AppStartup(HINSTANCE instance, int showCommand) {
    failure[0] = '\0';
    DEVMODEA desktop = {};
    desktop.dmSize = sizeof(DEVMODEA);
    EnumDisplaySettingsA(nullptr, ENUM_REGISTRY_SETTINGS, &desktop);
    return CreateMainWindow(instance, showCommand, static_cast<int32_t>(desktop.dmPelsWidth),
                            static_cast<int32_t>(desktop.dmPelsHeight)) &&
           CreateBackBuffer();
}

bool AppFrame() {
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    FillSurface(backBuffer, ColourIdle);
    BitBlt(mainWindow->deviceContext, 0, 0, backBuffer->width, backBuffer->height,
           backBuffer->memoryDC, 0, 0, SRCCOPY);
    SwitchToThread();
    return true;
}

void AppShutdown() {
    if (mainWindow != nullptr) {
        if (mainWindow->created) {
            DestroyAppWindow(mainWindow);
        }
        EngineFree(mainWindow);
        mainWindow = nullptr;
    }
    if (backBuffer != nullptr) {
        DestroySurface(backBuffer);
        backBuffer = nullptr;
    }
}

int RunTaspo(HINSTANCE instance, int showCommand, uint32_t arenaSize) {
    engineHeapActive = true;
    if (!ArenaInit(ActiveArena(), arenaSize)) {
        Fail("the standard heap refused the %u-byte memory arena", arenaSize);
        ReportFailure();
        return 1;
    }
    bool started = AppStartup(instance, showCommand);
    if (started) {
        while (AppFrame()) {
        }
    } else {
        ReportFailure();
    }
    AppShutdown();
    ArenaRelease(ActiveArena());
    return started ? 0 : 1;
}
