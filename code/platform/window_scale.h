// How large the system shows the game's window, whose client area and back buffer stay 512 by
// 448. Each system's part of the platform layer answers: on Linux our layer's backend shows each
// client pixel as a square of `scale` pixels; on Windows the window keeps its size in pixels,
// since Windows itself enlarges a program that does not declare itself DPI-aware.
#pragma once

#include <cstdint>

// For the window created next; 1 shows it as it is.
void SetWindowScale(int32_t scale);
