// DIB sections top-down and bottom-up, row padding, GetDiBits/SetDiBits,
// and bitmaps from ".bmp" data (good and malformed).
#include <gtest/gtest.h>

#include <vector>

#include "gdi_canvas.h"
#include "platform/gdi/gdi.h"

namespace {

using namespace plat;
using tlw::test::Canvas;
using tlw::test::ReadTestData;

TEST(GdiDib, StrideIsPaddedToFourBytes) {
    EXPECT_EQ(DibStride(1, 24), 4);
    EXPECT_EQ(DibStride(5, 24), 16);
    EXPECT_EQ(DibStride(5, 32), 20);
    EXPECT_EQ(DibStride(9, 1), 4);
    EXPECT_EQ(DibStride(0, 24), 0);
    EXPECT_EQ(DibStride(4, 16), 0);
}

// Draws a red pixel at the top-left of the section and reads where it went.
TEST(GdiDib, TopDownSectionsStoreTheTopRowFirstBottomUpOnesLast) {
    for (int32_t height : {-3, 3}) {
        Canvas c(2, height, 24);
        ASSERT_NE(c.bits(), nullptr);
        SetPixel(c.dc(), 0, 0, Rgb(255, 0, 0));
        int32_t stride = DibStride(2, 24);
        const uint8_t* first = c.bits();
        const uint8_t* last = c.bits() + 2 * stride;
        const uint8_t* red = height < 0 ? first : last;
        const uint8_t* other = height < 0 ? last : first;
        EXPECT_EQ(red[0], 0) << height;  // blue
        EXPECT_EQ(red[2], 255) << height;
        EXPECT_EQ(other[2], 0) << height;

        BitmapDesc desc;
        ASSERT_TRUE(GetDibSectionPixels(c.bitmap(), &desc));
        EXPECT_EQ(desc.topDown, height < 0);
        EXPECT_EQ(desc.height, 3);
        EXPECT_EQ(desc.stride, stride);
        EXPECT_EQ(desc.bits, c.bits());
    }
}

TEST(GdiDib, DeviceBitmapsHaveNoPixelAddress) {
    HBitmap device = CreateCompatibleBitmap(Hdc{}, 2, 2);
    BitmapDesc desc;
    EXPECT_FALSE(GetDibSectionPixels(device, &desc));
    DeleteObject(device);
}

TEST(GdiDib, ThirtyTwoBitSectionKeepsTheFourthByteForItsOwner) {
    Canvas c(1, -1, 32);
    c.bits()[3] = 200;  // an alpha written by the caller
    EXPECT_EQ(c.At(0, 0), Rgb(0, 0, 0));
    SetPixel(c.dc(), 0, 0, Rgb(1, 2, 3));
    EXPECT_EQ(c.bits()[0], 3);
    EXPECT_EQ(c.bits()[2], 1);
}

TEST(GdiDib, GetDiBitsFollowsTheRequestedRowOrder) {
    Canvas c(2, 3);
    for (int32_t y = 0; y < 3; ++y) SetPixel(c.dc(), 0, y, Rgb(uint8_t(y + 1), 0, 0));
    std::vector<uint8_t> rows(size_t(DibStride(2, 32)) * 3);
    // Bottom-up: scan line 0 is the bottom row.
    ASSERT_EQ(GetDiBits(c.bitmap(), 0, 3, rows.data(), DibHeader{2, 3, 32}), 3);
    EXPECT_EQ(rows[2], 3);
    EXPECT_EQ(rows[size_t(DibStride(2, 32)) * 2 + 2], 1);
    // Top-down, starting at row 1, more rows asked than exist.
    ASSERT_EQ(GetDiBits(c.bitmap(), 1, 5, rows.data(), DibHeader{2, -3, 32}), 2);
    EXPECT_EQ(rows[2], 2);
    // A wrong width or height is refused.
    EXPECT_EQ(GetDiBits(c.bitmap(), 0, 1, rows.data(), DibHeader{3, 3, 32}), 0);
    EXPECT_EQ(GetDiBits(c.bitmap(), 0, 1, rows.data(), DibHeader{2, 2, 32}), 0);

    // SetDiBits writes the same layout back.
    std::vector<uint8_t> in(size_t(DibStride(2, 24)), 0);
    in[0] = 9;  // blue of the first pixel
    ASSERT_EQ(SetDiBits(c.bitmap(), 0, 1, in.data(), DibHeader{2, 3, 24}), 1);
    EXPECT_EQ(c.At(0, 2), Rgb(0, 0, 9));
}

TEST(GdiDib, BmpFilesDecodeInBothRowOrdersAndWithPalettes) {
    std::vector<uint8_t> gradient = ReadTestData("gdi_gradient.bmp");
    HBitmap g = CreateBitmapFromBmp(gradient.data(), gradient.size());
    ASSERT_TRUE(g);
    Hdc dc = CreateCompatibleDC(Hdc{});
    HBitmap old = SelectObject(dc, g);
    EXPECT_EQ(GetPixel(dc, 0, 0), Rgb(0, 0, 255));  // bottom-up file: top row last in the file
    EXPECT_EQ(GetPixel(dc, 0, 3), Rgb(0, 0, 64));

    std::vector<uint8_t> palette = ReadTestData("gdi_palette8.bmp");
    HBitmap p = CreateBitmapFromBmp(palette.data(), palette.size());
    ASSERT_TRUE(p);
    SelectObject(dc, p);
    EXPECT_EQ(GetPixel(dc, 0, 0), Rgb(255, 0, 0));  // top-down file
    EXPECT_EQ(GetPixel(dc, 2, 0), Rgb(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 0, 1), Rgb(0, 0, 255));
    SelectObject(dc, old);
    DeleteObject(g);
    DeleteObject(p);
    DeleteDC(dc);
}

TEST(GdiDib, MalformedBmpDataFailsCleanly) {
    std::vector<uint8_t> good = ReadTestData("gdi_palette8.bmp");
    // Cut short at every length: never a bitmap from partial pixels.
    for (size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(CreateBitmapFromBmp(good.data(), n)) << n;
    // A palette index beyond the palette.
    std::vector<uint8_t> badIndex = good;
    badIndex[good.size() - 8] = 7;
    EXPECT_FALSE(CreateBitmapFromBmp(badIndex.data(), badIndex.size()));
    // An absurd width.
    std::vector<uint8_t> wide = good;
    wide[14 + 4] = 0xFF;
    wide[14 + 5] = 0xFF;
    wide[14 + 6] = 0xFF;
    wide[14 + 7] = 0x7F;
    EXPECT_FALSE(CreateBitmapFromBmp(wide.data(), wide.size()));
    // A pixel offset past the end.
    std::vector<uint8_t> offset = good;
    offset[10] = 0xFF;
    offset[11] = 0xFF;
    EXPECT_FALSE(CreateBitmapFromBmp(offset.data(), offset.size()));
    EXPECT_FALSE(CreateBitmapFromBmp(nullptr, 10));
}

TEST(GdiDib, CreateBitmapTakesWordAlignedRows) {
    // 3 x 2 monochrome: rows padded to 2 bytes, 1 = white.
    const uint8_t mono[] = {0xA0, 0x00, 0x40, 0x00};
    HBitmap b = CreateBitmap(3, 2, 1, 1, mono);
    ASSERT_TRUE(b);
    Hdc dc = CreateCompatibleDC(Hdc{});
    HBitmap old = SelectObject(dc, b);
    EXPECT_EQ(GetPixel(dc, 0, 0), Rgb(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 1, 0), Rgb(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 2, 0), Rgb(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 1, 1), Rgb(255, 255, 255));
    SelectObject(dc, old);
    DeleteObject(b);
    DeleteDC(dc);
    EXPECT_FALSE(CreateBitmap(3, 2, 1, 8, mono));
    EXPECT_FALSE(CreateBitmap(-1, 2, 1, 1, nullptr));
    EXPECT_FALSE(CreateBitmap(100000, 100000, 1, 32, nullptr));
}

}  // namespace
