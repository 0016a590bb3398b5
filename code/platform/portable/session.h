// The state of the desktop our Win32 layer emulates: registered classes, live windows, device
// contexts and bitmaps, and the thread's message queue. Handles are pointers to these records;
// every call checks a handle against the live set first, as Windows does, so a stale or foreign
// handle fails the call instead of touching freed memory.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/portable/backend.h"

namespace portable {

enum class GdiKind { Bitmap, Brush, MemoryDC, WindowDC };

struct GdiObject {
    explicit GdiObject(GdiKind k) : kind(k) {}
    GdiKind kind;
};

// A 24-bit DIB section, rows bottom-up.
struct Bitmap : GdiObject {
    Bitmap() : GdiObject(GdiKind::Bitmap) {}
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<uint8_t> bits;
};

struct Window;

struct DeviceContext : GdiObject {
    explicit DeviceContext(GdiKind k) : GdiObject(k) {}
    GdiObject* selected = nullptr;
    Window* window = nullptr;  // set for a window's own context
};

struct WindowClass {
    std::string name;
    HINSTANCE instance;
    WNDPROC procedure;
};

struct Window {
    std::string className;
    std::string title;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    bool visible = false;
    Bitmap client;  // what the window shows, in the layout of a DIB section
    DeviceContext context{GdiKind::WindowDC};
};

struct Session {
    std::vector<WindowClass> classes;
    std::unordered_set<Window*> windows;
    std::unordered_set<GdiObject*> gdiObjects;
    std::deque<MSG> queue;
    bool quitPosted = false;
    int quitCode = 0;

    ~Session();

    WindowClass* FindClass(const char* name, HINSTANCE instance);
    Window* FindWindow(HWND handle);
    DeviceContext* FindContext(HDC handle);
    GdiObject* FindObject(HGDIOBJ handle);
};

Session& CurrentSession();

// Ends the current session (destroying what it holds) and starts an empty one.
void ResetSession();

// Runs `backend`'s PumpEvents and shows `seen` every message it posted, in order: for a backend
// wrapped around another, which notes them or, with `keep` false, takes them back off the queue
// so the program never sees them.
void WatchPump(Backend* backend, bool keep, const std::function<void(const MSG&)>& seen);

// True once RequestQuit has been called since the last check; clears the request.
bool TakeQuitRequest();

// How many requests TakeQuitRequest has taken since the backend was installed, so a recording
// can note the pump at which one turned into the quit message.
uint64_t QuitRequestsTaken();

// Bytes per row of a DIB of that width and depth: rounded up to a multiple of 4.
inline int DibStride(int width, int bitsPerPixel) {
    return static_cast<int>(((static_cast<int64_t>(width) * bitsPerPixel + 31) / 32) * 4);
}

}  // namespace portable
