// A 24-bit top-down DIB section selected into a memory DC, for tests that
// draw and then read the pixels back directly.
#pragma once

#include <cstdint>

#include "common/graphics/blend.h"
#include "platform/gdi/gdi.h"

namespace tlw::test {

class DibCanvas {
public:
    DibCanvas(int32_t width, int32_t height, Colour fill) : width_(width), height_(height) {
        plat::DibHeader header;
        header.width = width;
        header.height = -height;
        header.bitCount = 24;
        bitmap_ = plat::CreateDibSection(plat::Hdc{}, header, &bits_);
        dc_ = plat::CreateCompatibleDC(plat::Hdc{});
        previous_ = plat::SelectObject(dc_, bitmap_);
        stride_ = plat::DibStride(width, 24);
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) Set(x, y, fill);
    }
    ~DibCanvas() {
        plat::SelectObject(dc_, previous_);
        plat::DeleteDC(dc_);
        plat::DeleteObject(bitmap_);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    bool Valid() const { return bitmap_ && dc_ && bits_ != nullptr; }
    plat::Hdc Dc() const { return dc_; }
    plat::HBitmap Bitmap() const { return bitmap_; }

    Colour Get(int32_t x, int32_t y) const {
        const uint8_t* p = bits_ + y * stride_ + x * 3;
        return MakeColour(p[2], p[1], p[0]);
    }
    void Set(int32_t x, int32_t y, Colour c) {
        uint8_t* p = bits_ + y * stride_ + x * 3;
        p[0] = ColourBlue(c);
        p[1] = ColourGreen(c);
        p[2] = ColourRed(c);
    }

private:
    int32_t width_;            // pixels
    int32_t height_;           // rows
    int32_t stride_ = 0;       // bytes per row
    uint8_t* bits_ = nullptr;  // the section's pixels, top row first
    plat::HBitmap bitmap_;     // the section
    plat::HBitmap previous_;   // the DC's bitmap before ours
    plat::Hdc dc_;             // memory DC holding the section
};

}  // namespace tlw::test
