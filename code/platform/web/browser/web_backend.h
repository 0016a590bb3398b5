// The browser under our Win32 layer: the window is the page's <canvas id="canvas">, drawn with
// the canvas 2D API; keys, canvas focus and page visibility come from DOM events, pointers and
// gamepads from the page's controls; the counter is performance.now(); yielding gives the tab
// back to the browser (Asyncify).
#pragma once

#include <vector>

#include "platform/portable/backend.h"
#include "platform/web/browser/page_controls.h"
#include "platform/web/input_queue.h"
#include "platform/web/shown_picture.h"

namespace portable {

class WebBackend : public Backend {
public:
    explicit WebBackend(const ControlKeys& keys) : controls_(&input_, keys) {}
    ~WebBackend() override;
    WebBackend(const WebBackend&) = delete;
    WebBackend& operator=(const WebBackend&) = delete;

    // From the DOM event handlers, which run while the game yields.
    void Post(InputEvent event) { input_.Push(event); }

    bool OpenWindow(HWND handle, const char* title, int x, int y, int width, int height) override;
    void ShowWindow(bool visible) override;
    void CloseWindow() override;
    void Present(const ClientPixels& pixels) override;
    bool WindowHasFocus() override { return open_ && input_.HasFocus(); }
    void PumpEvents() override;
    bool IsKeyDown(int virtualKey) override { return input_.IsKeyDown(virtualKey); }
    int64_t Counter() override;
    int64_t CounterFrequency() override { return 1000000; }  // microseconds
    void YieldThread() override;
    // The desktop is the canvas as the page lays it out; a browser tab cannot change the
    // display's mode, so every change is refused as Windows refuses a mode it cannot set.
    bool DesktopMode(DisplayMode* mode) override;
    bool ChangeMode(const ModeRequest&) override { return false; }
    void RestoreDesktopMode() override {}

private:
    void ListenToThePage();

    bool open_ = false;
    InputQueue input_;
    PageControls controls_;
    std::vector<uint8_t> rgba_;  // the frame as the canvas takes it
    ShownPicture shown_;         // what the canvas holds, to leave an equal frame out
};

// Tells the page that the program has ended with `status` (0, or 1 when it could not start;
// the reason went to stderr, which the page shows).
void ReportProgramEnd(int status);

}  // namespace portable
