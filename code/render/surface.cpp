// Creation, flat fill and destruction of a back-buffer surface.
#include "render/surface.h"

#include <cstring>

#include "memory/arena.h"

namespace {

void FillBitmapHeader(BITMAPINFO* info, int32_t width, int32_t height) {
    std::memset(info, 0, sizeof(BITMAPINFO));
    info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = 24;
    info->bmiHeader.biCompression = BI_RGB;
}

// Single-byte stores, so nothing past the row's last pixel is touched.
void FillRowBytes(uint8_t* row, int32_t width, uint8_t blue, uint8_t green, uint8_t red) {
    for (int32_t x = 0; x < width; ++x) {
        row[0] = blue;
        row[1] = green;
        row[2] = red;
        row += 3;
    }
}

}  // namespace

void InitSurface(Surface* surface) {
    std::memset(surface, 0, sizeof(Surface));
}

bool CreateSurface(Surface* surface, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || width > SurfaceMaxWidth) {
        return false;
    }
    if (surface->dibSection != nullptr) {
        SelectObject(surface->memoryDC, surface->previousBitmap);
        DeleteObject(surface->dibSection);
        surface->dibSection = nullptr;
        surface->previousBitmap = nullptr;
        surface->pixels = nullptr;
    }
    if (surface->memoryDC == nullptr) {
        surface->memoryDC = CreateCompatibleDC(nullptr);
    }
    surface->width = width;
    surface->height = height;
    surface->stride = SurfaceStride(width);
    surface->rowGap = width % 4;
    FillBitmapHeader(&surface->bitmapInfo, width, height);

    void* bits = nullptr;
    surface->dibSection = CreateDIBSection(surface->memoryDC, &surface->bitmapInfo, DIB_RGB_COLORS,
                                           &bits, nullptr, 0);
    if (surface->dibSection == nullptr) {
        return false;
    }
    surface->pixels = static_cast<uint8_t*>(bits);
    surface->previousBitmap = SelectObject(surface->memoryDC, surface->dibSection);
    return true;
}

void FillSurfaceReference(Surface* surface, uint32_t colour) {
    if (surface->pixels == nullptr) {
        return;
    }
    uint8_t blue = colour & 0xFF;
    uint8_t green = (colour >> 8) & 0xFF;
    uint8_t red = (colour >> 16) & 0xFF;
    uint8_t* row = surface->pixels;
    // All rows but the last take one 4-byte store per pixel; its fourth byte lands on the next
    // pixel, the row gap or the next row, each rewritten later.
    for (int32_t y = 0; y < surface->height - 1; ++y) {
        for (int32_t x = 0; x < surface->width; ++x) {
            std::memcpy(row, &colour, 4);
            row += 3;
        }
        row += surface->rowGap;
    }
    FillRowBytes(row, surface->width, blue, green, red);
}

// Paints the first row in memory the reference's way, then copies it to every other row: the
// copies run at memory speed. Each row gets exactly the reference's bytes, including the one
// gap byte the reference's last 4-byte store of a row reaches; the top row gets no gap byte.
void FillSurface(Surface* surface, uint32_t colour) {
    if (surface->pixels == nullptr || surface->height <= 0 || surface->width <= 0) {
        return;
    }
    if (surface->height == 1) {
        FillRowBytes(surface->pixels, surface->width, colour & 0xFF, (colour >> 8) & 0xFF,
                     (colour >> 16) & 0xFF);
        return;
    }
    uint8_t* first = surface->pixels;
    uint8_t* pixel = first;
    for (int32_t x = 0; x < surface->width; ++x, pixel += 3) {
        std::memcpy(pixel, &colour, 4);
    }
    size_t pixelBytes = static_cast<size_t>(surface->width) * 3;
    size_t rowBytes = pixelBytes + (surface->rowGap > 0 ? 1 : 0);
    uint8_t* row = first + surface->stride;
    for (int32_t y = 1; y < surface->height - 1; ++y, row += surface->stride) {
        std::memcpy(row, first, rowBytes);
    }
    std::memcpy(row, first, pixelBytes);
}

void DestroySurface(Surface* surface) {
    if (surface->dibSection != nullptr) {
        SelectObject(surface->memoryDC, surface->previousBitmap);
        DeleteObject(surface->dibSection);
    }
    if (surface->memoryDC != nullptr) {
        DeleteDC(surface->memoryDC);
    }
    EngineFree(surface);
}
