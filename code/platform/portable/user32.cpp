// Windows, classes and the message queue of our Win32 layer. One thread, one queue; a window's
// procedure runs inside DispatchMessageA and inside the calls that send it messages.
#include <algorithm>
#include <cstring>

#include "platform/portable/session.h"

using portable::CurrentBackend;
using portable::CurrentSession;
using portable::Session;
using portable::Window;
using portable::WindowClass;

namespace {

// The frame of a captioned window without a sizing border, in the classic metrics: a 3-pixel
// fixed frame and a 19-pixel caption.
constexpr LONG FixedFrame = 3;
constexpr LONG CaptionHeight = 19;
constexpr LONG MenuHeight = 19;
constexpr LONG SizingFrame = 4;

RECT FrameInsets(DWORD style, BOOL menu) {
    LONG frame = (style & WS_THICKFRAME) != 0 ? SizingFrame
                 : (style & WS_CAPTION) != 0  ? FixedFrame
                                              : 0;
    LONG top =
        frame + ((style & WS_CAPTION) == WS_CAPTION ? CaptionHeight : 0) + (menu ? MenuHeight : 0);
    return RECT{frame, top, frame, frame};
}

bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window != nullptr && msg.hwnd != window) {
        return false;
    }
    if (filterMin == 0 && filterMax == 0) {
        return true;
    }
    return msg.message >= filterMin && msg.message <= filterMax;
}

}  // namespace

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
    Session& session = CurrentSession();
    if (windowClass == nullptr || windowClass->cbSize != sizeof(WNDCLASSEXA) ||
        windowClass->lpszClassName == nullptr || windowClass->lpfnWndProc == nullptr ||
        session.FindClass(windowClass->lpszClassName, windowClass->hInstance) != nullptr) {
        return 0;
    }
    session.classes.push_back(
        WindowClass{windowClass->lpszClassName, windowClass->hInstance, windowClass->lpfnWndProc});
    return static_cast<ATOM>(0xC000 + session.classes.size());
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance) {
    Session& session = CurrentSession();
    WindowClass* found = className != nullptr ? session.FindClass(className, instance) : nullptr;
    if (found == nullptr) {
        return FALSE;
    }
    for (Window* window : session.windows) {
        if (window->className == found->name) {
            return FALSE;  // still in use
        }
    }
    session.classes.erase(session.classes.begin() + (found - session.classes.data()));
    return TRUE;
}

int GetClassNameA(HWND handle, LPSTR className, int maxCount) {
    Window* window = CurrentSession().FindWindow(handle);
    if (window == nullptr || className == nullptr || maxCount <= 0) {
        return 0;
    }
    size_t length = std::min(window->className.size(), static_cast<size_t>(maxCount - 1));
    std::memcpy(className, window->className.data(), length);
    className[length] = '\0';
    return static_cast<int>(length);
}

BOOL AdjustWindowRect(RECT* rect, DWORD style, BOOL menu) {
    if (rect == nullptr) {
        return FALSE;
    }
    RECT insets = FrameInsets(style, menu);
    rect->left -= insets.left;
    rect->top -= insets.top;
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND, HMENU menu, HINSTANCE instance, LPVOID) {
    Session& session = CurrentSession();
    WindowClass* windowClass =
        className != nullptr ? session.FindClass(className, instance) : nullptr;
    if (windowClass == nullptr) {
        return nullptr;
    }
    RECT insets = FrameInsets(style, menu != nullptr);
    int clientWidth = std::max(0, width - static_cast<int>(insets.left + insets.right));
    int clientHeight = std::max(0, height - static_cast<int>(insets.top + insets.bottom));

    Window* window = new Window;
    window->className = windowClass->name;
    window->title = windowName != nullptr ? windowName : "";
    window->procedure = windowClass->procedure;
    window->style = style;
    window->client.width = clientWidth;
    window->client.height = clientHeight;
    window->client.stride = portable::DibStride(clientWidth, 24);
    window->client.bits.assign(static_cast<size_t>(window->client.stride) * clientHeight, 0xFF);
    window->context.window = window;
    HWND handle = reinterpret_cast<HWND>(window);
    if (!CurrentBackend().OpenWindow(handle, window->title.c_str(), x + insets.left, y + insets.top,
                                     clientWidth, clientHeight)) {
        delete window;
        return nullptr;
    }
    session.windows.insert(window);
    return handle;
}

BOOL ShowWindow(HWND handle, int showCommand) {
    Window* window = CurrentSession().FindWindow(handle);
    if (window == nullptr) {
        return FALSE;
    }
    bool wasVisible = window->visible;
    window->visible = showCommand != SW_HIDE;
    CurrentBackend().ShowWindow(window->visible);
    return wasVisible ? TRUE : FALSE;
}

BOOL SetWindowPos(HWND handle, HWND, int, int, int, int, UINT) {
    // Only z-order changes reach us (SWP_NOMOVE | SWP_NOSIZE); a backend window has no z-order.
    return CurrentSession().FindWindow(handle) != nullptr ? TRUE : FALSE;
}

BOOL UpdateWindow(HWND handle) {
    return CurrentSession().FindWindow(handle) != nullptr ? TRUE : FALSE;
}

BOOL DestroyWindow(HWND handle) {
    Session& session = CurrentSession();
    Window* window = session.FindWindow(handle);
    if (window == nullptr) {
        return FALSE;
    }
    window->procedure(handle, WM_DESTROY, 0, 0);
    CurrentBackend().CloseWindow();
    session.windows.erase(window);
    session.queue.erase(std::remove_if(session.queue.begin(), session.queue.end(),
                                       [handle](const MSG& msg) { return msg.hwnd == handle; }),
                        session.queue.end());
    delete window;
    return TRUE;
}

HDC GetDC(HWND handle) {
    Window* window = CurrentSession().FindWindow(handle);
    return window != nullptr ? reinterpret_cast<HDC>(&window->context) : nullptr;
}

int ReleaseDC(HWND handle, HDC deviceContext) {
    Window* window = CurrentSession().FindWindow(handle);
    return window != nullptr && reinterpret_cast<HDC>(&window->context) == deviceContext ? 1 : 0;
}

HICON LoadIconA(HINSTANCE, LPCSTR) {
    // Icons live in the Windows build's resources; the backends show their own.
    return nullptr;
}

HANDLE LoadImageA(HINSTANCE, LPCSTR, UINT, int, int, UINT) {
    return nullptr;
}

// Of the default handling only what a window procedure relies on: the close command of the
// system menu (Alt+F4, the close button) becomes WM_CLOSE, sent to the window.
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM) {
    Window* target = CurrentSession().FindWindow(window);
    if (target != nullptr && message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) {
        return target->procedure(window, WM_CLOSE, 0, 0);
    }
    return 0;
}

void PostQuitMessage(int exitCode) {
    Session& session = CurrentSession();
    session.quitPosted = true;
    session.quitCode = exitCode;
}

BOOL PostMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Session& session = CurrentSession();
    if (handle != nullptr && session.FindWindow(handle) == nullptr) {
        return FALSE;
    }
    session.queue.push_back(MSG{handle, message, wParam, lParam, 0, POINT{0, 0}});
    return TRUE;
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMessage) {
    if (portable::TakeQuitRequest()) {
        PostQuitMessage(0);
    }
    CurrentBackend().PumpEvents();
    Session& session = CurrentSession();
    for (auto it = session.queue.begin(); it != session.queue.end(); ++it) {
        if (Matches(*it, window, filterMin, filterMax)) {
            *msg = *it;
            if ((removeMessage & PM_REMOVE) != 0) {
                session.queue.erase(it);
            }
            return TRUE;
        }
    }
    // As in Windows, the quit message comes only once nothing else is queued.
    if (session.quitPosted &&
        Matches(MSG{window, WM_QUIT, 0, 0, 0, {}}, window, filterMin, filterMax)) {
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(session.quitCode), 0, 0, POINT{0, 0}};
        if ((removeMessage & PM_REMOVE) != 0) {
            session.quitPosted = false;
        }
        return TRUE;
    }
    return FALSE;
}

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
    // As on Windows, the box's own message loop takes a pending quit message, posts it again and
    // closes the box at once, before anyone could read it.
    if (CurrentSession().quitPosted) {
        return IDOK;
    }
    CurrentBackend().ShowMessageBox(text != nullptr ? text : "", caption != nullptr ? caption : "");
    return IDOK;
}

BOOL TranslateMessage(const MSG*) {
    // No character messages: the engine polls the keyboard instead.
    return FALSE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    Window* window = msg != nullptr ? CurrentSession().FindWindow(msg->hwnd) : nullptr;
    if (window == nullptr) {
        return 0;
    }
    return window->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

HWND GetFocus() {
    for (Window* window : CurrentSession().windows) {
        if (window->visible && CurrentBackend().WindowHasFocus()) {
            return reinterpret_cast<HWND>(window);
        }
    }
    return nullptr;
}

BOOL EnumDisplaySettingsA(LPCSTR, DWORD, DEVMODEA* mode) {
    portable::DisplayMode desktop{};
    if (mode == nullptr || !CurrentBackend().DesktopMode(&desktop)) {
        return FALSE;
    }
    mode->dmPelsWidth = static_cast<DWORD>(desktop.width);
    mode->dmPelsHeight = static_cast<DWORD>(desktop.height);
    mode->dmBitsPerPel = static_cast<DWORD>(desktop.bitsPerPixel);
    mode->dmDisplayFrequency = static_cast<DWORD>(desktop.refreshRate);
    mode->dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL | DM_DISPLAYFREQUENCY;
    return TRUE;
}

namespace {

// A property left out of dmFields keeps the desktop's, as one given as 0 does.
int ModeField(const DEVMODEA& mode, DWORD field, DWORD value) {
    return (mode.dmFields & field) != 0 ? static_cast<int>(value) : 0;
}

}  // namespace

LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags) {
    if (mode == nullptr) {
        CurrentBackend().RestoreDesktopMode();
        return DISP_CHANGE_SUCCESSFUL;
    }
    portable::ModeRequest request{
        portable::DisplayMode{ModeField(*mode, DM_PELSWIDTH, mode->dmPelsWidth),
                              ModeField(*mode, DM_PELSHEIGHT, mode->dmPelsHeight),
                              ModeField(*mode, DM_BITSPERPEL, mode->dmBitsPerPel),
                              ModeField(*mode, DM_DISPLAYFREQUENCY, mode->dmDisplayFrequency)},
        (flags & CDS_TEST) != 0, (flags & CDS_FULLSCREEN) != 0};
    return CurrentBackend().ChangeMode(request) ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_BADMODE;
}

namespace {

// Backends know each side of a modifier; Windows answers the side-neutral code for either.
bool EitherSideDown(int left, int right) {
    return CurrentBackend().IsKeyDown(left) || CurrentBackend().IsKeyDown(right);
}

}  // namespace

SHORT GetAsyncKeyState(int virtualKey) {
    bool down = false;
    switch (virtualKey) {
        case VK_SHIFT:
            down = EitherSideDown(VK_LSHIFT, VK_RSHIFT);
            break;
        case VK_CONTROL:
            down = EitherSideDown(VK_LCONTROL, VK_RCONTROL);
            break;
        case VK_MENU:
            down = EitherSideDown(VK_LMENU, VK_RMENU);
            break;
        default:
            down = virtualKey >= 0 && virtualKey <= 255 && CurrentBackend().IsKeyDown(virtualKey);
            break;
    }
    return down ? static_cast<SHORT>(0x8000) : 0;
}
