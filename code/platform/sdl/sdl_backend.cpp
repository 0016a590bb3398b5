// SDL2 under our Win32 layer. The window is presented through its window surface with SDL's
// framebuffer acceleration off, which draws several times more frames here than its default; a
// scaled window is drawn there by repeating pixels, so no filter ever blurs the picture.
#include "platform/sdl/sdl_backend.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "platform/sdl/surface_rows.h"
#include "platform/sdl/virtual_keys.h"

namespace portable {
namespace {

bool BitsMatch(const SDL_DisplayMode& mode, int bits) {
    return static_cast<int>(SDL_BITSPERPIXEL(mode.format)) == bits ||
           static_cast<int>(SDL_BYTESPERPIXEL(mode.format) * 8) == bits;
}

// SDL falls back to these when it finds no display. They show nothing, so a game started on one
// could be neither seen nor closed; only a user who names one in SDL_VIDEODRIVER gets it.
bool ShowsNothing(const char* driver) {
    static const char* const silent[] = {"offscreen", "dummy", "evdev"};
    for (const char* name : silent) {
        if (driver != nullptr && SDL_strcmp(driver, name) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

SdlBackend::SdlBackend(const ControlKeys& keys) : pads_(keys) {
    BuildScancodeTable(scancodes_);
}

SdlBackend::~SdlBackend() {
    SdlBackend::CloseWindow();  // named: during destruction no override can be reached anyway
    pads_.CloseAll();
    if (started_) {
        SDL_Quit();
    }
}

bool SdlBackend::Start() {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // the layer's main turns signals into quit
    started_ = SDL_Init(SDL_INIT_VIDEO) == 0;
    if (started_ && ShowsNothing(SDL_GetCurrentVideoDriver()) &&
        SDL_getenv("SDL_VIDEODRIVER") == nullptr) {
        SDL_Quit();
        started_ = false;
        SDL_SetError("no X11 or Wayland display was found");
    }
    // Without game controllers the game is still played on the keyboard.
    if (started_ && SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        SDL_ClearError();
    }
    return started_;
}

const char* SdlBackend::Error() const {
    return SDL_GetError();
}

bool SdlBackend::OpenWindow(HWND handle, const char* title, int x, int y, int width, int height) {
    CloseWindow();
    // Grown about the centre it was placed for; the layer's client area keeps the asked size.
    int shownWidth = width * scale_;
    int shownHeight = height * scale_;
    x = std::max(0, x - (shownWidth - width) / 2);
    y = std::max(0, y - (shownHeight - height) / 2);
    window_ = SDL_CreateWindow(title, x, y, shownWidth, shownHeight, SDL_WINDOW_HIDDEN);
    if (window_ == nullptr) {
        return false;
    }
    handle_ = handle;
    if (fullscreenWanted_) {
        ApplyFullscreen();
    }
    return true;
}

void SdlBackend::ShowWindow(bool visible) {
    if (window_ == nullptr) {
        return;
    }
    if (visible) {
        SDL_ShowWindow(window_);
        SDL_RaiseWindow(window_);
    } else {
        SDL_HideWindow(window_);
    }
}

void SdlBackend::CloseWindow() {
    if (window_ != nullptr) {
        SDL_DestroyWindow(window_);
        window_ = nullptr;
        handle_ = nullptr;
        focused_ = false;
    }
}

void SdlBackend::SetWindowScale(int scale) {
    scale_ = std::max(1, scale);
}

int SdlBackend::FittingScale(const ClientPixels& pixels, const SDL_Surface& surface) const {
    if (pixels.width <= 0 || pixels.height <= 0) {
        return 1;
    }
    int fits = std::min(surface.w / pixels.width, surface.h / pixels.height);
    return std::max(1, std::min(scale_, fits));
}

void SdlBackend::Present(const ClientPixels& pixels) {
    SDL_Surface* surface = window_ != nullptr ? SDL_GetWindowSurface(window_) : nullptr;
    if (surface == nullptr) {
        return;
    }
    // A full-screen surface is the mode's size, not the window's: the picture is scaled as far as
    // it fits (never below 1), centred, and what is still too large is cut.
    int scale = FittingScale(pixels, *surface);
    int width = SDL_min(pixels.width, surface->w / scale);
    int height = SDL_min(pixels.height, surface->h / scale);
    int left = (surface->w - width * scale) / 2;
    int top = (surface->h - height * scale) / 2;
    if (width * scale != surface->w || height * scale != surface->h) {
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));  // black borders
    }
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) {
        return;
    }
    int bytesPerPixel = surface->format->BytesPerPixel;
    size_t shownBytes = static_cast<size_t>(width) * scale * bytesPerPixel;
    for (int y = 0; y < height; ++y) {
        const uint8_t* from =
            pixels.bytes + static_cast<size_t>(pixels.height - y - 1) * pixels.stride;
        uint8_t* to = static_cast<uint8_t*>(surface->pixels) +
                      static_cast<size_t>(top + y * scale) * surface->pitch +
                      static_cast<size_t>(left) * bytesPerPixel;
        ConvertRow(from, surface->format->format, to, width);
        WidenRow(to, width, bytesPerPixel, scale);
        for (int copy = 1; copy < scale; ++copy) {
            std::memcpy(to + static_cast<size_t>(copy) * surface->pitch, to, shownBytes);
        }
    }
    if (SDL_MUSTLOCK(surface)) {
        SDL_UnlockSurface(surface);
    }
    SDL_UpdateWindowSurface(window_);
}

bool SdlBackend::WindowHasFocus() {
    return window_ != nullptr && focused_;
}

void SdlBackend::PumpEvents() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        Follow(event);
    }
    pads_.Read();
}

void SdlBackend::Follow(const SDL_Event& event) {
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            SDL_Scancode code = event.key.keysym.scancode;
            if (code > SDL_SCANCODE_UNKNOWN && code < SDL_NUM_SCANCODES) {
                down_[code] = event.type == SDL_KEYDOWN;
            }
            break;
        }
        case SDL_WINDOWEVENT:
            FollowWindow(event.window);
            break;
        case SDL_CONTROLLERDEVICEADDED:
        case SDL_CONTROLLERDEVICEREMOVED:
            pads_.Follow(event);
            break;
        case SDL_QUIT:
            RequestClose();
            break;
        default:
            break;
    }
}

void SdlBackend::FollowWindow(const SDL_WindowEvent& event) {
    if (window_ == nullptr || event.windowID != SDL_GetWindowID(window_)) {
        return;  // about a window closed since
    }
    if (event.event == SDL_WINDOWEVENT_FOCUS_GAINED || event.event == SDL_WINDOWEVENT_FOCUS_LOST) {
        focused_ = event.event == SDL_WINDOWEVENT_FOCUS_GAINED;
    } else if (event.event == SDL_WINDOWEVENT_CLOSE) {
        RequestClose();
    }
}

void SdlBackend::RequestClose() {
    if (handle_ != nullptr) {
        PostMessageA(handle_, WM_CLOSE, 0, 0);
    }
}

bool SdlBackend::IsKeyDown(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) {
        return false;
    }
    SDL_Scancode code = scancodes_[virtualKey];
    // The keyboard and the pads are held apart, so letting go of one leaves the other's press.
    return (code != SDL_SCANCODE_UNKNOWN && down_[code]) || pads_.IsKeyDown(virtualKey);
}

int64_t SdlBackend::Counter() {
    return static_cast<int64_t>(SDL_GetPerformanceCounter());
}

int64_t SdlBackend::CounterFrequency() {
    return static_cast<int64_t>(SDL_GetPerformanceFrequency());
}

void SdlBackend::YieldThread() {
    std::this_thread::yield();
}

bool SdlBackend::DesktopMode(DisplayMode* mode) {
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
        return false;
    }
    *mode =
        DisplayMode{desktop.w, desktop.h, static_cast<int>(SDL_BYTESPERPIXEL(desktop.format) * 8),
                    desktop.refresh_rate};
    return true;
}

bool SdlBackend::FindMode(const DisplayMode& request, SDL_DisplayMode* found) {
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
        return false;
    }
    int width = request.width != 0 ? request.width : desktop.w;
    int height = request.height != 0 ? request.height : desktop.h;
    int modes = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < modes; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0 || mode.w != width || mode.h != height) {
            continue;
        }
        if (request.bitsPerPixel != 0 && !BitsMatch(mode, request.bitsPerPixel)) {
            continue;
        }
        if (request.refreshRate != 0 && mode.refresh_rate != 0 &&
            mode.refresh_rate != request.refreshRate) {
            continue;
        }
        *found = mode;
        return true;
    }
    return false;
}

void SdlBackend::ApplyFullscreen() {
    SDL_SetWindowDisplayMode(window_, &fullscreenMode_);
    SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN);
}

bool SdlBackend::ChangeMode(const ModeRequest& request) {
    SDL_DisplayMode found;
    if (!FindMode(request.mode, &found)) {
        return false;
    }
    if (request.testOnly) {
        return true;
    }
    // SDL changes the mode only for a full-screen window, so that is what any change becomes.
    fullscreenWanted_ = true;
    fullscreenMode_ = found;
    if (window_ != nullptr) {
        ApplyFullscreen();
    }
    return true;
}

void SdlBackend::RestoreDesktopMode() {
    fullscreenWanted_ = false;
    if (window_ != nullptr) {
        SDL_SetWindowFullscreen(window_, 0);
    }
}

}  // namespace portable
