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

void InitSurface(Surface* surface) { std::memset(surface, 0, sizeof(Surface)); }

bool CreateSurface(Surface* surface, int32_t width, int32_t height) {
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
    surface->dibSection =
        CreateDIBSection(surface->memoryDC, &surface->bitmapInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
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

void FillSurface(Surface* surface, uint32_t colour) { FillSurfaceReference(surface, colour); }

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
