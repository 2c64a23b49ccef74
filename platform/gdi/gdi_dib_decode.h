// Internal to the drawing layer: decoding device-independent bitmaps as
// ".bmp" files and icon entries hold them, with every size checked against
// the data before use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/gdi_types.h"

namespace plat::gdi {

// A decoded DIB, top row first.
struct DecodedDib {
    int32_t width = 0;              // pixels
    int32_t height = 0;             // rows
    std::vector<ColorRef> colors;   // width * height colours
    std::vector<uint8_t> alpha;     // width * height opacities (32-bit data)
    bool hasAlpha = false;          // some fourth byte of 32-bit data is not 0
    std::vector<uint8_t> mask;      // icon entries: width * height, 1 = transparent
    bool monochrome = false;        // 1 bit per pixel with a black and white palette
};

// Decodes a packed DIB: BITMAPINFOHEADER (40 bytes or a later version),
// colour masks, palette, then pixels at `pixelOffset` bytes from `data`
// (0: straight after the palette). Depths 1, 4, 8, 16, 24 and 32, without
// compression or with bit fields. In icon mode the header's height counts
// the colour rows and the mask rows, and the 1-bit AND mask follows the
// pixels. False for anything malformed, truncated or beyond kMaxBitmapSide.
bool DecodeDib(const uint8_t* data, size_t size, size_t pixelOffset, bool iconMode, DecodedDib* out);

// Decodes a ".bmp" file (BITMAPFILEHEADER first) or, without the "BM"
// signature, a packed DIB.
bool DecodeBmp(const uint8_t* data, size_t size, DecodedDib* out);

}  // namespace plat::gdi
