// Serving a recording back and checking its pictures.
#include "platform/replayer/replay_backend.h"

#include <chrono>
#include <thread>

#include "platform/portable/session.h"

namespace portable {

ReplayBackend::ReplayBackend(const Replay* replay, Backend* window, const WatchedPixels& watch)
    : ForwardingBackend(window), replay_(replay), picker_(watch) {}

const ReplayFrame* ReplayBackend::Current() const {
    return frame_ < replay_->frames.size() ? &replay_->frames[frame_] : nullptr;
}

void ReplayBackend::Differ(const std::string& what) {
    DifferAt(frame_, what);
}

bool ReplayBackend::OpenWindow(HWND handle, const char* title, int x, int y, int width,
                               int height) {
    handle_ = handle;
    if (width != replay_->header.clientWidth || height != replay_->header.clientHeight) {
        Differ("the window's client area is " + std::to_string(width) + " by " +
               std::to_string(height) + ", recorded " +
               std::to_string(replay_->header.clientWidth) + " by " +
               std::to_string(replay_->header.clientHeight));
    }
    return ForwardingBackend::OpenWindow(handle, title, x, y, width, height);
}

void ReplayBackend::DifferAt(uint32_t frame, const std::string& what) {
    if (differs_.empty()) {
        differs_ = "frame " + std::to_string(frame) + " differs: " + what;
    }
}

// A recorded checkpoint that this presentation did not take may still be the one of the last
// picture, taken when the window closes; the next presentation settles it.
void ReplayBackend::Compare(bool taken, uint32_t present, uint64_t hash, bool last) {
    if (missed_) {
        missed_ = false;
        if (!last) {
            DifferAt(missedFrame_, "the picture is not the recorded one");
        }
    }
    const std::vector<ReplayCheckpoint>& recorded = replay_->checkpoints;
    bool expected = checkpointAt_ < recorded.size() && recorded[checkpointAt_].present == present;
    if (expected && !taken && !last) {
        missed_ = true;
        missedFrame_ = frame_;
        return;
    }
    bool same = taken && expected && recorded[checkpointAt_].hash == hash;
    if (expected) {
        ++checkpointAt_;
    }
    if ((taken || expected) && !same) {
        Differ("the picture is not the recorded one");
    }
}

void ReplayBackend::CloseWindow() {
    uint32_t present = 0;
    uint64_t hash = 0;
    if (shown_.bytes != nullptr && picker_.TakeLast(shown_, &present, &hash)) {
        Compare(true, present, hash, true);
    }
    shown_ = ClientPixels{};
    ForwardingBackend::CloseWindow();
}

void ReplayBackend::Present(const ClientPixels& pixels) {
    ForwardingBackend::Present(pixels);
    shown_ = pixels;
    int64_t frequency = replay_->header.counterFrequency;
    uint64_t hash = 0;
    bool taken = picker_.Take(presents_, pixels, counter_, frequency, &hash);
    Compare(taken, presents_, hash, false);
    ++presents_;
}

bool ReplayBackend::WindowHasFocus() {
    const ReplayFrame* frame = Current();
    uint32_t call = focusCalls_++;
    if (frame != nullptr && focusAt_ < frame->focusEnd && replay_->focus[focusAt_].call == call) {
        focused_ = replay_->focus[focusAt_++].focused;
    }
    return focused_;
}

void ReplayBackend::PumpEvents() {
    const ReplayFrame* frame = Current();
    uint32_t pump = pumps_++;
    if (frame == nullptr) {
        Differ("the game goes on past the recorded " + std::to_string(replay_->frames.size()) +
               " frames");
        PostQuitMessage(0);
        return;
    }
    if (quitAt_ < frame->quitEnd && replay_->quits[quitAt_] == pump) {
        ++quitAt_;
        PostQuitMessage(0);
    }
    if (inner_ != nullptr) {
        // The window's own events are not the program's now; closing it ends the replay.
        WatchPump(inner_, false, [](const MSG& msg) {
            if (msg.message == WM_CLOSE) {
                RequestQuit();
            }
        });
    }
    while (messageAt_ < frame->messageEnd && replay_->messages[messageAt_].pump == pump) {
        const ReplayMessage& message = replay_->messages[messageAt_++];
        PostMessageA(handle_, message.message, static_cast<WPARAM>(message.wParam),
                     static_cast<LPARAM>(message.lParam));
    }
}

bool ReplayBackend::IsKeyDown(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) {
        return false;
    }
    const ReplayFrame* frame = Current();
    uint32_t call = keyCalls_++;
    if (frame != nullptr && keyAt_ < frame->keyEnd && replay_->keys[keyAt_].call == call) {
        const ReplayKeyChange& change = replay_->keys[keyAt_++];
        if (change.key != virtualKey) {
            Differ("the game asks for key " + std::to_string(virtualKey) +
                   " where the recording has key " + std::to_string(change.key));
        } else {
            keys_[virtualKey] = change.down;
        }
    }
    return keys_[virtualKey];
}

int64_t ReplayBackend::Counter() {
    const ReplayFrame* frame = Current();
    if (frame != nullptr && counterAt_ < frame->counterEnd) {
        counter_ = replay_->counters[counterAt_++];
    } else if (frame != nullptr) {
        Differ("the game reads the counter more often than recorded");
    }
    return counter_;
}

void ReplayBackend::YieldThread() {
    const ReplayFrame* frame = Current();
    if (frame != nullptr) {
        if (counterAt_ != frame->counterEnd || keyAt_ != frame->keyEnd ||
            focusAt_ != frame->focusEnd || messageAt_ != frame->messageEnd ||
            quitAt_ != frame->quitEnd) {
            Differ("the game asks less than recorded");
        }
        counterAt_ = frame->counterEnd;
        keyAt_ = frame->keyEnd;
        focusAt_ = frame->focusEnd;
        messageAt_ = frame->messageEnd;
        quitAt_ = frame->quitEnd;
    }
    ++frame_;
    keyCalls_ = 0;
    focusCalls_ = 0;
    pumps_ = 0;
    if (inner_ != nullptr) {
        KeepPace();
    }
}

// Waits on the window's clock until it has run as long, since the first frame, as the recorded
// counter had.
void ReplayBackend::KeepPace() {
    if (!paced_) {
        paced_ = true;
        paceStart_ = inner_->Counter();
        paceRecordedStart_ = counter_;
    }
    double recorded = static_cast<double>(counter_ - paceRecordedStart_) /
                      static_cast<double>(replay_->header.counterFrequency);
    double perSecond = static_cast<double>(inner_->CounterFrequency());
    for (;;) {
        double left = recorded - static_cast<double>(inner_->Counter() - paceStart_) / perSecond;
        if (left <= 0) {
            break;
        }
        if (left > 0.002) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        inner_->YieldThread();
    }
}

bool ReplayBackend::DesktopMode(DisplayMode* mode) {
    if (replay_->header.desktopKnown) {
        *mode = replay_->header.desktop;
    }
    return replay_->header.desktopKnown;
}

bool ReplayBackend::ChangeMode(const ModeRequest& request) {
    const ReplayHeader& header = replay_->header;
    uint32_t call = modeCalls_++;
    if (call >= header.modeAnswerCount) {
        Differ("the game changes the display mode more often than recorded");
        return false;
    }
    ForwardingBackend::ChangeMode(request);
    return ((header.modeAnswers >> call) & 1) != 0;
}

void ReplayBackend::Finish() {
    if (missed_) {
        DifferAt(missedFrame_, "the picture is not the recorded one");
    }
    uint32_t recorded = static_cast<uint32_t>(replay_->frames.size());
    if (frame_ + 1 < recorded) {
        Differ("the game ended after " + std::to_string(frame_ + 1) + " of the recorded " +
               std::to_string(recorded) + " frames");
    }
    if (checkpointAt_ < replay_->checkpoints.size()) {
        Differ("the picture of presentation " +
               std::to_string(replay_->checkpoints[checkpointAt_].present) +
               " was never presented");
    }
}

std::string ReplayBackend::Verdict(const char* name) const {
    if (!Matched()) {
        return std::string(name) + ": " + differs_;
    }
    return std::string(name) + ": " + std::to_string(replay_->frames.size()) + " frames, " +
           std::to_string(replay_->checkpoints.size()) + " checkpoints, all match";
}

}  // namespace portable
