// One row of a window's client pixels, as GDI keeps them (24-bit, blue first), into one row of an
// SDL surface of any pixel format, and widened for a scaled window.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace portable {

// The formats window surfaces come in get a loop of our own, not SDL's general converter, which
// they must match byte for byte; false, with nothing written, for any other format.
bool ConvertRowFast(const uint8_t* from, Uint32 format, void* to, int width);

// `width` pixels from `from` into `to`, a row of a surface in `format`.
void ConvertRow(const uint8_t* from, Uint32 format, void* to, int width);

// Repeats each of the first `width` pixels of `row` `scale` times, in place, so the row holds
// width * scale pixels: the nearest neighbour, never a blend. Pixels of 1 to 4 bytes.
void WidenRow(void* row, int width, int bytesPerPixel, int scale);

}  // namespace portable
