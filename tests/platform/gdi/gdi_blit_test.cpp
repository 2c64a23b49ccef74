// Block transfers: BitBlt with clipping and raster operations, StretchBlt
// by nearest neighbour and mirroring, TransparentBlt, and the colour rules
// between monochrome and colour bitmaps.
#include <gtest/gtest.h>

#include "gdi_canvas.h"
#include "platform/gdi/gdi.h"

namespace {

using namespace plat;
using tlw::test::Canvas;

// Paints every pixel of a canvas with a colour made from its position.
void Paint(const Canvas& c, int32_t width, int32_t height) {
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) SetPixel(c.dc(), x, y, Rgb(uint8_t(x * 10), uint8_t(y * 10), 7));
}

TEST(GdiBlit, BitBltCopiesAndClipsToBothBitmapsAndTheClipRect) {
    Canvas src(4, 4), dst(6, 6);
    Paint(src, 4, 4);
    // Source area runs past the source's right edge and the destination's.
    ASSERT_TRUE(BitBlt(dst.dc(), 4, 1, 4, 2, src.dc(), 1, 2, kSrcCopy));
    EXPECT_EQ(dst.At(4, 1), Rgb(10, 20, 7));
    EXPECT_EQ(dst.At(5, 2), Rgb(20, 30, 7));
    EXPECT_EQ(dst.At(3, 1), Rgb(255, 255, 255));
    EXPECT_EQ(dst.At(4, 3), Rgb(255, 255, 255));

    IntersectClipRect(dst.dc(), 0, 0, 1, 1);
    ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 4, 4, src.dc(), 0, 0, kSrcCopy));
    ResetClipRect(dst.dc());
    EXPECT_EQ(dst.At(0, 0), Rgb(0, 0, 7));
    EXPECT_EQ(dst.At(1, 1), Rgb(255, 255, 255));
}

TEST(GdiBlit, RasterOperationsCombineSourceDestinationAndBrush) {
    Canvas src(1, 1), dst(1, 1);
    SetPixel(src.dc(), 0, 0, Rgb(0xF0, 0x0F, 0xAA));
    SetPixel(dst.dc(), 0, 0, Rgb(0x3C, 0x3C, 0x0F));
    BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, kSrcAnd);
    EXPECT_EQ(dst.At(0, 0), Rgb(0x30, 0x0C, 0x0A));
    BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, kSrcInvert);
    EXPECT_EQ(dst.At(0, 0), Rgb(0xC0, 0x03, 0xA0));
    BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, kNotSrcCopy);
    EXPECT_EQ(dst.At(0, 0), Rgb(0x0F, 0xF0, 0x55));
    HBrush brush = CreateSolidBrush(Rgb(0xFF, 0x00, 0x0F));
    HBrush old = SelectObject(dst.dc(), brush);
    BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, kMergeCopy);  // P & S
    EXPECT_EQ(dst.At(0, 0), Rgb(0xF0, 0x00, 0x0A));
    PatBlt(dst.dc(), 0, 0, 1, 1, kPatInvert);  // P ^ D
    EXPECT_EQ(dst.At(0, 0), Rgb(0x0F, 0x00, 0x05));
    PatBlt(dst.dc(), 0, 0, 1, 1, kWhiteness);
    EXPECT_EQ(dst.At(0, 0), Rgb(255, 255, 255));
    SelectObject(dst.dc(), old);
    DeleteObject(brush);
    // PatBlt takes no source operation.
    EXPECT_FALSE(PatBlt(dst.dc(), 0, 0, 1, 1, kSrcCopy));
}

TEST(GdiBlit, OverlappingCopyWithinOneBitmapReadsTheOriginalPixels) {
    Canvas c(5, 1);
    Paint(c, 5, 1);
    ASSERT_TRUE(BitBlt(c.dc(), 1, 0, 4, 1, c.dc(), 0, 0, kSrcCopy));
    EXPECT_EQ(c.At(1, 0), Rgb(0, 0, 7));
    EXPECT_EQ(c.At(4, 0), Rgb(30, 0, 7));
}

TEST(GdiBlit, StretchBltUsesNearestNeighbourAndMirrorsOnNegativeSize) {
    Canvas src(2, 2), dst(4, 4);
    SetPixel(src.dc(), 0, 0, Rgb(255, 0, 0));
    SetPixel(src.dc(), 1, 0, Rgb(0, 255, 0));
    SetPixel(src.dc(), 0, 1, Rgb(0, 0, 255));
    SetPixel(src.dc(), 1, 1, Rgb(0, 0, 0));
    ASSERT_TRUE(StretchBlt(dst.dc(), 0, 0, 4, 4, src.dc(), 0, 0, 2, 2, kSrcCopy));
    EXPECT_EQ(dst.At(0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(dst.At(1, 1), Rgb(255, 0, 0));
    EXPECT_EQ(dst.At(2, 0), Rgb(0, 255, 0));
    EXPECT_EQ(dst.At(1, 2), Rgb(0, 0, 255));
    EXPECT_EQ(dst.At(3, 3), Rgb(0, 0, 0));

    // Shrinking 4 -> 2 samples pixel centres 1 and 3.
    Canvas small(2, 2);
    ASSERT_TRUE(StretchBlt(small.dc(), 0, 0, 2, 2, dst.dc(), 0, 0, 4, 4, kSrcCopy));
    EXPECT_EQ(small.At(0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(small.At(1, 1), Rgb(0, 0, 0));

    // Mirrored horizontally: the destination runs from x = 1 back to x = 0.
    Canvas mirror(2, 2);
    ASSERT_TRUE(StretchBlt(mirror.dc(), 1, 0, -2, 2, src.dc(), 0, 0, 2, 2, kSrcCopy));
    EXPECT_EQ(mirror.At(0, 0), Rgb(0, 255, 0));
    EXPECT_EQ(mirror.At(1, 0), Rgb(255, 0, 0));
    EXPECT_EQ(mirror.At(0, 1), Rgb(0, 0, 0));
}

TEST(GdiBlit, TransparentBltSkipsTheKeyColour) {
    Canvas src(2, 1), dst(4, 1);
    SetPixel(src.dc(), 0, 0, Rgb(0, 255, 0));  // the up button's transparent green
    SetPixel(src.dc(), 1, 0, Rgb(10, 20, 30));
    FillRect(dst.dc(), Rect{0, 0, 4, 1}, GetStockBrush(kGrayBrush));
    ASSERT_TRUE(TransparentBlt(dst.dc(), 0, 0, 4, 1, src.dc(), 0, 0, 2, 1, Rgb(0, 255, 0)));
    EXPECT_EQ(dst.At(0, 0), Rgb(128, 128, 128));
    EXPECT_EQ(dst.At(1, 0), Rgb(128, 128, 128));
    EXPECT_EQ(dst.At(2, 0), Rgb(10, 20, 30));
    EXPECT_EQ(dst.At(3, 0), Rgb(10, 20, 30));
}

TEST(GdiBlit, MonochromeAndColourConvertThroughTextAndBackgroundColours) {
    // Colour -> monochrome: pixels equal to the source DC's background
    // colour become white, all others black.
    Canvas color(2, 1);
    SetPixel(color.dc(), 0, 0, Rgb(0, 255, 0));
    SetPixel(color.dc(), 1, 0, Rgb(255, 255, 255));
    SetBkColor(color.dc(), Rgb(0, 255, 0));
    Hdc monoDc = CreateCompatibleDC(Hdc{});
    HBitmap mono = CreateBitmap(2, 1, 1, 1, nullptr);
    HBitmap old = SelectObject(monoDc, mono);
    ASSERT_TRUE(BitBlt(monoDc, 0, 0, 2, 1, color.dc(), 0, 0, kSrcCopy));
    EXPECT_EQ(GetPixel(monoDc, 0, 0), Rgb(255, 255, 255));
    EXPECT_EQ(GetPixel(monoDc, 1, 0), Rgb(0, 0, 0));

    // Monochrome -> colour: 1 bits take the destination's background
    // colour, 0 bits its text colour.
    Canvas out(2, 1);
    SetBkColor(out.dc(), Rgb(1, 2, 3));
    SetTextColor(out.dc(), Rgb(4, 5, 6));
    ASSERT_TRUE(BitBlt(out.dc(), 0, 0, 2, 1, monoDc, 0, 0, kSrcCopy));
    EXPECT_EQ(out.At(0, 0), Rgb(1, 2, 3));
    EXPECT_EQ(out.At(1, 0), Rgb(4, 5, 6));
    SelectObject(monoDc, old);
    DeleteObject(mono);
    DeleteDC(monoDc);
}

TEST(GdiBlit, DibSectionAndDeviceBitmapExchangePixelsBothWays) {
    Canvas device(3, 2);
    Paint(device, 3, 2);
    Canvas dib(3, -2, 24);
    ASSERT_TRUE(BitBlt(dib.dc(), 0, 0, 3, 2, device.dc(), 0, 0, kSrcCopy));
    // Top-down 24-bit: row 1, column 2 at byte 1 * stride + 2 * 3, blue first.
    int32_t stride = DibStride(3, 24);
    EXPECT_EQ(stride, 12);
    const uint8_t* p = dib.bits() + stride + 2 * 3;
    EXPECT_EQ(p[0], 7);
    EXPECT_EQ(p[1], 10);
    EXPECT_EQ(p[2], 20);
    // Change it in memory and copy back.
    uint8_t* q = dib.bits();
    q[0] = 1;
    q[1] = 2;
    q[2] = 3;
    ASSERT_TRUE(BitBlt(device.dc(), 0, 0, 3, 2, dib.dc(), 0, 0, kSrcCopy));
    EXPECT_EQ(device.At(0, 0), Rgb(3, 2, 1));
    EXPECT_EQ(device.At(2, 1), Rgb(20, 10, 7));
}

TEST(GdiBlit, MissingSourceOrAbsurdCoordinatesAreRefused) {
    Canvas dst(2, 2);
    EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 2, 2, Hdc{}, 0, 0, kSrcCopy));
    EXPECT_FALSE(BitBlt(dst.dc(), INT32_MAX - 1, 0, 100, 2, dst.dc(), 0, 0, kSrcCopy));
    EXPECT_FALSE(TransparentBlt(dst.dc(), 0, 0, -1, 2, dst.dc(), 0, 0, 2, 2, 0));
}

}  // namespace
