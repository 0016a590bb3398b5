// The browser's input events, applied a frame at a time.
#include "platform/web/input_queue.h"

#include "platform/portable/win32_api.h"

namespace portable {
namespace {

bool IsKeyCode(int virtualKey) {
    return virtualKey > 0 && virtualKey < 256;
}

bool IsMetaKey(int virtualKey) {
    return virtualKey == VK_LWIN || virtualKey == VK_RWIN;
}

void ReleaseKeys(bool (&keys)[256]) {
    for (bool& key : keys) {
        key = false;
    }
}

bool AnyPressed(const bool (&pressed)[256]) {
    for (bool key : pressed) {
        if (key) {
            return true;
        }
    }
    return false;
}

}  // namespace

void InputQueue::Reset(bool canvasFocused, bool pageVisible) {
    events_.clear();
    ReleaseAllKeys();
    canvasFocused_ = canvasFocused;
    pageVisible_ = pageVisible;
}

void InputQueue::Push(InputEvent event) {
    bool keyEvent = event.kind == InputKind::KeyDown || event.kind == InputKind::KeyUp;
    if (keyEvent && !IsKeyCode(event.virtualKey)) {
        return;
    }
    events_.push_back(event);
}

void InputQueue::ReleaseAllKeys() {
    for (KeyTable& keys : down_) {
        ReleaseKeys(keys);
    }
}

void InputQueue::Apply() {
    constexpr int Keyboard = static_cast<int>(InputSource::Keyboard);
    KeyTable pressedNow[InputSourceCount] = {};
    while (!events_.empty()) {
        const InputEvent& event = events_.front();
        int source = static_cast<int>(event.source);
        switch (event.kind) {
            case InputKind::KeyDown:
                if (!down_[source][event.virtualKey]) {
                    pressedNow[source][event.virtualKey] = true;
                }
                down_[source][event.virtualKey] = true;
                break;
            case InputKind::KeyUp:
                if (pressedNow[source][event.virtualKey]) {
                    return;  // the frame sees it held; the release waits for the next one
                }
                if (source == Keyboard && IsMetaKey(event.virtualKey)) {
                    // Releases other keys had while Meta was down never came.
                    if (AnyPressed(pressedNow[Keyboard])) {
                        return;
                    }
                    ReleaseKeys(down_[Keyboard]);
                    break;
                }
                down_[source][event.virtualKey] = false;
                break;
            case InputKind::CanvasFocused:
                canvasFocused_ = true;
                break;
            // Without the keyboard no release would reach us: let go of everything.
            case InputKind::CanvasBlurred:
                canvasFocused_ = false;
                ReleaseAllKeys();
                break;
            case InputKind::PageShown:
                pageVisible_ = true;
                break;
            case InputKind::PageHidden:
                pageVisible_ = false;
                ReleaseAllKeys();
                break;
            case InputKind::WindowBlurred:
                ReleaseAllKeys();
                break;
        }
        events_.pop_front();
    }
}

bool InputQueue::IsKeyDown(int virtualKey) const {
    if (!IsKeyCode(virtualKey)) {
        return false;
    }
    for (const KeyTable& keys : down_) {
        if (keys[virtualKey]) {
            return true;
        }
    }
    return false;
}

}  // namespace portable
