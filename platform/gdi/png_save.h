// Saving bitmaps and device contexts as PNG files on the host, for picture
// tests and screenshots.
#pragma once

#include <filesystem>

#include "platform/gdi/gdi_types.h"
#include "platform/gdi/imaging.h"

namespace plat {

// Writes the bitmap (any depth) as an 8-bit RGB PNG, top row first.
bool SaveBitmapPng(HBitmap bitmap, const std::filesystem::path& hostPath);
// Writes the bitmap currently selected into the DC (an off-screen DC's surface).
bool SaveDcPng(Hdc hdc, const std::filesystem::path& hostPath);
// Writes a decoded image as an 8-bit RGBA PNG.
bool SaveArgbPng(const ArgbImage& image, const std::filesystem::path& hostPath);

}  // namespace plat
