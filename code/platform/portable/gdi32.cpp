// Device contexts and DIB sections of our Win32 layer, as plain memory. BitBlt into a window's
// context is the frame's presentation: the backend shows the window's new client pixels.
#include <algorithm>
#include <cstring>

#include "platform/portable/session.h"

using portable::Bitmap;
using portable::CurrentSession;
using portable::DeviceContext;
using portable::GdiKind;
using portable::GdiObject;
using portable::Session;

namespace {

// Selected into every new memory context, as Windows selects its 1-by-1 monochrome bitmap.
Bitmap& DefaultBitmap() {
    static Bitmap bitmap;
    return bitmap;
}

GdiObject& WhiteBrush() {
    static GdiObject brush(GdiKind::Brush);
    return brush;
}

bool IsStock(const GdiObject* object) {
    return object == &DefaultBitmap() || object == &WhiteBrush();
}

// The pixels a context draws into: its window's client area or its selected bitmap.
Bitmap* Target(DeviceContext* context) {
    if (context->window != nullptr) {
        return &context->window->client;
    }
    if (context->selected != nullptr && context->selected->kind == GdiKind::Bitmap) {
        return static_cast<Bitmap*>(context->selected);
    }
    return nullptr;
}

uint8_t* PixelAt(Bitmap& bitmap, int x, int y) {
    return bitmap.bits.data() + static_cast<size_t>(bitmap.height - y - 1) * bitmap.stride + 3 * x;
}

// Shrinks a copy of width by height between two bitmaps so it lies inside both.
bool ClipCopy(const Bitmap& to, const Bitmap& from, int& x, int& y, int& width, int& height,
              int& fromX, int& fromY) {
    int shiftX = std::max({0, -x, -fromX});
    int shiftY = std::max({0, -y, -fromY});
    x += shiftX, fromX += shiftX, width -= shiftX;
    y += shiftY, fromY += shiftY, height -= shiftY;
    width = std::min({width, to.width - x, from.width - fromX});
    height = std::min({height, to.height - y, from.height - fromY});
    return width > 0 && height > 0;
}

}  // namespace

HDC CreateCompatibleDC(HDC) {
    DeviceContext* context = new DeviceContext(GdiKind::MemoryDC);
    context->selected = &DefaultBitmap();
    CurrentSession().gdiObjects.insert(context);
    return reinterpret_cast<HDC>(context);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, HANDLE, DWORD) {
    if (bits != nullptr) {
        *bits = nullptr;
    }
    if (info == nullptr || bits == nullptr) {
        return nullptr;
    }
    const BITMAPINFOHEADER& header = info->bmiHeader;
    int64_t height = header.biHeight < 0 ? -int64_t{header.biHeight} : header.biHeight;
    // The engine draws in 24 bits only, so that is the one depth this layer offers.
    if (header.biWidth <= 0 || height == 0 || header.biCompression != BI_RGB ||
        header.biBitCount != 24) {
        return nullptr;
    }
    int64_t stride = portable::DibStride(header.biWidth, 24);
    // GDI refuses sections it cannot address; so do we, rather than wrap a size.
    if (stride * height > 0x7FFFFFFF) {
        return nullptr;
    }
    Bitmap* bitmap = new Bitmap;
    bitmap->width = header.biWidth;
    bitmap->height = static_cast<int>(height);
    bitmap->stride = static_cast<int>(stride);
    bitmap->bits.resize(static_cast<size_t>(stride * height));
    CurrentSession().gdiObjects.insert(bitmap);
    *bits = bitmap->bits.data();
    return reinterpret_cast<HBITMAP>(static_cast<GdiObject*>(bitmap));
}

HGDIOBJ SelectObject(HDC deviceContext, HGDIOBJ object) {
    Session& session = CurrentSession();
    DeviceContext* context = session.FindContext(deviceContext);
    GdiObject* selected = static_cast<GdiObject*>(object);
    if (context == nullptr || selected == nullptr ||
        (!IsStock(selected) && session.FindObject(object) == nullptr)) {
        return nullptr;
    }
    if (selected->kind == GdiKind::Brush) {
        return &WhiteBrush();  // brushes do not change what a context draws into
    }
    if (selected->kind != GdiKind::Bitmap || context->window != nullptr) {
        return nullptr;
    }
    GdiObject* previous = context->selected;
    context->selected = selected;
    return previous;
}

BOOL DeleteObject(HGDIOBJ object) {
    Session& session = CurrentSession();
    GdiObject* found = session.FindObject(object);
    if (found == nullptr || found->kind != GdiKind::Bitmap) {
        return IsStock(static_cast<GdiObject*>(object)) ? TRUE : FALSE;
    }
    for (GdiObject* other : session.gdiObjects) {
        if (other->kind == GdiKind::MemoryDC &&
            static_cast<DeviceContext*>(other)->selected == found) {
            return FALSE;  // still selected: Windows refuses too
        }
    }
    session.gdiObjects.erase(found);
    delete static_cast<Bitmap*>(found);
    return TRUE;
}

BOOL DeleteDC(HDC deviceContext) {
    Session& session = CurrentSession();
    DeviceContext* context = session.FindContext(deviceContext);
    if (context == nullptr || context->kind != GdiKind::MemoryDC) {
        return FALSE;
    }
    session.gdiObjects.erase(context);
    delete context;
    return TRUE;
}

BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX,
            int sourceY, DWORD rasterOperation) {
    Session& session = CurrentSession();
    DeviceContext* to = session.FindContext(destination);
    DeviceContext* from = session.FindContext(source);
    Bitmap* toPixels = to != nullptr ? Target(to) : nullptr;
    Bitmap* fromPixels = from != nullptr ? Target(from) : nullptr;
    if (toPixels == nullptr || fromPixels == nullptr || rasterOperation != SRCCOPY) {
        return FALSE;
    }
    if (toPixels->bits.empty() || fromPixels->bits.empty()) {
        return TRUE;
    }
    if (ClipCopy(*toPixels, *fromPixels, x, y, width, height, sourceX, sourceY)) {
        for (int row = 0; row < height; ++row) {
            std::memcpy(PixelAt(*toPixels, x, y + row),
                        PixelAt(*fromPixels, sourceX, sourceY + row),
                        static_cast<size_t>(width) * 3);
        }
    }
    if (to->window != nullptr) {
        const Bitmap& client = to->window->client;
        portable::CurrentBackend().Present(
            portable::ClientPixels{client.bits.data(), client.width, client.height, client.stride});
    }
    return TRUE;
}

HGDIOBJ GetStockObject(int object) {
    return object == WHITE_BRUSH ? &WhiteBrush() : nullptr;
}
