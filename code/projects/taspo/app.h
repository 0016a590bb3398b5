// The game's process-wide objects, its start-up and teardown, and the whole program's run.
#pragma once

#include <cstdint>

#include "memory/arena.h"
#include "platform/app_window.h"
#include "render/surface.h"

extern AppWindow* mainWindow;
extern Surface* backBuffer;

// Builds every object in order. Returns false when something the frame loop needs could not be
// made; `failure` then holds a one-line reason. Whatever was built stays for AppShutdown.
bool AppStartup(HINSTANCE instance, int showCommand);

// One frame; false ends the program.
bool AppFrame();

// Destroys every object that exists, in order, and leaves every pointer null.
void AppShutdown();

// The reason the last AppStartup failed, or an empty string.
const char* StartupFailure();

// The program: switches allocation to an arena of arenaSize bytes, starts up, runs frames until
// one says stop, tears down and returns the region. Returns 0, or 1 after reporting on stderr
// (and in a message box on Windows) why it could not start.
int RunTaspo(HINSTANCE instance, int showCommand, uint32_t arenaSize = EngineArenaSize);
