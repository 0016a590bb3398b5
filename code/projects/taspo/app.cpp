// Start-up, teardown and the program's run. Every object is allocated with EngineAlloc and
// constructed in place; start-up stops at the first object it cannot make, so the frame loop
// never runs with anything missing.
#include "projects/taspo/app.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

#include "config/config_file.h"
#include "config/variable_registry.h"
#include "io/bitmap_loader.h"
#include "io/file_stream.h"
#include "memory/deferred_free_list.h"
#include "memory/tree_container.h"
#include "projects/taspo/game_constants.h"
#include "projects/taspo/game_files.h"
#include "projects/taspo/reaction_cycle.h"

DisplaySettings* displaySettings = nullptr;
AppWindow* mainWindow = nullptr;
FrameTimer* frameTimer = nullptr;
Keyboard* keyboard = nullptr;
Surface* backBuffer = nullptr;
Surface* targetImage = nullptr;
Sprite* targetSprite = nullptr;
GameEvents* gameEvents = nullptr;

const char* const TargetImageFile = "button.bmp";
const char* const ConfigFile = "taspo.cfg";
const char* const KeepHistorySetting = "KeepHistory";

namespace {

// The settings of taspo.cfg: the display's, and the one the game's shell reads.
const ConfigSetting ShellSettings[] = {{KeepHistorySetting, ET_Bool}};
const ConfigSchema GameConfigSchema = {ShellSettings, 1, &DisplayConfigSchema};

bool Fail(StartupFailure* failure, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(failure->reason, sizeof(failure->reason), format, arguments);
    va_end(arguments);
    return false;
}

// Engine memory for one object of type T, or null with the reason recorded.
template <typename T>
T* Allocate(T** object, StartupFailure* failure, const char* what) {
    *object = static_cast<T*>(EngineAlloc(sizeof(T)));
    if (*object == nullptr) {
        Fail(failure, "out of engine memory while creating %s", what);
    }
    return *object;
}

// Called once everything is torn down: the display is back in its own mode and the window gone.
// Destroying the window posted the quit message, which would close the box at once; it is taken
// from the queue first. On Linux the box is our layer's, and shows nothing beyond stderr.
void ReportFailure(const char* reason) {
    std::fprintf(stderr, "taspo: %s\n", reason);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    MessageBoxA(nullptr, reason, AppWindowTitle, MB_OK | MB_ICONERROR);
}

bool CreateMainWindow(HINSTANCE instance, int showCommand, StartupFailure* failure) {
    if (Allocate(&mainWindow, failure, "the window") == nullptr) {
        return false;
    }
    InitAppWindow(mainWindow);
    CreateAppWindow(mainWindow, instance, displaySettings->desktopWidth,
                    displaySettings->desktopHeight);
    if (mainWindow->handle == nullptr) {
        return Fail(failure, "the window could not be created");
    }
    ShowWindow(mainWindow->handle, showCommand);
    SetWindowPos(mainWindow->handle, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    UpdateWindow(mainWindow->handle);
    return true;
}

bool CreateBackBuffer(StartupFailure* failure) {
    if (Allocate(&backBuffer, failure, "the back buffer") == nullptr) {
        return false;
    }
    InitSurface(backBuffer);
    if (!CreateSurface(backBuffer, ScreenWidth, ScreenHeight)) {
        return Fail(failure, "the back buffer's pixels could not be created");
    }
    return true;
}

// Reads the target image through a stream that lives only for the load.
bool LoadTargetImage(StartupFailure* failure) {
    if (Allocate(&targetImage, failure, "the target image") == nullptr) {
        return false;
    }
    InitSurface(targetImage);
    GameFile image;
    FindGameFile(TargetImageFile, GameFileKind::Data, &image);
    if (!image.found) {
        return Fail(failure, "%s: not found in %s", TargetImageFile, image.tried);
    }
    if (image.problem[0] != '\0') {
        return Fail(failure, "%s: %s", image.path, image.problem);
    }
    FileStream stream(image.path, "rb");
    if (!stream.IsOpen()) {
        return Fail(failure, "%s: cannot open it (%s)", image.path,
                    std::strerror(stream.openError));
    }
    int32_t result = LoadBitmapFile(&stream, targetImage);
    if (result == BitmapLoaded) {
        return true;
    }
    // A directory opens but cannot be read; say so rather than call it a short file.
    if (stream.readError != 0) {
        return Fail(failure, "%s: cannot read it (%s)", image.path,
                    std::strerror(stream.readError));
    }
    return Fail(failure, "%s: %s", image.path, BitmapLoadErrorText(result));
}

template <typename T>
void Release(T** object) {
    EngineFree(*object);
    *object = nullptr;
}

}  // namespace

bool AppStartup(HINSTANCE instance, int showCommand, StartupFailure* failure) {
    failure->reason[0] = '\0';
    static char messagePrefix[] = "taspo";
    // Without a taspo.cfg anywhere every default applies.
    GameFile configFile;
    FindGameFile(ConfigFile, GameFileKind::Config, &configFile);
    if (configFile.problem[0] != '\0') {
        return Fail(failure, "%s: %s", configFile.path, configFile.problem);
    }
    if (configFile.found) {
        ConfigFileResult config =
            LoadConfigFile(configFile.path, PrintConfigMessage, messagePrefix, &GameConfigSchema);
        if (config.failed) {
            return Fail(failure, "%s: %s", configFile.path, config.failure);
        }
    }

    if (Allocate(&displaySettings, failure, "the display settings") == nullptr) {
        return false;
    }
    InitDisplaySettings(displaySettings);
    if (!CreateMainWindow(instance, showCommand, failure)) {
        return false;
    }
    if (Allocate(&frameTimer, failure, "the frame timer") == nullptr) {
        return false;
    }
    InitFrameTimer(frameTimer);
    if (Allocate(&keyboard, failure, "the keyboard") == nullptr) {
        return false;
    }
    new (keyboard) Keyboard();
    if (!CreateBackBuffer(failure) || !LoadTargetImage(failure)) {
        return false;
    }
    if (Allocate(&targetSprite, failure, "the target sprite") == nullptr) {
        return false;
    }
    InitSprite(targetSprite, targetImage, TargetColourKey);
    ResetReactionCycle(targetSprite->width, targetSprite->height);
    return true;
}

void AppShutdown() {
    if (displaySettings != nullptr) {
        DestroyDisplaySettings(displaySettings);
        displaySettings = nullptr;
    }
    if (mainWindow != nullptr) {
        if (mainWindow->created) {
            DestroyAppWindow(mainWindow);
        }
        Release(&mainWindow);
    }
    if (frameTimer != nullptr) {
        DestroyFrameTimer(frameTimer);
        frameTimer = nullptr;
    }
    Release(&keyboard);
    if (backBuffer != nullptr) {
        DestroySurface(backBuffer);
        backBuffer = nullptr;
    }
    if (targetImage != nullptr) {
        DestroySurface(targetImage);
        targetImage = nullptr;
    }
    Release(&targetSprite);
    if (deferredFreeList != nullptr) {
        DestroyDeferredFreeList();
    }
    DestroyGlobalTree();
}

int RunTaspo(HINSTANCE instance, int showCommand, GameEvents* events, uint32_t arenaSize) {
    engineHeapActive = true;
    if (!ArenaInit(ActiveArena(), arenaSize)) {
        char reason[128];
        std::snprintf(reason, sizeof(reason), "the standard heap refused the %u-byte memory arena",
                      arenaSize);
        ReportFailure(reason);
        return 1;
    }
    StartupFailure failure;
    bool started = AppStartup(instance, showCommand, &failure);
    if (started) {
        gameEvents = events;
        while (AppFrame()) {
        }
        gameEvents = nullptr;
    }
    AppShutdown();
    ArenaRelease(ActiveArena());
    // The registry lived in the region just returned; forget it rather than keep a dangling
    // pointer to it.
    ReleaseRegistry();
    if (!started) {
        ReportFailure(failure.reason);
    }
    return started ? 0 : 1;
}
