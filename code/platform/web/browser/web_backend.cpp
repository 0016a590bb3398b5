// The browser side of the web backend. The JavaScript below keeps the canvas, its 2D context and
// an ImageData over the frame's bytes in the wasm heap on the Module object, so a frame costs
// one conversion and one putImageData, and only when its picture differs from the canvas's. The
// page counts the game's frames (Module.taspoFrames, one a yield) and the pictures put
// (Module.taspoPuts), and notes when the first one came, for the page's figures; the page may
// start what can wait until then (Module.onFirstFrame).
#include "platform/web/browser/web_backend.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cmath>

#include "platform/web/canvas_pixels.h"
#include "platform/web/key_codes.h"

// clang-format off
EM_JS(void, TaspoCanvasOpen, (const char* title, int width, int height), {
    var canvas = document.getElementById('canvas');
    canvas.width = width;
    canvas.height = height;
    canvas.hidden = true;
    document.title = UTF8ToString(title);
    Module.taspoScreen = {
        canvas: canvas,
        context: canvas.getContext('2d', {alpha: false}),
        image: null
    };
    Module.taspoFrames = 0;
    Module.taspoPuts = 0;
});

EM_JS(void, TaspoCanvasShow, (int visible), {
    var canvas = Module.taspoScreen.canvas;
    canvas.hidden = !visible;
    if (visible) {
        canvas.focus();
    }
});

EM_JS(void, TaspoCanvasClose, (), {
    Module.taspoScreen.canvas.hidden = true;
    Module.taspoScreen = null;
});

// The ImageData is a view of the frame in the wasm heap, made again only when the frame moves.
EM_JS(void, TaspoCanvasPresent, (const uint8_t* rgba, int width, int height), {
    var screen = Module.taspoScreen;
    var image = screen.image;
    if (!image || image.data.buffer !== HEAPU8.buffer || image.data.byteOffset != rgba ||
        image.width != width || image.height != height) {
        var view = new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4);
        image = screen.image = new ImageData(view, width, height);
    }
    screen.context.putImageData(image, 0, 0);
    if (Module.taspoPuts++ == 0) {
        Module.taspoFirstFrameAt = performance.now();
        if (Module.onFirstFrame) {
            setTimeout(Module.onFirstFrame, 0);
        }
    }
});

EM_JS(void, TaspoFrameDone, (), {
    Module.taspoFrames++;
});

EM_JS(int, TaspoCanvasHasFocus, (), {
    return document.activeElement === document.getElementById('canvas');
});

EM_JS(void, TaspoProgramEnded, (int status), {
    if (Module.onProgramEnd) {
        Module.onProgramEnd(status);
    }
});
// clang-format on

namespace portable {
namespace {

const char* const Canvas = "#canvas";

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void* backend) {
    int virtualKey = VirtualKeyFromCode(event->code);
    if (virtualKey == 0) {
        return EM_FALSE;  // not ours: the browser's shortcuts keep working
    }
    InputKind kind = eventType == EMSCRIPTEN_EVENT_KEYDOWN ? InputKind::KeyDown : InputKind::KeyUp;
    static_cast<WebBackend*>(backend)->Post(InputEvent{kind, virtualKey});
    return KeyScrollsPage(virtualKey) ? EM_TRUE : EM_FALSE;
}

EM_BOOL OnFocus(int eventType, const EmscriptenFocusEvent*, void* backend) {
    InputKind kind =
        eventType == EMSCRIPTEN_EVENT_FOCUS ? InputKind::CanvasFocused : InputKind::CanvasBlurred;
    static_cast<WebBackend*>(backend)->Post(InputEvent{kind, 0});
    return EM_FALSE;
}

EM_BOOL OnWindowBlur(int, const EmscriptenFocusEvent*, void* backend) {
    static_cast<WebBackend*>(backend)->Post(InputEvent{InputKind::WindowBlurred, 0});
    return EM_FALSE;
}

EM_BOOL OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void* backend) {
    InputKind kind = event->hidden ? InputKind::PageHidden : InputKind::PageShown;
    static_cast<WebBackend*>(backend)->Post(InputEvent{kind, 0});
    return EM_FALSE;
}

bool PageVisible() {
    EmscriptenVisibilityChangeEvent status{};
    return emscripten_get_visibility_status(&status) != EMSCRIPTEN_RESULT_SUCCESS || !status.hidden;
}

}  // namespace

WebBackend::~WebBackend() {
    CloseWindow();
}

void WebBackend::ListenToThePage() {
    emscripten_set_keydown_callback(Canvas, this, EM_TRUE, OnKey);
    emscripten_set_keyup_callback(Canvas, this, EM_TRUE, OnKey);
    emscripten_set_focus_callback(Canvas, this, EM_TRUE, OnFocus);
    emscripten_set_blur_callback(Canvas, this, EM_TRUE, OnFocus);
    // Not captured: only the window's own blur, not each element's on its way down.
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, EM_FALSE, OnWindowBlur);
    emscripten_set_visibilitychange_callback(this, EM_TRUE, OnVisibility);
    controls_.Listen();
}

bool WebBackend::OpenWindow(HWND, const char* title, int, int, int width, int height) {
    CloseWindow();
    TaspoCanvasOpen(title, width, height);
    rgba_.assign(CanvasBytes(width, height), 0);
    shown_.Forget();
    input_.Reset(TaspoCanvasHasFocus() != 0, PageVisible());
    ListenToThePage();
    open_ = true;
    return true;
}

void WebBackend::ShowWindow(bool visible) {
    if (open_) {
        TaspoCanvasShow(visible ? 1 : 0);
    }
}

void WebBackend::CloseWindow() {
    if (!open_) {
        return;
    }
    emscripten_html5_remove_all_event_listeners();
    controls_.StopListening();
    TaspoCanvasClose();
    input_.Reset(false, PageVisible());
    open_ = false;
}

void WebBackend::Present(const ClientPixels& pixels) {
    if (!open_ || !shown_.Replace(pixels)) {
        return;
    }
    rgba_.resize(CanvasBytes(pixels.width, pixels.height));
    ToCanvasPixels(pixels, rgba_.data());
    TaspoCanvasPresent(rgba_.data(), pixels.width, pixels.height);
}

void WebBackend::PumpEvents() {
    controls_.ReadPads();
    input_.Apply();
}

int64_t WebBackend::Counter() {
    return static_cast<int64_t>(std::llround(emscripten_get_now() * 1000.0));
}

void WebBackend::YieldThread() {
    TaspoFrameDone();
    emscripten_sleep(0);
}

bool WebBackend::DesktopMode(DisplayMode* mode) {
    int width = 0;
    int height = 0;
    if (emscripten_get_canvas_element_size(Canvas, &width, &height) != EMSCRIPTEN_RESULT_SUCCESS) {
        return false;
    }
    *mode = DisplayMode{width, height, 32, 60};
    return true;
}

void ReportProgramEnd(int status) {
    TaspoProgramEnded(status);
}

}  // namespace portable
