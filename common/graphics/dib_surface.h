// DibSurface: the work buffer of the alpha drawing routines. Window pixels
// are copied into it, blended in software and copied back, because the
// platform's drawing primitives have no per-pixel alpha.
#pragma once

#include <cstdint>

#include "platform/gdi/gdi_types.h"

namespace tlw {

// A 24-bit DIB section with its pixel pointer. Each row holds the real width
// rounded up to a multiple of 4 pixels, so every row of 3-byte pixels is
// 4-byte aligned (stride = rounded width x 3 bytes). Pixels are stored blue,
// green, red. The surface owns its bitmap.
struct DibSurface {
    plat::HBitmap bitmap;       // the DIB section; none when the surface is empty
    uint8_t* bits = nullptr;    // first memory row (the top row when topDown)
    uint32_t roundedWidth = 0;  // pixels per memory row, a multiple of 4
    uint32_t height = 0;        // rows
    uint32_t width = 0;         // real width in pixels (<= roundedWidth)
    bool topDown = true;        // memory row 0 is the top row
};

// Creates a surface of width x height (both at least 1); false when the size
// is not allowed or the section cannot be made (the surface stays empty).
bool CreateDibSurface(DibSurface* surface, uint32_t width, uint32_t height, bool topDown);

// Deletes the bitmap and empties the surface.
void FreeDibSurface(DibSurface* surface);

// Bytes from one memory row to the next.
inline uint32_t DibSurfaceStride(const DibSurface& surface) { return surface.roundedWidth * 3; }

// The first byte of the surface's image row y (0 = top), whatever the
// memory order.
inline uint8_t* DibSurfaceRow(const DibSurface& surface, uint32_t y) {
    uint32_t memoryRow = surface.topDown ? y : surface.height - 1 - y;
    return surface.bits + static_cast<std::size_t>(memoryRow) * DibSurfaceStride(surface);
}

// Plain copies between a device context and the surface: the area of the
// surface's width x height at (x, y) of hdc goes to the surface's (0, 0),
// and back. Parts of the area outside hdc's surface are not copied.
bool CaptureDcArea(DibSurface* surface, plat::Hdc hdc, int32_t x, int32_t y);
bool WriteDcArea(const DibSurface& surface, plat::Hdc hdc, int32_t x, int32_t y);

}  // namespace tlw
