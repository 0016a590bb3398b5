// Every call handed on.
#include "platform/replay/forwarding_backend.h"

namespace portable {

bool ForwardingBackend::OpenWindow(HWND handle, const char* title, int x, int y, int width,
                                   int height) {
    return inner_ == nullptr || inner_->OpenWindow(handle, title, x, y, width, height);
}

void ForwardingBackend::ShowWindow(bool visible) {
    if (inner_ != nullptr) {
        inner_->ShowWindow(visible);
    }
}

void ForwardingBackend::CloseWindow() {
    if (inner_ != nullptr) {
        inner_->CloseWindow();
    }
}

void ForwardingBackend::SetWindowScale(int scale) {
    if (inner_ != nullptr) {
        inner_->SetWindowScale(scale);
    }
}

void ForwardingBackend::Present(const ClientPixels& pixels) {
    if (inner_ != nullptr) {
        inner_->Present(pixels);
    }
}

bool ForwardingBackend::WindowHasFocus() {
    return inner_ != nullptr && inner_->WindowHasFocus();
}

void ForwardingBackend::PumpEvents() {
    if (inner_ != nullptr) {
        inner_->PumpEvents();
    }
}

bool ForwardingBackend::IsKeyDown(int virtualKey) {
    return inner_ != nullptr && inner_->IsKeyDown(virtualKey);
}

int64_t ForwardingBackend::Counter() {
    return inner_ != nullptr ? inner_->Counter() : 0;
}

int64_t ForwardingBackend::CounterFrequency() {
    return inner_ != nullptr ? inner_->CounterFrequency() : 0;
}

void ForwardingBackend::YieldThread() {
    if (inner_ != nullptr) {
        inner_->YieldThread();
    }
}

void ForwardingBackend::ShowMessageBox(const char* text, const char* caption) {
    if (inner_ != nullptr) {
        inner_->ShowMessageBox(text, caption);
    }
}

bool ForwardingBackend::DesktopMode(DisplayMode* mode) {
    return inner_ != nullptr && inner_->DesktopMode(mode);
}

bool ForwardingBackend::ChangeMode(const ModeRequest& request) {
    return inner_ != nullptr && inner_->ChangeMode(request);
}

void ForwardingBackend::RestoreDesktopMode() {
    if (inner_ != nullptr) {
        inner_->RestoreDesktopMode();
    }
}

bool ForwardingBackend::ExecutablePath(char* path, uint32_t size) {
    return inner_ != nullptr ? inner_->ExecutablePath(path, size)
                             : Backend::ExecutablePath(path, size);
}

}  // namespace portable
