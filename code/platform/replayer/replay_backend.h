// Plays a replay file back: serves the recorded answers to the game in the order it asks for
// them, and compares its presented pictures with the recorded checkpoints. The first frame that
// differs is kept, with what differed. Without a window it runs as fast as the game goes; with
// one (a real backend) it shows every frame there at the pace it was recorded.
#pragma once

#include <cstdint>
#include <string>

#include "platform/replay/checkpoint_picker.h"
#include "platform/replay/forwarding_backend.h"
#include "platform/replay/replay_file.h"

namespace portable {

class ReplayBackend : public ForwardingBackend {
public:
    // `replay` must outlive the backend; `window` may be null. `watch` is where the program's
    // pictures change, as when it was recorded.
    ReplayBackend(const Replay* replay, Backend* window, const WatchedPixels& watch);

    // Once the program has returned: notes a session that ended before its recording did.
    void Finish();
    bool Matched() const { return differs_.empty(); }
    // `FILE: N frames, M checkpoints, all match`, or `FILE: frame N differs: what`.
    std::string Verdict(const char* name) const;

    bool OpenWindow(HWND handle, const char* title, int x, int y, int width, int height) override;
    void CloseWindow() override;
    void Present(const ClientPixels& pixels) override;
    bool WindowHasFocus() override;
    void PumpEvents() override;
    bool IsKeyDown(int virtualKey) override;
    int64_t Counter() override;
    int64_t CounterFrequency() override { return replay_->header.counterFrequency; }
    void YieldThread() override;
    bool DesktopMode(DisplayMode* mode) override;
    bool ChangeMode(const ModeRequest& request) override;

private:
    const ReplayFrame* Current() const;
    void Differ(const std::string& what);
    void DifferAt(uint32_t frame, const std::string& what);
    void Compare(bool taken, uint32_t present, uint64_t hash, bool last);
    void KeepPace();

    const Replay* replay_;
    HWND handle_ = nullptr;
    std::string differs_;     // the first difference, "frame N differs: ..."
    uint32_t frame_ = 0;      // the frame under way
    uint32_t counterAt_ = 0;  // next entries of the flat arrays to serve
    uint32_t keyAt_ = 0;
    uint32_t focusAt_ = 0;
    uint32_t messageAt_ = 0;
    uint32_t quitAt_ = 0;
    uint32_t checkpointAt_ = 0;
    uint32_t keyCalls_ = 0;  // this frame's
    uint32_t focusCalls_ = 0;
    uint32_t pumps_ = 0;
    uint32_t modeCalls_ = 0;
    bool keys_[256] = {};
    bool focused_ = false;
    int64_t counter_ = 0;  // the latest answer
    CheckpointPicker picker_;
    uint32_t presents_ = 0;
    bool missed_ = false;  // a recorded checkpoint not taken, at missedFrame_
    uint32_t missedFrame_ = 0;
    ClientPixels shown_{};
    bool paced_ = false;  // the window's clock has its start
    int64_t paceStart_ = 0;
    int64_t paceRecordedStart_ = 0;
};

}  // namespace portable
