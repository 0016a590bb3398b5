// The scripted, recording machine behind tests and benchmarks.
#include "platform/headless/headless_backend.h"

#include <cmath>
#include <cstring>

namespace portable {

void HeadlessBackend::AdvanceSeconds(double seconds) {
    counter_ += static_cast<int64_t>(std::llround(seconds * static_cast<double>(frequency_)));
}

void HeadlessBackend::SetKeyDown(int virtualKey, bool down) {
    if (virtualKey >= 0 && virtualKey < 256) {
        keys_[virtualKey] = down;
    }
}

bool HeadlessBackend::PostWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return window_.open && PostMessageA(window_.handle, message, wParam, lParam) != FALSE;
}

bool HeadlessBackend::OpenWindow(HWND handle, const char* title, int x, int y, int width,
                                 int height) {
    window_ = WindowState{handle, true, false, title, x, y, width, height};
    return true;
}

namespace {

HeadlessBackend::Frame Copy(const ClientPixels& pixels) {
    HeadlessBackend::Frame frame;
    frame.width = pixels.width;
    frame.height = pixels.height;
    frame.stride = pixels.stride;
    if (pixels.bytes != nullptr) {
        frame.bytes.assign(pixels.bytes,
                           pixels.bytes + static_cast<size_t>(pixels.stride) * pixels.height);
    }
    return frame;
}

}  // namespace

void HeadlessBackend::CloseWindow() {
    if (shown_.bytes != nullptr) {
        lastFrame_ = Copy(shown_);
        shown_ = ClientPixels{};
    }
    window_ = WindowState{};
}

void HeadlessBackend::Present(const ClientPixels& pixels) {
    ++presentCount_;
    shown_ = pixels;
    if (recordFrames_) {
        frames_.push_back(Copy(pixels));
    }
}

HeadlessBackend::Frame HeadlessBackend::LastFrame() const {
    return shown_.bytes != nullptr ? Copy(shown_) : lastFrame_;
}

bool HeadlessBackend::IsKeyDown(int virtualKey) {
    ++keyReads_;
    return virtualKey >= 0 && virtualKey < 256 && keys_[virtualKey];
}

int64_t HeadlessBackend::Counter() {
    ++counterReads_;
    return counter_;
}

bool HeadlessBackend::DesktopMode(DisplayMode* mode) {
    if (!desktopAvailable_) {
        return false;
    }
    *mode = desktop_;
    return true;
}

bool HeadlessBackend::ChangeMode(const ModeRequest& request) {
    modeChanges_.push_back(ModeChange{true, request, window_.open});
    return modeSupported_;
}

void HeadlessBackend::RestoreDesktopMode() {
    modeChanges_.push_back(ModeChange{false, ModeRequest{}, window_.open});
}

bool HeadlessBackend::ExecutablePath(char* path, uint32_t size) {
    if (executablePath_.empty() || executablePath_.size() >= size) {
        return false;
    }
    std::memcpy(path, executablePath_.c_str(), executablePath_.size() + 1);
    return true;
}

}  // namespace portable
