// A machine with no display. Tests and benchmarks script its clock, keys, focus, desktop and
// window messages, and read back every frame the window was shown and every display-mode change
// that was asked for.
#pragma once

#include <string>
#include <vector>

#include "platform/portable/backend.h"

namespace portable {

class HeadlessBackend : public Backend {
public:
    struct Frame {
        int width = 0;
        int height = 0;
        int stride = 0;
        std::vector<uint8_t> bytes;

        ClientPixels Pixels() const { return ClientPixels{bytes.data(), width, height, stride}; }
        uint32_t Pixel(int x, int y) const { return Pixels().Pixel(x, y); }
    };

    struct ModeChange {
        bool hasMode;         // false: back to the desktop mode
        ModeRequest request;  // what was asked for, when hasMode
        bool windowOpen;      // the window was still open when the change was asked for
    };

    // A message box as it was shown, with what was still on screen behind it.
    struct MessageBoxShown {
        std::string text;
        std::string caption;
        bool windowOpen;           // the window was still open
        size_t modeChangesBefore;  // display-mode changes asked for before it
    };

    struct WindowState {
        HWND handle = nullptr;
        bool open = false;
        bool visible = false;
        std::string title;
        int x = 0, y = 0, width = 0, height = 0;  // client area
    };

    // --- scripting ---
    void SetCounterFrequency(int64_t ticksPerSecond) { frequency_ = ticksPerSecond; }
    void SetCounter(int64_t ticks) { counter_ = ticks; }
    void AdvanceTicks(int64_t ticks) { counter_ += ticks; }
    void AdvanceSeconds(double seconds);
    // Modifiers by side, as a real keyboard has them: VK_LSHIFT, not VK_SHIFT.
    void SetKeyDown(int virtualKey, bool down);
    void SetFocus(bool focused) { focused_ = focused; }
    void SetDesktopMode(const DisplayMode& mode) { desktop_ = mode; }
    void SetDesktopAvailable(bool available) { desktopAvailable_ = available; }
    // Whether a requested mode can be set: every one can, by default.
    void SetModeSupported(bool supported) { modeSupported_ = supported; }
    // Posts a message to the open window, as the system would (WM_CLOSE for a close request).
    bool PostWindowMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Where the program's file seems to be; by default nowhere, so nothing is found beside it.
    void SetExecutablePath(const std::string& path) { executablePath_ = path; }
    // Keep a copy of every presented frame (on by default); benchmarks and soaks turn it off.
    void SetRecordFrames(bool record) { recordFrames_ = record; }

    // --- what happened ---
    const std::vector<Frame>& Frames() const { return frames_; }
    // The window's picture after the latest presentation (kept after the window closes).
    Frame LastFrame() const;
    size_t PresentCount() const { return presentCount_; }
    const std::vector<ModeChange>& ModeChanges() const { return modeChanges_; }
    const std::vector<MessageBoxShown>& MessageBoxes() const { return messageBoxes_; }
    const WindowState& Window() const { return window_; }
    // The scale the layer last asked windows to be shown at; the window itself keeps its size.
    int WindowScale() const { return windowScale_; }
    size_t YieldCount() const { return yieldCount_; }
    size_t CounterReads() const { return counterReads_; }
    size_t KeyReads() const { return keyReads_; }

    // --- Backend ---
    bool OpenWindow(HWND handle, const char* title, int x, int y, int width, int height) override;
    void ShowWindow(bool visible) override { window_.visible = visible; }
    void CloseWindow() override;
    void SetWindowScale(int scale) override { windowScale_ = scale; }
    void Present(const ClientPixels& pixels) override;
    bool WindowHasFocus() override { return window_.open && focused_; }
    void PumpEvents() override {}
    bool IsKeyDown(int virtualKey) override;
    int64_t Counter() override;
    int64_t CounterFrequency() override { return frequency_; }
    void YieldThread() override { ++yieldCount_; }
    void ShowMessageBox(const char* text, const char* caption) override {
        messageBoxes_.push_back(MessageBoxShown{text, caption, window_.open, modeChanges_.size()});
    }
    bool DesktopMode(DisplayMode* mode) override;
    bool ChangeMode(const ModeRequest& request) override;
    void RestoreDesktopMode() override;
    bool ExecutablePath(char* path, uint32_t size) override;

private:
    int64_t frequency_ = 10000000;  // Windows' usual 10 MHz
    int64_t counter_ = 1000000000;
    bool keys_[256] = {};
    bool focused_ = true;
    DisplayMode desktop_{1920, 1080, 32, 60};
    bool desktopAvailable_ = true;
    bool modeSupported_ = true;
    bool recordFrames_ = true;
    WindowState window_;
    int windowScale_ = 1;
    std::vector<Frame> frames_;
    ClientPixels shown_{};  // the open window's client pixels, valid until it closes
    Frame lastFrame_;       // a copy of them, taken when the window closes
    size_t presentCount_ = 0;
    std::vector<ModeChange> modeChanges_;
    std::vector<MessageBoxShown> messageBoxes_;
    size_t yieldCount_ = 0;
    size_t counterReads_ = 0;
    size_t keyReads_ = 0;
    std::string executablePath_;
};

}  // namespace portable
