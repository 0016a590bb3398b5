// The recorder around the running backend.
#include "platform/recorder/recording_backend.h"

#include <algorithm>

#include "platform/portable/session.h"
#include "random/mersenne_twister.h"

namespace portable {

RecordingBackend::RecordingBackend(Backend* inner, uint64_t dataHash, const WatchedPixels& watch)
    : ForwardingBackend(inner), picker_(watch) {
    header_.seed = RandomSeed;
    header_.buttonHash = dataHash;
}

bool RecordingBackend::OpenWindow(HWND handle, const char* title, int x, int y, int width,
                                  int height) {
    if (!inner_->OpenWindow(handle, title, x, y, width, height)) {
        return false;
    }
    header_.clientWidth = width;
    header_.clientHeight = height;
    return true;
}

void RecordingBackend::TakeLastCheckpoint() {
    ReplayCheckpoint last{};
    if (shown_.bytes != nullptr && picker_.TakeLast(shown_, &last.present, &last.hash)) {
        checkpoints_.push_back(last);
    }
}

void RecordingBackend::CloseWindow() {
    TakeLastCheckpoint();
    shown_ = ClientPixels{};
    inner_->CloseWindow();
}

void RecordingBackend::Present(const ClientPixels& pixels) {
    inner_->Present(pixels);
    shown_ = pixels;
    ReplayCheckpoint checkpoint{presents_, 0};
    if (picker_.Take(presents_, pixels, counter_, header_.counterFrequency, &checkpoint.hash)) {
        checkpoints_.push_back(checkpoint);
    }
    ++presents_;
}

bool RecordingBackend::WindowHasFocus() {
    bool focused = inner_->WindowHasFocus();
    if (focused != focused_) {
        frame_.focus.push_back(ReplayFocusChange{focusCalls_, focused});
        focused_ = focused;
    }
    ++focusCalls_;
    return focused;
}

void RecordingBackend::PumpEvents() {
    if (QuitRequestsTaken() != quitsSeen_) {
        quitsSeen_ = QuitRequestsTaken();
        frame_.quits.push_back(pumps_);
    }
    WatchPump(inner_, true, [this](const MSG& msg) {
        frame_.messages.push_back(ReplayMessage{pumps_, msg.message,
                                                static_cast<uint64_t>(msg.wParam),
                                                static_cast<int64_t>(msg.lParam)});
    });
    ++pumps_;
}

// Out of line: the game asks for every key every frame, and only a change is written down.
void RecordingBackend::NoteKey(int virtualKey, bool down) {
    frame_.keys.push_back(ReplayKeyChange{keyCalls_, static_cast<uint8_t>(virtualKey), down});
    keys_[virtualKey] = down;
}

bool RecordingBackend::IsKeyDown(int virtualKey) {
    bool down = inner_->IsKeyDown(virtualKey);
    if (virtualKey >= 0 && virtualKey < 256) {
        if (down != keys_[virtualKey]) {
            NoteKey(virtualKey, down);
        }
        ++keyCalls_;
    }
    return down;
}

int64_t RecordingBackend::Counter() {
    // A counter never runs backwards; were one to, the game is handed the value written down.
    counter_ = std::max(counter_, inner_->Counter());
    frame_.counters.push_back(counter_);
    return counter_;
}

int64_t RecordingBackend::CounterFrequency() {
    if (header_.counterFrequency == 0) {
        header_.counterFrequency = inner_->CounterFrequency();
    }
    return header_.counterFrequency;
}

void RecordingBackend::YieldThread() {
    frames_.Append(frame_);
    frame_.Clear();
    keyCalls_ = 0;
    focusCalls_ = 0;
    pumps_ = 0;
    inner_->YieldThread();
}

bool RecordingBackend::DesktopMode(DisplayMode* mode) {
    if (!desktopAsked_) {
        desktopAsked_ = true;
        header_.desktopKnown = inner_->DesktopMode(&header_.desktop);
    }
    if (header_.desktopKnown) {
        *mode = header_.desktop;
    }
    return header_.desktopKnown;
}

bool RecordingBackend::ChangeMode(const ModeRequest& request) {
    bool changed = inner_->ChangeMode(request);
    if (header_.modeAnswerCount < ReplayMaxModeAnswers) {
        header_.modeAnswers |= (changed ? 1u : 0u) << header_.modeAnswerCount;
        ++header_.modeAnswerCount;
    }
    return changed;
}

std::vector<uint8_t> RecordingBackend::Finish() {
    TakeLastCheckpoint();
    frames_.Append(frame_);
    frame_.Clear();
    CounterFrequency();
    return EncodeReplay(header_, frames_, checkpoints_);
}

}  // namespace portable
