#include "common/graphics/dib_surface.h"

#include "common/graphics/rgba_image.h"
#include "platform/gdi/gdi.h"

namespace tlw {
namespace {

// Copies between hdc and the surface's bitmap through a memory DC that holds
// the surface for the duration of one transfer.
bool Transfer(const DibSurface& surface, plat::Hdc hdc, int32_t x, int32_t y, bool toSurface) {
    if (!surface.bitmap) return false;
    plat::Hdc memory = plat::CreateCompatibleDC(hdc);
    if (!memory) return false;
    plat::HBitmap previous = plat::SelectObject(memory, surface.bitmap);
    bool ok = false;
    if (previous) {
        int32_t w = static_cast<int32_t>(surface.width), h = static_cast<int32_t>(surface.height);
        ok = toSurface ? plat::BitBlt(memory, 0, 0, w, h, hdc, x, y, plat::kSrcCopy)
                       : plat::BitBlt(hdc, x, y, w, h, memory, 0, 0, plat::kSrcCopy);
        plat::SelectObject(memory, previous);
    }
    plat::DeleteDC(memory);
    return ok;
}

}  // namespace

bool CreateDibSurface(DibSurface* surface, uint32_t width, uint32_t height, bool topDown) {
    FreeDibSurface(surface);
    if (!ImageSizeAllowed(width, height)) return false;
    uint32_t rounded = (width + 3u) & ~3u;
    plat::DibHeader header;
    header.width = static_cast<int32_t>(rounded);
    header.height = topDown ? -static_cast<int32_t>(height) : static_cast<int32_t>(height);
    header.bitCount = 24;
    uint8_t* bits = nullptr;
    plat::HBitmap bitmap = plat::CreateDibSection(plat::Hdc{}, header, &bits);
    if (!bitmap || bits == nullptr) {
        if (bitmap) plat::DeleteObject(bitmap);
        return false;
    }
    surface->bitmap = bitmap;
    surface->bits = bits;
    surface->roundedWidth = rounded;
    surface->height = height;
    surface->width = width;
    surface->topDown = topDown;
    return true;
}

void FreeDibSurface(DibSurface* surface) {
    if (surface->bitmap) plat::DeleteObject(surface->bitmap);
    *surface = DibSurface{};
}

bool CaptureDcArea(DibSurface* surface, plat::Hdc hdc, int32_t x, int32_t y) {
    return Transfer(*surface, hdc, x, y, true);
}

bool WriteDcArea(const DibSurface& surface, plat::Hdc hdc, int32_t x, int32_t y) {
    return Transfer(surface, hdc, x, y, false);
}

}  // namespace tlw
