// Loads an uncompressed 24-bit Windows bitmap from a Stream into a Surface. The file is checked
// before it is trusted: anything the loader cannot show correctly is refused with a reason.
#pragma once

#include <cstdint>

#include "io/stream.h"
#include "render/surface.h"

// Results of LoadBitmapFile; BitmapLoadErrorText gives each a short reason.
enum BitmapLoadResult : int32_t {
    BitmapLoaded = 0,
    BitmapUnreadable,       // the stream has no file behind it
    BitmapTooShort,         // the headers are cut short
    BitmapBadSignature,     // not "BM"
    BitmapBadInfoHeader,    // info header smaller than the 40-byte BITMAPINFOHEADER
    BitmapBadDepth,         // not 24 bits per pixel
    BitmapCompressed,       // compression other than BI_RGB
    BitmapBadDimensions,    // width or height zero, or width negative
    BitmapTopDown,          // negative height: rows stored top-down
    BitmapTooLarge,         // past the size limits below
    BitmapBadPixelOffset,   // bfOffBits points inside the headers
    BitmapPixelsTruncated,  // the pixel rows run past the end of the file
    BitmapOutOfMemory,      // no engine memory for the pixel rows
    BitmapNoSurface,        // the surface could not be created
};

// Limits that keep a hostile header from asking for more memory than any target image needs: each
// side at most 16384 pixels, and the pixel rows, filler included, at most 64 MiB.
constexpr int32_t BitmapMaxSide = 16384;
constexpr uint32_t BitmapMaxPixelBytes = 64u << 20;

// Reads a BMP from the stream's current position and (re-)creates the surface at its size with
// its pixels. With the usual 54-byte header that is three reads: file header, info header, pixel
// rows; a larger header or a gap before the pixel rows (bfOffBits) is skipped by reading further,
// so the stream never has to seek. The only other call is one Tell when the very first read
// fails, to tell a stream with no file behind it from a short file. Returns BitmapLoaded (0) or
// one of the codes above.
//
// On failure the surface is left as it was (an earlier image stays intact), except for
// BitmapNoSurface, after which it has no pixel memory and drawing from or into it does nothing.
// Nothing allocated by the loader outlives the call.
int32_t LoadBitmapFile(Stream* stream, Surface* surface);

// A short lowercase reason for a LoadBitmapFile result, e.g. "file is too short".
const char* BitmapLoadErrorText(int32_t code);
