// Saving bitmaps and device contexts as PNG files on the host, for picture
// tests and screenshots.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/gdi/gdi_types.h"
#include "platform/gdi/imaging.h"

namespace plat {

// Writes the bitmap (any depth) as an 8-bit RGB PNG, top row first.
bool SaveBitmapPng(HBitmap bitmap, const std::filesystem::path& hostPath);
// Writes the bitmap currently selected into the DC (an off-screen DC's surface).
bool SaveDcPng(Hdc hdc, const std::filesystem::path& hostPath);
// Writes width x height pixels 0x00RRGGBB (rows top to bottom) as an 8-bit
// RGB PNG file, or encodes them into *out.
bool SaveRgbPng(int32_t width, int32_t height, const uint32_t* pixels, const std::filesystem::path& hostPath);
bool EncodeRgbPng(int32_t width, int32_t height, const uint32_t* pixels, std::vector<uint8_t>* out);
// Writes a decoded image as an 8-bit RGBA PNG.
bool SaveArgbPng(const ArgbImage& image, const std::filesystem::path& hostPath);

}  // namespace plat
