// The page's side of pointers, the End game button and gamepads. A pointer going down anywhere on
// the canvas holds its key until the last one is up or cancelled; the canvas captures each, so its
// release comes here even when the finger slides off. A press also gives the canvas the keyboard
// focus, which the game needs before it reads any key, so a first tap plays.
#include "platform/web/browser/page_controls.h"

#include <emscripten.h>

extern "C" {

EMSCRIPTEN_KEEPALIVE void TaspoPointerHeld(portable::PageControls* controls, int held) {
    controls->PointerHeld(held != 0);
}

EMSCRIPTEN_KEEPALIVE void TaspoEndGame(portable::PageControls* controls) {
    controls->EndGame();
}

}  // extern "C"

// clang-format off
EM_JS(void, TaspoControlsListen, (portable::PageControls* controls), {
    var canvas = document.getElementById('canvas');
    var stop = new AbortController();
    var options = {signal: stop.signal};
    var down = new Set();
    canvas.addEventListener('pointerdown', function (event) {
        event.preventDefault();
        canvas.focus();
        canvas.setPointerCapture(event.pointerId);
        down.add(event.pointerId);
        _TaspoPointerHeld(controls, 1);
    }, options);
    var up = function (event) {
        if (down.delete(event.pointerId) && down.size == 0) {
            _TaspoPointerHeld(controls, 0);
        }
    };
    canvas.addEventListener('pointerup', up, options);
    canvas.addEventListener('pointercancel', up, options);
    canvas.addEventListener('contextmenu', function (event) { event.preventDefault(); }, options);
    var end = document.getElementById('end-game');
    if (end) {
        end.addEventListener('click', function () {
            canvas.focus();
            _TaspoEndGame(controls);
        }, options);
    }
    Module.taspoControls = stop;
});

EM_JS(void, TaspoControlsStop, (), {
    Module.taspoControls.abort();
    Module.taspoControls = null;
});

// Bit n set while button n of the standard mapping is down on any pad; pads of another mapping
// number their buttons as they like, so they are left out.
EM_JS(int, TaspoPadButtons, (), {
    var pads = navigator.getGamepads ? navigator.getGamepads() : [];
    var down = 0;
    for (var i = 0; i < pads.length; i++) {
        var pad = pads[i];
        if (!pad || !pad.connected || pad.mapping != 'standard') {
            continue;
        }
        for (var button = 0; button < pad.buttons.length && button < 31; button++) {
            if (pad.buttons[button].pressed) {
                down |= 1 << button;
            }
        }
    }
    return down;
});
// clang-format on

namespace portable {

void PageControls::Listen() {
    StopListening();
    TaspoControlsListen(this);
    listening_ = true;
}

void PageControls::StopListening() {
    if (listening_) {
        TaspoControlsStop();
        listening_ = false;
    }
}

void PageControls::ReadPads() {
    pads_.Read(static_cast<uint32_t>(TaspoPadButtons()), input_);
}

void PageControls::PointerHeld(bool held) {
    if (keys_.pointer != 0) {
        InputKind kind = held ? InputKind::KeyDown : InputKind::KeyUp;
        input_->Push(InputEvent{kind, keys_.pointer, InputSource::Pointer});
    }
}

// Its key pressed and let go at once: the queue holds it for a frame.
void PageControls::EndGame() {
    if (keys_.endButton != 0) {
        input_->Push(InputEvent{InputKind::KeyDown, keys_.endButton, InputSource::EndButton});
        input_->Push(InputEvent{InputKind::KeyUp, keys_.endButton, InputSource::EndButton});
    }
}

}  // namespace portable
