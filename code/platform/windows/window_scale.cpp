// The window's scale on Windows: the program is not DPI-aware, so on a high-density display
// Windows enlarges its 512 by 448 window by itself, and nothing is asked of it here.
#include "platform/window_scale.h"

void SetWindowScale(int32_t) {}
