// The display configuration: the requested mode read from the registry, the desktop's size for
// centring the window, and, when full screen is configured, the switch to the requested mode
// and back again at teardown.
#pragma once

#include <cstdint>

#include "config/config_file.h"
#include "memory/array.h"

// The six settings the display reads, for the configuration reader to check a file against.
extern const ConfigSchema DisplayConfigSchema;

struct DisplaySettings {
    uint32_t displayWidth;   // DisplayWidth, default 0
    uint32_t displayHeight;  // DisplayHeight, default 0
    int32_t desktopWidth;    // of the desktop's mode in the registry settings; 0 if unknown
    int32_t desktopHeight;
    float aspectRatio;        // displayWidth / displayHeight; 0 while displayHeight is 0
    bool fullscreen;          // Fullscreen, default false
    int32_t windowScale;      // WindowScale as the window is shown: 1 to MaxWindowScale
    Array<uint64_t> entries;  // empty: nothing fills it; released with the settings
};

// The largest window scale, set or automatic: 16 times as wide and high.
constexpr int32_t MaxWindowScale = 16;

// The scale a WindowScale setting shows the window at on a desktop of the given size. 1 or more
// is taken as it is, up to MaxWindowScale, and below 0 as 1. 0, the default, is the largest whole
// scale at which the client area is at most half the desktop's width and half its height: 1 on
// 1920 by 1080, 2 on 3840 by 2160; never less than 1, as on a small or unknown (0 by 0) desktop.
int32_t ResolveWindowScale(int32_t setting, int32_t desktopWidth, int32_t desktopHeight);

// Constructs the settings in a record from EngineAlloc: reads DisplayWidth, DisplayHeight and
// Fullscreen, records the desktop size, resolves WindowScale on it and hands the scale to the
// system (SetWindowScale) for the window, then ApplyDisplayMode. When the desktop mode cannot be
// queried the desktop size is 0 by 0, so the window ends up at the desktop's top left.
void InitDisplaySettings(DisplaySettings* settings);

// Windowed: returns the display to its registry mode. Full screen: reads DisplayRate (default
// 60) and DisplayDepth (default 32) and switches with SetDisplayMode.
void ApplyDisplayMode(DisplaySettings* settings);

// Tests the mode (flags | CDS_TEST) and sets it only when the test succeeds. A width, height,
// depth or rate of 0 or less is written but left out of dmFields, so the current one stays.
void SetDisplayMode(int32_t rate, int32_t depth, bool fullscreen, int32_t width, int32_t height);

// Restores the registry mode when full screen was configured (whether or not the switch
// succeeded), releases `entries`, then the record itself with EngineFree, as DestroySurface does.
void DestroyDisplaySettings(DisplaySettings* settings);
