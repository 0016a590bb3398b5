// The peer of the browser build's frame rate: a loop that does nothing but put one 512 by 448
// frame on the canvas and yield with emscripten_sleep(0), as the game's SwitchToThread does.
// It counts its frames where the game's page does, so bench/web/page_figures.mjs reads both alike.
#include <emscripten.h>

#include <cstdint>
#include <vector>

// clang-format off
EM_JS(void, PutFrame, (const uint8_t* rgba, int width, int height), {
    if (!Module.peer) {
        var canvas = document.getElementById('canvas');
        canvas.hidden = false;
        Module.peer = {
            context: canvas.getContext('2d', {alpha: false}),
            image: new ImageData(new Uint8ClampedArray(HEAPU8.buffer, rgba, width * height * 4),
                                 width, height)
        };
        Module.taspoFrames = 0;
        Module.taspoFirstFrameAt = performance.now();
    }
    Module.peer.context.putImageData(Module.peer.image, 0, 0);
    Module.taspoFrames++;
});
// clang-format on

int main() {
    constexpr int Width = 512;
    constexpr int Height = 448;
    std::vector<uint8_t> frame(static_cast<size_t>(Width) * Height * 4, 0x80);
    for (;;) {
        PutFrame(frame.data(), Width, Height);
        emscripten_sleep(0);
    }
}
