// Records a session: wraps the running backend, forwards every call and writes down what each
// frame's calls returned, in the form of a replay file. What it hands the game is exactly what
// it writes down. The presented pictures also feed a live SessionReport.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/portable/backend.h"
#include "platform/portable/replay/checkpoint_picker.h"
#include "platform/portable/replay/replay_file.h"
#include "platform/portable/replay/session_report.h"

namespace portable {

class RecordingBackend : public Backend {
public:
    // `inner` answers and shows; `buttonHash` is the ReplayHash of the button.bmp played.
    RecordingBackend(Backend* inner, uint64_t buttonHash);

    // The replay file of the session, once the program has returned. Call it once.
    std::vector<uint8_t> Finish();
    // The reaction times so far.
    const SessionReport& Report() const { return report_; }
    uint32_t FramesRecorded() const { return frames_.FrameCount(); }

    bool OpenWindow(HWND handle, const char* title, int x, int y, int width, int height) override;
    void ShowWindow(bool visible) override { inner_->ShowWindow(visible); }
    void CloseWindow() override;
    void SetWindowScale(int scale) override { inner_->SetWindowScale(scale); }
    void Present(const ClientPixels& pixels) override;
    bool WindowHasFocus() override;
    void PumpEvents() override;
    bool IsKeyDown(int virtualKey) override;
    int64_t Counter() override;
    int64_t CounterFrequency() override;
    void YieldThread() override;
    void ShowMessageBox(const char* text, const char* caption) override {
        inner_->ShowMessageBox(text, caption);
    }
    bool DesktopMode(DisplayMode* mode) override;
    bool ChangeMode(const ModeRequest& request) override;
    void RestoreDesktopMode() override { inner_->RestoreDesktopMode(); }
    bool ExecutablePath(char* path, uint32_t size) override {
        return inner_->ExecutablePath(path, size);
    }

private:
    void TakeLastCheckpoint();
    [[gnu::noinline]] void NoteKey(int virtualKey, bool down);

    Backend* inner_;
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
    SessionReport report_;
};

}  // namespace portable
