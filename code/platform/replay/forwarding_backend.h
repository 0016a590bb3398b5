// A backend that hands every call on to the one it wraps, when it wraps one: the base of the
// recorder and the replayer, which override only the calls they note or answer themselves.
// Without an inner backend a call does nothing and answers no: no window, no focus, no keys.
#pragma once

#include "platform/portable/backend.h"

namespace portable {

class ForwardingBackend : public Backend {
public:
    explicit ForwardingBackend(Backend* inner) : inner_(inner) {}

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
    void ShowMessageBox(const char* text, const char* caption) override;
    bool DesktopMode(DisplayMode* mode) override;
    bool ChangeMode(const ModeRequest& request) override;
    void RestoreDesktopMode() override;
    bool ExecutablePath(char* path, uint32_t size) override;

protected:
    Backend* inner_;  // may be null
};

}  // namespace portable
