// The game's one top-level window: fixed size, client area exactly the back buffer's, centred on
// the desktop, with one device context held for its whole life.
#pragma once

#include <cstdint>

#include "platform/win32.h"

constexpr int AppClientWidth = 512;
constexpr int AppClientHeight = 448;
constexpr DWORD AppWindowStyle =
    0x00CA0000;  // WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX
constexpr int AppIconResource = 102;
extern const char* const AppWindowClassName;  // "Class1"
extern const char* const AppWindowTitle;      // "Taspo"

struct AppWindow {
    HWND handle;
    HDC deviceContext;
    HINSTANCE instance;
    WNDCLASSEXA windowClass;
    uint32_t style;
    bool created;
};

// Puts a freshly allocated record into its empty state.
void InitAppWindow(AppWindow* window);

// 0 when it created the window, 1 when the record was already created.
int32_t CreateAppWindow(AppWindow* window, HINSTANCE instance, int32_t desktopWidth,
                        int32_t desktopHeight);
// 0 when it destroyed the window, 1 when the record was not created.
int32_t DestroyAppWindow(AppWindow* window);

// Where a window of outer size width by height goes on the desktop: centred, never negative.
POINT CentredWindowPosition(int32_t desktopWidth, int32_t desktopHeight, int32_t width,
                            int32_t height);

LRESULT CALLBACK AppWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
