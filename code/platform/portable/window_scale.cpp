// The window's scale on Linux and in the browser: the backend's to show, or to leave alone.
#include "platform/window_scale.h"

#include "platform/portable/backend.h"

void SetWindowScale(int32_t scale) {
    portable::CurrentBackend().SetWindowScale(scale);
}
