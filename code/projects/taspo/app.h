// The game's process-wide objects, its start-up and teardown, and the whole program's run.
#pragma once

#include <cstdint>

#include "input/keyboard.h"
#include "memory/arena.h"
#include "platform/app_window.h"
#include "platform/display_settings.h"
#include "projects/taspo/game_events.h"
#include "render/sprite.h"
#include "render/surface.h"
#include "timing/frame_timer.h"

// Each is null before start-up makes it and again after teardown.
extern DisplaySettings* displaySettings;
extern AppWindow* mainWindow;
extern FrameTimer* frameTimer;
extern Keyboard* keyboard;
extern Surface* backBuffer;
extern Surface* targetImage;
extern Sprite* targetSprite;
// Who is told what happens in the game; null: nobody. The shell sets it for a run.
extern GameEvents* gameEvents;

// Each is read from the working directory, else from its folder of file_places.h.
extern const char* const TargetImageFile;  // "button.bmp"
extern const char* const ConfigFile;       // "taspo.cfg", optional
// A setting of taspo.cfg for the game's shell: false keeps no history of the games played.
extern const char* const KeepHistorySetting;  // "KeepHistory"
constexpr uint32_t TargetColourKey = 0xFF00FF;

// Why start-up stopped: one line, e.g. `button.bmp: not a BMP file (signature is not "BM")`,
// naming the file by the path it was read from.
struct StartupFailure {
    char reason[1280];
};

// Builds every object in order. Returns false, with the reason in `failure`, when something the
// frame loop needs could not be made; whatever was built is left for AppShutdown.
bool AppStartup(HINSTANCE instance, int showCommand, StartupFailure* failure);

// One frame; false ends the program.
bool AppFrame();

// Destroys every object that exists, in order, and leaves every pointer null.
void AppShutdown();

// The program: switches allocation to an arena of arenaSize bytes, starts up, runs frames until
// one says stop, tears down and returns the region, telling `events` what happened meanwhile.
// Returns 0; or 1 after reporting on stderr (and in a message box on Windows) why the game could
// not start.
int RunTaspo(HINSTANCE instance, int showCommand, GameEvents* events = nullptr,
             uint32_t arenaSize = EngineArenaSize);
