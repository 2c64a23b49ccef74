// Icons: from a mask and a colour bitmap (the notification icon's way),
// drawn with the mask, the image or both, scaled, with alpha, and from
// ".ico" data choosing the nearest entry.
#include <gtest/gtest.h>

#include <vector>

#include "gdi_canvas.h"
#include "platform/gdi/gdi.h"

namespace {

using namespace plat;
using tlw::test::Canvas;
using tlw::test::ReadTestData;

// A 2 x 2 icon: mask white (see-through) except the top-left pixel, whose
// colour is red; the others are black in the colour bitmap.
HIcon MakeIcon() {
    Canvas mask(2, 2), color(2, 2);
    FillRect(mask.dc(), Rect{0, 0, 2, 2}, GetStockBrush(kWhiteBrush));
    FillRect(color.dc(), Rect{0, 0, 2, 2}, GetStockBrush(kBlackBrush));
    SetPixel(mask.dc(), 0, 0, Rgb(0, 0, 0));
    SetPixel(color.dc(), 0, 0, Rgb(255, 0, 0));
    IconInfo info;
    info.mask = mask.bitmap();
    info.color = color.bitmap();
    return CreateIconIndirect(info);  // copies: the canvases may go
}

TEST(GdiIcon, MaskKeepsTheBackgroundAndDrawsOpaquePixels) {
    HIcon icon = MakeIcon();
    ASSERT_TRUE(icon);
    Canvas c(3, 3);
    FillRect(c.dc(), Rect{0, 0, 3, 3}, GetStockBrush(kGrayBrush));
    ASSERT_TRUE(DrawIcon(c.dc(), 1, 1, icon));
    EXPECT_EQ(c.At(1, 1), Rgb(255, 0, 0));
    EXPECT_EQ(c.At(2, 1), Rgb(128, 128, 128));
    EXPECT_EQ(c.At(2, 2), Rgb(128, 128, 128));
    EXPECT_EQ(c.At(0, 0), Rgb(128, 128, 128));

    // The mask alone blackens the opaque pixel; the image alone XORs.
    ASSERT_TRUE(DrawIconEx(c.dc(), 0, 0, icon, 0, 0, kDiMask));
    EXPECT_EQ(c.At(0, 0), Rgb(0, 0, 0));
    ASSERT_TRUE(DrawIconEx(c.dc(), 0, 0, icon, 0, 0, kDiImage));
    EXPECT_EQ(c.At(0, 0), Rgb(255, 0, 0));
    EXPECT_FALSE(DrawIconEx(c.dc(), 0, 0, icon, 0, 0, 0));
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DrawIcon(c.dc(), 0, 0, icon));
}

TEST(GdiIcon, DrawIconExScalesByNearestNeighbour) {
    HIcon icon = MakeIcon();
    Canvas c(4, 4);
    ASSERT_TRUE(DrawIconEx(c.dc(), 0, 0, icon, 4, 4, kDiNormal));
    EXPECT_EQ(c.At(0, 0), Rgb(255, 0, 0));
    EXPECT_EQ(c.At(1, 1), Rgb(255, 0, 0));
    EXPECT_EQ(c.At(2, 1), Rgb(255, 255, 255));
    EXPECT_EQ(c.At(1, 2), Rgb(255, 255, 255));
    DestroyIcon(icon);
}

TEST(GdiIcon, ThirtyTwoBitColourWithAlphaBlendsInsteadOfMasking) {
    Canvas color(1, -1, 32);
    color.bits()[2] = 255;  // red
    color.bits()[3] = 128;  // half opaque
    Canvas mask(1, 1);
    SetPixel(mask.dc(), 0, 0, Rgb(255, 255, 255));
    IconInfo info;
    info.mask = mask.bitmap();
    info.color = color.bitmap();
    HIcon icon = CreateIconIndirect(info);
    ASSERT_TRUE(icon);
    Canvas c(1, 1);
    SetPixel(c.dc(), 0, 0, Rgb(0, 0, 0));
    DrawIcon(c.dc(), 0, 0, icon);
    EXPECT_EQ(c.At(0, 0), Rgb(128, 0, 0));

    // GetIconInfo gives the images back, alpha included.
    IconInfo back;
    ASSERT_TRUE(GetIconInfo(icon, &back));
    BitmapDesc desc;
    ASSERT_TRUE(GetDibSectionPixels(back.color, &desc));
    EXPECT_EQ(desc.bits[3], 128);
    EXPECT_EQ(desc.bits[2], 255);
    DeleteObject(back.color);
    DeleteObject(back.mask);
    DestroyIcon(icon);
}

TEST(GdiIcon, ColourMaskIsSeeThroughOnlyWhereWhite) {
    Canvas mask(2, 1), color(2, 1);
    SetPixel(mask.dc(), 0, 0, Rgb(255, 255, 255));
    SetPixel(mask.dc(), 1, 0, Rgb(250, 250, 250));  // almost white: still opaque
    FillRect(color.dc(), Rect{0, 0, 2, 1}, GetStockBrush(kBlackBrush));
    IconInfo info;
    info.mask = mask.bitmap();
    info.color = color.bitmap();
    HIcon icon = CreateIconIndirect(info);
    Canvas c(2, 1);
    FillRect(c.dc(), Rect{0, 0, 2, 1}, GetStockBrush(kGrayBrush));
    DrawIcon(c.dc(), 0, 0, icon);
    EXPECT_EQ(c.At(0, 0), Rgb(128, 128, 128));
    EXPECT_EQ(c.At(1, 0), Rgb(0, 0, 0));
    DestroyIcon(icon);
}

TEST(GdiIcon, MismatchedBitmapsAreRefused) {
    HBitmap a = CreateCompatibleBitmap(Hdc{}, 2, 2);
    HBitmap b = CreateCompatibleBitmap(Hdc{}, 3, 2);
    IconInfo info;
    info.mask = a;
    info.color = b;
    EXPECT_FALSE(CreateIconIndirect(info));
    info.mask = HBitmap{};
    EXPECT_FALSE(CreateIconIndirect(info));
    DeleteObject(a);
    DeleteObject(b);
}

TEST(GdiIcon, IcoDataGivesTheNearestEntry) {
    std::vector<uint8_t> ico = ReadTestData("gdi_icon.ico");
    HIcon small = CreateIconFromIco(ico.data(), ico.size(), 4, 4);
    HIcon large = CreateIconFromIco(ico.data(), ico.size(), 8, 8);
    HIcon first = CreateIconFromIco(ico.data(), ico.size(), 0, 0);
    HIcon scaled = CreateIconFromIco(ico.data(), ico.size(), 16, 16);  // from the 8 x 8 entry
    ASSERT_TRUE(small && large && first && scaled);
    EXPECT_EQ(GetIconSize(first).cx, 4);
    EXPECT_EQ(GetIconSize(scaled).cx, 16);

    Canvas c(16, 16);
    FillRect(c.dc(), Rect{0, 0, 16, 16}, GetStockBrush(kBlackBrush));
    DrawIcon(c.dc(), 0, 0, large);
    EXPECT_EQ(c.At(0, 0), Rgb(0, 0, 128));  // top row: blue at alpha 128 over black
    EXPECT_EQ(c.At(0, 1), Rgb(0, 0, 255));
    FillRect(c.dc(), Rect{0, 0, 16, 16}, GetStockBrush(kBlackBrush));
    DrawIcon(c.dc(), 0, 0, scaled);
    EXPECT_EQ(c.At(15, 1), Rgb(0, 0, 128));  // rows 0 and 1 come from the entry's top row
    EXPECT_EQ(c.At(15, 2), Rgb(0, 0, 255));
    for (HIcon i : {small, large, first, scaled}) DestroyIcon(i);
}

TEST(GdiIcon, MalformedIcoDataFailsCleanly) {
    std::vector<uint8_t> ico = ReadTestData("gdi_icon.ico");
    for (size_t n = 0; n < ico.size(); ++n) {
        HIcon icon = CreateIconFromIco(ico.data(), n, 8, 8);
        EXPECT_FALSE(icon) << n;
        DestroyIcon(icon);
    }
    std::vector<uint8_t> bad = ico;
    bad[6 + 16 + 12] = 0xF0;  // the second entry's offset far past the end
    EXPECT_FALSE(CreateIconFromIco(bad.data(), bad.size(), 8, 8));
    bad = ico;
    bad[4] = 0xFF;  // more entries than the data holds
    EXPECT_FALSE(CreateIconFromIco(bad.data(), bad.size(), 8, 8));
}

}  // namespace
