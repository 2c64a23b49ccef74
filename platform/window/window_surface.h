// The pixels of each window, kept where every process of the device can
// read them: "<root>/.device/surfaces/<handle>.px", written by the owner
// each time the window finishes painting (EndPaint) and removed with the
// window. The compositor (platform/window/compositor.h) builds the screen
// from them, in whichever process asks for it.
//
// File layout: a SurfaceHeader, then height rows of width pixels, top row
// first, each pixel 4 bytes blue, green, red, unused. A file is replaced
// whole (written beside and renamed), so a reader never sees half of one.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/gdi_types.h"
#include "platform/message/messages.h"

namespace plat {

constexpr uint32_t kSurfaceMagic = 0x53574C54u;  // "TLWS"
// Largest side of a window surface kept for the screen.
constexpr int32_t kMaxSurfaceSide = 4096;

// The header of a surface file.
struct SurfaceHeader {
    uint32_t magic = kSurfaceMagic;  // kSurfaceMagic
    int32_t width = 0;               // pixels per row
    int32_t height = 0;              // rows
    uint32_t reserved = 0;           // 0
};
static_assert(sizeof(SurfaceHeader) == 16, "SurfaceHeader is a fixed 16-byte record");

// A window's pixels as read back.
struct SurfaceImage {
    int32_t width = 0;              // pixels per row
    int32_t height = 0;             // rows
    std::vector<uint32_t> pixels;   // 0x00RRGGBB, rows top to bottom
};

// Writes the pixels of the bitmap selected into hdc as the window's surface
// file (the owner calls it; EndPaint does). False when it cannot be written.
bool PublishSurface(Hwnd hwnd, Hdc hdc);
// Removes the window's surface file.
void RemoveSurface(Hwnd hwnd);
// Reads the surface file of any window of the device. False when the
// window never painted or the file is malformed.
bool ReadSurface(Hwnd hwnd, SurfaceImage* out);

}  // namespace plat
