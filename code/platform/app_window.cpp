// Creation and destruction of the main window, and its procedure: close and destroy requests
// become the quit message, and keyboard activation of the system menu is swallowed.
#include "platform/app_window.h"

#include <cstring>

const char* const AppWindowClassName = "Class1";
const char* const AppWindowTitle = "Taspo";

namespace {

void FillWindowClass(WNDCLASSEXA* windowClass, HINSTANCE instance) {
    windowClass->cbSize = sizeof(WNDCLASSEXA);
    windowClass->style = CS_HREDRAW | CS_VREDRAW;
    windowClass->lpfnWndProc = AppWindowProc;
    windowClass->cbClsExtra = 0;
    windowClass->cbWndExtra = 0;
    windowClass->hInstance = instance;
    windowClass->hIcon = LoadIconA(instance, MAKEINTRESOURCEA(AppIconResource));
    windowClass->hCursor =
        static_cast<HCURSOR>(LoadImageA(nullptr, IDC_ARROW, IMAGE_CURSOR, 0, 0, LR_SHARED));
    windowClass->hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass->lpszMenuName = nullptr;
    windowClass->lpszClassName = AppWindowClassName;
    windowClass->hIconSm = nullptr;
}

// Halved as a signed value, so an odd difference rounds toward minus infinity; never negative.
int32_t CentreOnAxis(int32_t desktop, int32_t size) {
    int32_t position = (desktop - size) >> 1;
    return position < 0 ? 0 : position;
}

}  // namespace

void InitAppWindow(AppWindow* window) {
    std::memset(window, 0, sizeof(AppWindow));
}

POINT CentredWindowPosition(int32_t desktopWidth, int32_t desktopHeight, int32_t width,
                            int32_t height) {
    return POINT{CentreOnAxis(desktopWidth, width), CentreOnAxis(desktopHeight, height)};
}

int32_t CreateAppWindow(AppWindow* window, HINSTANCE instance, int32_t desktopWidth,
                        int32_t desktopHeight) {
    if (window->created) {
        return 1;
    }
    window->instance = instance;
    window->style = AppWindowStyle;
    FillWindowClass(&window->windowClass, instance);
    RegisterClassExA(&window->windowClass);

    RECT outer = {0, 0, AppClientWidth, AppClientHeight};
    AdjustWindowRect(&outer, AppWindowStyle, FALSE);
    int32_t width = outer.right - outer.left;
    int32_t height = outer.bottom - outer.top;
    POINT position = CentredWindowPosition(desktopWidth, desktopHeight, width, height);

    window->handle =
        CreateWindowExA(0, AppWindowClassName, AppWindowTitle, AppWindowStyle, position.x,
                        position.y, width, height, nullptr, nullptr, instance, nullptr);
    // GetDC of a null window would hand out the whole screen's context.
    window->deviceContext = window->handle != nullptr ? GetDC(window->handle) : nullptr;
    window->created = true;
    return 0;
}

int32_t DestroyAppWindow(AppWindow* window) {
    char className[256] = {};
    GetClassNameA(window->handle, className, sizeof(className));
    if (!window->created) {
        return 1;
    }
    ReleaseDC(window->handle, window->deviceContext);
    DestroyWindow(window->handle);
    UnregisterClassA(className, window->instance);
    window->created = false;
    return 0;
}

LRESULT CALLBACK AppWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
        case WM_CLOSE:
            PostQuitMessage(0);
            return 0;
        case WM_SYSCOMMAND:
            if (wParam == SC_KEYMENU) {
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(handle, message, wParam, lParam);
}
