// Display settings: construction from the registry, the mode switch and its undoing.
#include "platform/display_settings.h"

#include <cstring>

#include "config/variable_registry.h"
#include "platform/app_window.h"
#include "platform/win32.h"
#include "platform/window_scale.h"

namespace {

const ConfigSetting DisplayConfigSettings[] = {
    {"DisplayWidth", ET_Int}, {"DisplayHeight", ET_Int}, {"Fullscreen", ET_Bool},
    {"DisplayDepth", ET_Int}, {"DisplayRate", ET_Int},   {"WindowScale", ET_Int},
};

}  // namespace

const ConfigSchema DisplayConfigSchema = {
    DisplayConfigSettings, sizeof(DisplayConfigSettings) / sizeof(DisplayConfigSettings[0])};

namespace {

// Each key is hashed on its first read and kept for the life of the process.
int32_t ReadDisplayWidth() {
    static ConfigKey key = {"DisplayWidth", 0, false};
    return ReadInt(&key, 0);
}
int32_t ReadDisplayHeight() {
    static ConfigKey key = {"DisplayHeight", 0, false};
    return ReadInt(&key, 0);
}
bool ReadFullscreen() {
    static ConfigKey key = {"Fullscreen", 0, false};
    return ReadBool(&key, false);
}
int32_t ReadDisplayDepth() {
    static ConfigKey key = {"DisplayDepth", 0, false};
    return ReadInt(&key, 32);
}
int32_t ReadDisplayRate() {
    static ConfigKey key = {"DisplayRate", 0, false};
    return ReadInt(&key, 60);
}
int32_t ReadWindowScale() {
    static ConfigKey key = {"WindowScale", 0, false};
    return ReadInt(&key, 0);
}

// Width over height as unsigned values in double precision; a zero height, the default, has no
// ratio and gives 0 rather than an infinity or a NaN.
float AspectRatio(uint32_t width, uint32_t height) {
    if (height == 0) {
        return 0.0f;
    }
    return static_cast<float>(static_cast<double>(width) / static_cast<double>(height));
}

void ReadDesktopSize(DisplaySettings* settings) {
    DEVMODEA desktop;
    std::memset(&desktop, 0, sizeof(desktop));
    desktop.dmSize = sizeof(DEVMODEA);
    if (!EnumDisplaySettingsA(nullptr, ENUM_REGISTRY_SETTINGS, &desktop)) {
        settings->desktopWidth = 0;
        settings->desktopHeight = 0;
        return;
    }
    settings->desktopWidth = static_cast<int32_t>(desktop.dmPelsWidth);
    settings->desktopHeight = static_cast<int32_t>(desktop.dmPelsHeight);
}

DWORD FieldIf(int32_t value, DWORD field) {
    return value > 0 ? field : 0;
}

}  // namespace

int32_t ResolveWindowScale(int32_t setting, int32_t desktopWidth, int32_t desktopHeight) {
    int32_t scale = setting;
    if (setting == 0) {
        // N * client <= desktop / 2 for both sides, in whole numbers.
        scale = desktopWidth / (2 * AppClientWidth);
        if (desktopHeight / (2 * AppClientHeight) < scale) {
            scale = desktopHeight / (2 * AppClientHeight);
        }
    }
    if (scale < 1) {
        return 1;
    }
    return scale < MaxWindowScale ? scale : MaxWindowScale;
}

void InitDisplaySettings(DisplaySettings* settings) {
    std::memset(settings, 0, sizeof(DisplaySettings));
    settings->entries.releaseOnClear = 1;
    settings->displayWidth = static_cast<uint32_t>(ReadDisplayWidth());
    settings->displayHeight = static_cast<uint32_t>(ReadDisplayHeight());
    settings->aspectRatio = AspectRatio(settings->displayWidth, settings->displayHeight);
    settings->fullscreen = ReadFullscreen();
    // Read before any switch: the window is centred on the desktop, not on the full-screen mode.
    ReadDesktopSize(settings);
    settings->windowScale =
        ResolveWindowScale(ReadWindowScale(), settings->desktopWidth, settings->desktopHeight);
    SetWindowScale(settings->windowScale);
    ApplyDisplayMode(settings);
}

void ApplyDisplayMode(DisplaySettings* settings) {
    if (!settings->fullscreen) {
        ChangeDisplaySettingsA(nullptr, 0);
        return;
    }
    int32_t rate = ReadDisplayRate();
    int32_t depth = ReadDisplayDepth();
    SetDisplayMode(rate, depth, settings->fullscreen, static_cast<int32_t>(settings->displayWidth),
                   static_cast<int32_t>(settings->displayHeight));
}

void SetDisplayMode(int32_t rate, int32_t depth, bool fullscreen, int32_t width, int32_t height) {
    DEVMODEA mode;
    std::memset(&mode, 0, sizeof(mode));
    mode.dmSize = sizeof(DEVMODEA);
    mode.dmBitsPerPel = static_cast<DWORD>(depth);
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmDisplayFrequency = static_cast<DWORD>(rate);
    mode.dmFields = FieldIf(depth, DM_BITSPERPEL) | FieldIf(width, DM_PELSWIDTH) |
                    FieldIf(height, DM_PELSHEIGHT) | FieldIf(rate, DM_DISPLAYFREQUENCY);
    DWORD flags = fullscreen ? CDS_FULLSCREEN : 0;
    if (ChangeDisplaySettingsA(&mode, flags | CDS_TEST) == DISP_CHANGE_SUCCESSFUL) {
        ChangeDisplaySettingsA(&mode, flags);
    }
}

void DestroyDisplaySettings(DisplaySettings* settings) {
    if (settings->fullscreen) {
        ChangeDisplaySettingsA(nullptr, 0);
    }
    settings->entries.Clear();
    settings->entries.Destroy();
    EngineFree(settings);
}
