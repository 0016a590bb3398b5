// The real machine under our Win32 layer: an SDL2 window presented through its window surface,
// the SDL keyboard read by Windows virtual-key code, SDL's counter and display modes. Keys and
// focus are what the events polled so far said, which is what SDL builds its own keyboard state
// and window flags from; so SDL_PushEvent drives them in a test as the desktop does. Game
// controllers hold keys of their own beside the keyboard's.
#pragma once

#include <SDL.h>

#include "platform/portable/backend.h"
#include "platform/sdl/gamepads.h"

namespace portable {

class SdlBackend : public Backend {
public:
    // `keys`: what the pads' buttons stand for.
    explicit SdlBackend(const ControlKeys& keys);
    ~SdlBackend() override;
    SdlBackend(const SdlBackend&) = delete;
    SdlBackend& operator=(const SdlBackend&) = delete;

    // Starts SDL's video; false (with SDL's reason in Error()) when there is no display.
    bool Start();
    const char* Error() const;

    bool OpenWindow(HWND handle, const char* title, int x, int y, int width, int height) override;
    void ShowWindow(bool visible) override;
    void CloseWindow() override;
    void SetWindowScale(int scale) override;
    void Present(const ClientPixels& pixels) override;
    bool WindowHasFocus() override;
    void PumpEvents() override;
    bool IsKeyDown(int virtualKey) override;
    int64_t Counter() override;
    int64_t CounterFrequency() override;
    void YieldThread() override;
    bool DesktopMode(DisplayMode* mode) override;
    bool ChangeMode(const ModeRequest& request) override;
    void RestoreDesktopMode() override;

private:
    void Follow(const SDL_Event& event);
    void FollowWindow(const SDL_WindowEvent& event);
    void RequestClose();
    bool FindMode(const DisplayMode& request, SDL_DisplayMode* found);
    void ApplyFullscreen();
    int FittingScale(const ClientPixels& pixels, const SDL_Surface& surface) const;

    bool started_ = false;
    SDL_Window* window_ = nullptr;
    HWND handle_ = nullptr;
    SDL_Scancode scancodes_[256];
    bool down_[SDL_NUM_SCANCODES] = {};
    Gamepads pads_;
    int scale_ = 1;
    bool focused_ = false;
    bool fullscreenWanted_ = false;
    SDL_DisplayMode fullscreenMode_{};
};

}  // namespace portable
