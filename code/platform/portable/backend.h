// What our Win32 layer needs from the machine underneath: one window that shows frames, the
// keyboard, the focus, a counter and the display modes, asked in our own types; the layer turns
// Win32's into them. SdlBackend serves a real desktop, WebBackend a browser tab and
// HeadlessBackend, scripted and recorded, the tests and benchmarks. The fuzzers install none:
// the memory device contexts and DIB sections they reach need no machine.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/portable/win32_api.h"

namespace portable {

// A window's client pixels as GDI keeps them: 24-bit, rows bottom-up, stride a multiple of 4.
struct ClientPixels {
    const uint8_t* bytes;
    int width;
    int height;
    int stride;

    // The colour 0x00RRGGBB at (x, y), y counted from the top.
    uint32_t Pixel(int x, int y) const {
        const uint8_t* p = bytes + static_cast<intptr_t>(height - y - 1) * stride + 3 * x;
        return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
    }
};

struct DisplayMode {
    int width;
    int height;
    int bitsPerPixel;
    int refreshRate;
};

// A display-mode change as a backend is asked for it. A property of 0 keeps the desktop's.
struct ModeRequest {
    DisplayMode mode;
    bool testOnly;    // only whether the mode could be set (CDS_TEST)
    bool fullscreen;  // for a full-screen window, not kept past the program (CDS_FULLSCREEN)
};

class Backend {
public:
    virtual ~Backend() = default;

    // The layer keeps at most one window open on a backend. It is created hidden, at a client
    // position and size; `handle` is what the backend posts the window's messages to.
    virtual bool OpenWindow(HWND handle, const char* title, int x, int y, int width,
                            int height) = 0;
    virtual void ShowWindow(bool visible) = 0;
    virtual void CloseWindow() = 0;
    // How many times wider and higher than its client area the next window is shown, each client
    // pixel a square of that many; 1 until the display settings say otherwise. Only a window on a
    // desktop is scaled: a browser's page sizes its own canvas, and the tests want the client.
    virtual void SetWindowScale(int scale) { static_cast<void>(scale); }
    virtual void Present(const ClientPixels& pixels) = 0;
    virtual bool WindowHasFocus() = 0;

    // Turns what happened outside since the last call into posted messages. Called by
    // PeekMessageA before it looks at the queue.
    virtual void PumpEvents() = 0;
    // Whether a key is down, by its Windows virtual-key code 0..255. Modifiers are asked for by
    // side (VK_LSHIFT, VK_RCONTROL, ...); the layer answers VK_SHIFT, VK_CONTROL and VK_MENU from
    // both, so a backend is never asked for those.
    virtual bool IsKeyDown(int virtualKey) = 0;

    virtual int64_t Counter() = 0;
    virtual int64_t CounterFrequency() = 0;
    virtual void YieldThread() = 0;

    // A modal message box, shown until the user closes it. A real desktop has the text on stderr
    // already, so by default nothing more is shown.
    virtual void ShowMessageBox(const char* text, const char* caption) {
        static_cast<void>(text);
        static_cast<void>(caption);
    }

    virtual bool DesktopMode(DisplayMode* mode) = 0;
    // True when the mode could be set (testOnly) or was set.
    virtual bool ChangeMode(const ModeRequest& request) = 0;
    virtual void RestoreDesktopMode() = 0;

    // The running program's file, from which the data installed beside it is found: fills `path`
    // (`size` bytes with the terminator) and returns true, or false when it cannot tell. The real
    // machine's answer, /proc/self/exe, unless a backend places the program elsewhere.
    virtual bool ExecutablePath(char* path, uint32_t size);
};

// Makes `backend` the machine the layer talks to and starts a fresh session on it: no windows,
// classes or queued messages carry over. Returns the backend it replaces.
Backend* InstallBackend(Backend* backend);
Backend& CurrentBackend();

// The instance handle that the layer's main passes to WinMain.
HINSTANCE ModuleInstance();

// Memory device contexts and DIB sections of the current session created and not yet deleted,
// so tests can see that every one is given back.
size_t LiveGdiObjects();

// Safe to call from a signal handler: the next PeekMessageA posts the quit message.
void RequestQuit();

// Installs a backend for the life of a scope and puts the previous one back after it.
class ScopedBackend {
public:
    explicit ScopedBackend(Backend* backend) : previous_(InstallBackend(backend)) {}
    ~ScopedBackend() { InstallBackend(previous_); }
    ScopedBackend(const ScopedBackend&) = delete;
    ScopedBackend& operator=(const ScopedBackend&) = delete;

private:
    Backend* previous_;
};

}  // namespace portable
