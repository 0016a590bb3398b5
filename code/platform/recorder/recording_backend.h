// Records a session: wraps the running backend, forwards every call and writes down what each
// frame's calls returned, in the form of a replay file. What it hands the program is exactly
// what it writes down.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/replay/checkpoint_picker.h"
#include "platform/replay/forwarding_backend.h"
#include "platform/replay/replay_file.h"

namespace portable {

class RecordingBackend : public ForwardingBackend {
public:
    // `inner` answers and shows; `dataHash` is the ReplayHash of the data file played, `watch`
    // where its pictures change.
    RecordingBackend(Backend* inner, uint64_t dataHash, const WatchedPixels& watch);

    // The replay file of the session, once the program has returned. Call it once.
    std::vector<uint8_t> Finish();

    bool OpenWindow(HWND handle, const char* title, int x, int y, int width, int height) override;
    void CloseWindow() override;
    void Present(const ClientPixels& pixels) override;
    bool WindowHasFocus() override;
    void PumpEvents() override;
    bool IsKeyDown(int virtualKey) override;
    int64_t Counter() override;
    int64_t CounterFrequency() override;
    void YieldThread() override;
    bool DesktopMode(DisplayMode* mode) override;
    bool ChangeMode(const ModeRequest& request) override;

private:
    void TakeLastCheckpoint();
    [[gnu::noinline]] void NoteKey(int virtualKey, bool down);

    ReplayHeader header_;
    bool desktopAsked_ = false;
    ReplayFrameWriter frames_;
    ReplayFrameEvents frame_;  // the frame under way
    uint32_t keyCalls_ = 0;    // this frame's
    uint32_t focusCalls_ = 0;
    uint32_t pumps_ = 0;
    bool keys_[256] = {};  // the latest answer for each key
    bool focused_ = false;
    int64_t counter_ = 0;  // the latest answer
    uint64_t quitsSeen_ = 0;
    std::vector<ReplayCheckpoint> checkpoints_;
    CheckpointPicker picker_;
    uint32_t presents_ = 0;
    ClientPixels shown_{};  // the open window's latest picture
};

}  // namespace portable
