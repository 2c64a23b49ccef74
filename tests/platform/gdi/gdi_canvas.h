// Test helpers of the drawing-layer tests: a memory DC with a bitmap
// selected, released at the end of the test, and reading data files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"

namespace tlw::test {

// A memory DC drawing on a colour bitmap of the given size (white), or on a
// 24-bit DIB section when dibHeight is not 0 (negative = top-down).
class Canvas {
public:
    Canvas(int32_t width, int32_t height) {
        dc_ = plat::CreateCompatibleDC(plat::Hdc{});
        bitmap_ = plat::CreateCompatibleBitmap(plat::Hdc{}, width, height);
        Select();
        plat::FillRect(dc_, plat::Rect{0, 0, width, height}, plat::GetStockBrush(plat::kWhiteBrush));
    }
    Canvas(int32_t width, int32_t dibHeight, uint16_t bitCount) {
        dc_ = plat::CreateCompatibleDC(plat::Hdc{});
        bitmap_ = plat::CreateDibSection(plat::Hdc{}, plat::DibHeader{width, dibHeight, bitCount}, &bits_);
        Select();
    }
    ~Canvas() {
        plat::SelectObject(dc_, old_);
        plat::DeleteObject(bitmap_);
        plat::DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    plat::Hdc dc() const { return dc_; }
    plat::HBitmap bitmap() const { return bitmap_; }
    uint8_t* bits() const { return bits_; }
    plat::ColorRef At(int32_t x, int32_t y) const { return plat::GetPixel(dc_, x, y); }

private:
    void Select() {
        EXPECT_TRUE(dc_);
        EXPECT_TRUE(bitmap_);
        old_ = plat::SelectObject(dc_, bitmap_);
        EXPECT_TRUE(old_);
    }
    plat::Hdc dc_;          // the memory DC
    plat::HBitmap bitmap_;  // the bitmap drawn on
    plat::HBitmap old_;     // the DC's original bitmap
    uint8_t* bits_ = nullptr;  // DIB section pixels, else null
};

// The bytes of a file in the test data folder.
inline std::vector<uint8_t> ReadTestData(const std::string& name) {
    std::ifstream in(std::string(TLW_GDI_TEST_DATA) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace tlw::test
