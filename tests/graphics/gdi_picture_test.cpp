// A picture drawn the way the Today item and the popup menu draw: a pattern
// brush aligned with the brush origin, a framed rectangle and centred bold
// text in one memory bitmap, checked pixel by pixel.
#include <gtest/gtest.h>

#include "common/graphics/alpha_draw.h"
#include "common/graphics/blend.h"
#include "common/graphics/rgba_image.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gdi/gdi_canvas.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/png_save.h"

namespace {

using namespace plat;
using tlw::test::Canvas;
using tlw::test::ReadTestData;

// The gradient bitmap's rows, top to bottom: blue 255, 192, 128, 64.
constexpr uint8_t kGradient[4] = {255, 192, 128, 64};

// Bounding box of the pixels that are not `background` inside `area`.
Rect InkBox(const Canvas& c, const Rect& area, ColorRef background) {
    Rect box{area.right, area.bottom, area.left, area.top};
    for (int32_t y = area.top; y < area.bottom; ++y)
        for (int32_t x = area.left; x < area.right; ++x)
            if (c.At(x, y) != background) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}

TEST(GdiPicture, PatternBrushRectangleAndTextInOneBitmap) {
    Canvas c(80, 40);
    std::vector<uint8_t> bmp = ReadTestData("gdi_gradient.bmp");
    HBitmap gradient = CreateBitmapFromBmp(bmp.data(), bmp.size());
    HBrush pattern = CreatePatternBrush(gradient);
    ASSERT_TRUE(pattern);
    DeleteObject(gradient);  // the brush keeps its own copy

    // Meter background: origin at the rectangle's top-left, so the
    // gradient's first row lines up with the rectangle's first row.
    Rect meter{10, 5, 30, 11};
    SetBrushOrg(c.dc(), meter.left, meter.top);
    ASSERT_TRUE(FillRect(c.dc(), meter, pattern));
    for (int32_t y = meter.top; y < meter.bottom; ++y) {
        EXPECT_EQ(c.At(10, y), Rgb(0, 0, kGradient[(y - meter.top) % 4])) << y;
        EXPECT_EQ(c.At(29, y), Rgb(0, 0, kGradient[(y - meter.top) % 4])) << y;
    }
    EXPECT_EQ(c.At(9, 5), Rgb(255, 255, 255));
    EXPECT_EQ(c.At(30, 5), Rgb(255, 255, 255));
    // Without the origin the gradient would start at row 5 % 4 = 1.
    SetBrushOrg(c.dc(), 0, 0);
    FillRect(c.dc(), Rect{40, 5, 42, 6}, pattern);
    EXPECT_EQ(c.At(40, 5), Rgb(0, 0, kGradient[1]));

    // A red frame with a null brush: the edge pixels left .. right-1, the
    // inside untouched.
    HPen red = CreatePen(kPsSolid, 1, Rgb(255, 0, 0));
    HPen oldPen = SelectObject(c.dc(), red);
    HBrush oldBrush = SelectObject(c.dc(), GetStockBrush(kNullBrush));
    ASSERT_TRUE(Rectangle(c.dc(), 50, 2, 60, 12));
    EXPECT_EQ(c.At(50, 2), Rgb(255, 0, 0));
    EXPECT_EQ(c.At(59, 11), Rgb(255, 0, 0));
    EXPECT_EQ(c.At(55, 2), Rgb(255, 0, 0));
    EXPECT_EQ(c.At(55, 6), Rgb(255, 255, 255));
    EXPECT_EQ(c.At(60, 6), Rgb(255, 255, 255));
    EXPECT_EQ(c.At(55, 12), Rgb(255, 255, 255));

    // Bold black text centred in the lower band, transparent background
    // over a grey fill.
    Rect band{0, 16, 80, 40};
    FillRect(c.dc(), band, GetStockBrush(kLtGrayBrush));
    LogFont lf;
    lf.height = -14;
    lf.weight = kFwBold;
    HFont bold = CreateFontIndirect(lf);
    HFont oldFont = SelectObject(c.dc(), bold);
    SetBkMode(c.dc(), kTransparent);
    SetTextColor(c.dc(), Rgb(0, 0, 0));
    Size extent;
    ASSERT_TRUE(GetTextExtentPoint(c.dc(), u"Tlw", &extent));
    Rect textRect = band;
    ASSERT_GT(DrawText(c.dc(), u"Tlw", &textRect, kDtCenter | kDtVCenter | kDtSingleLine), 0);
    Rect ink = InkBox(c, band, Rgb(192, 192, 192));
    ASSERT_LT(ink.left, ink.right) << "no text drawn";
    // Centred: equal margins left and right (within the glyphs' side
    // bearings), and vertically about the band's middle.
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 40.0, 2.0);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 28.0, 3.0);
    EXPECT_LE(ink.right - ink.left, extent.cx);
    EXPECT_GE(ink.right - ink.left, extent.cx - 4);
    // The glyph cores are solid black; the edges anti-aliased.
    int solid = 0;
    for (int32_t y = ink.top; y < ink.bottom; ++y)
        for (int32_t x = ink.left; x < ink.right; ++x) solid += c.At(x, y) == Rgb(0, 0, 0);
    EXPECT_GT(solid, 20);
    // Nothing outside the band was touched by the text.
    EXPECT_EQ(c.At(55, 6), Rgb(255, 255, 255));

    // A half-transparent red image over the meter: each pixel is the blend of
    // red and the gradient below it; fully transparent pixels leave it.
    tlw::RgbaImage veil;
    ASSERT_TRUE(tlw::CreateSolidImage(&veil, 4, 6, tlw::MakeColour(255, 0, 0), 128));
    veil.alpha[tlw::PixelIndex(veil, 3, 0)] = 0;
    ASSERT_TRUE(tlw::DrawImage(veil, c.dc(), 12, 5, 4, 6));
    for (int32_t y = 5; y < 11; ++y) {
        uint8_t below = kGradient[(y - 5) % 4];
        EXPECT_EQ(c.At(12, y), Rgb(tlw::BlendChannel(255, 0, 128), 0, tlw::BlendChannel(0, below, 128))) << y;
    }
    EXPECT_EQ(c.At(15, 5), Rgb(0, 0, kGradient[0]));
    EXPECT_EQ(c.At(16, 5), Rgb(0, 0, kGradient[0]));

    if (const char* dir = std::getenv("TLW_PICTURE_DIR")) SaveDcPng(c.dc(), std::string(dir) + "/gdi_picture.png");
    SelectObject(c.dc(), oldFont);
    SelectObject(c.dc(), oldPen);
    SelectObject(c.dc(), oldBrush);
    DeleteObject(bold);
    DeleteObject(red);
    DeleteObject(pattern);
}

TEST(GdiPicture, MonochromePatternTakesTheDcColours) {
    const uint8_t bits[] = {0x80, 0x00};  // 2 x 1: white, black
    HBitmap mono = CreateBitmap(2, 1, 1, 1, bits);
    HBrush brush = CreatePatternBrush(mono);
    Canvas c(4, 1);
    SetTextColor(c.dc(), Rgb(10, 0, 0));
    SetBkColor(c.dc(), Rgb(0, 20, 0));
    FillRect(c.dc(), Rect{0, 0, 4, 1}, brush);
    EXPECT_EQ(c.At(0, 0), Rgb(0, 20, 0));
    EXPECT_EQ(c.At(1, 0), Rgb(10, 0, 0));
    EXPECT_EQ(c.At(2, 0), Rgb(0, 20, 0));
    DeleteObject(brush);
    DeleteObject(mono);
}

}  // namespace
