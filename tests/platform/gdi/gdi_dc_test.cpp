// Device contexts and the object table: selection, the SaveDC stack,
// deletion rules, stale handles and the monochrome-memory-DC rule.
#include <gtest/gtest.h>

#include "gdi_canvas.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/last_error.h"

namespace {

using namespace plat;
using tlw::test::Canvas;

TEST(GdiDc, NewMemoryDcHoldsMonochromeBitmapSoCompatibleBitmapsAreMonochrome) {
    Hdc dc = CreateCompatibleDC(Hdc{});
    ASSERT_TRUE(dc);
    BitmapDesc desc;
    ASSERT_TRUE(GetBitmapInfo(GetCurrentBitmap(dc), &desc));
    EXPECT_EQ(desc.width, 1);
    EXPECT_EQ(desc.bitCount, 1);

    HBitmap mono = CreateCompatibleBitmap(dc, 8, 8);
    HBitmap color = CreateCompatibleBitmap(Hdc{}, 8, 8);
    ASSERT_TRUE(GetBitmapInfo(mono, &desc));
    EXPECT_EQ(desc.bitCount, 1);
    ASSERT_TRUE(GetBitmapInfo(color, &desc));
    EXPECT_EQ(desc.bitCount, 32);
    EXPECT_FALSE(desc.dibSection);
    EXPECT_EQ(desc.bits, nullptr);

    // With a colour bitmap selected, the DC makes colour bitmaps.
    HBitmap old = SelectObject(dc, color);
    HBitmap second = CreateCompatibleBitmap(dc, 4, 4);
    ASSERT_TRUE(GetBitmapInfo(second, &desc));
    EXPECT_EQ(desc.bitCount, 32);
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(second));
    EXPECT_TRUE(DeleteObject(color));
    EXPECT_TRUE(DeleteObject(mono));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiDc, BitmapSelectedInOneDcIsRefusedByAnotherAndCannotBeDeleted) {
    Canvas a(4, 4);
    Hdc other = CreateCompatibleDC(Hdc{});
    EXPECT_FALSE(SelectObject(other, a.bitmap()));
    EXPECT_FALSE(DeleteObject(a.bitmap()));
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
    EXPECT_EQ(GetCurrentBitmap(a.dc()), a.bitmap());
    DeleteDC(other);
}

TEST(GdiDc, DeletedHandleIsRefusedEvenWhenItsSlotIsReused) {
    HBrush first = CreateSolidBrush(Rgb(1, 2, 3));
    ASSERT_TRUE(DeleteObject(first));
    HBrush second = CreateSolidBrush(Rgb(4, 5, 6));
    EXPECT_NE(first.value, second.value);
    EXPECT_EQ(GetBrushColor(first), kClrInvalid);
    EXPECT_EQ(GetLastError(), kErrorInvalidHandle);
    EXPECT_FALSE(DeleteObject(first));
    EXPECT_EQ(GetBrushColor(second), Rgb(4, 5, 6));
    DeleteObject(second);

    // A handle of one kind is not taken for another.
    HPen pen = CreatePen(kPsSolid, 1, 0);
    EXPECT_FALSE(DeleteObject(HBrush{pen.value}));
    EXPECT_TRUE(DeleteObject(pen));
}

TEST(GdiDc, SelectedBrushCannotBeDeletedUntilReplaced) {
    Canvas c(2, 2);
    HBrush brush = CreateSolidBrush(Rgb(9, 9, 9));
    HBrush old = SelectObject(c.dc(), brush);
    EXPECT_EQ(old, GetStockBrush(kWhiteBrush));
    EXPECT_FALSE(DeleteObject(brush));
    SelectObject(c.dc(), old);
    EXPECT_TRUE(DeleteObject(brush));
    // Stock objects report success and stay usable.
    EXPECT_TRUE(DeleteObject(GetStockBrush(kBlackBrush)));
    EXPECT_EQ(GetBrushColor(GetStockBrush(kBlackBrush)), Rgb(0, 0, 0));
}

TEST(GdiDc, RestoreDcBringsBackObjectsColoursAndOriginByLevel) {
    Canvas c(4, 4);
    HPen red = CreatePen(kPsSolid, 1, Rgb(255, 0, 0));
    HPen blue = CreatePen(kPsSolid, 1, Rgb(0, 0, 255));
    SetTextColor(c.dc(), Rgb(1, 1, 1));
    SelectObject(c.dc(), red);
    EXPECT_EQ(SaveDC(c.dc()), 1);
    SetTextColor(c.dc(), Rgb(2, 2, 2));
    SetBrushOrg(c.dc(), 3, 4);
    SelectObject(c.dc(), blue);
    IntersectClipRect(c.dc(), 0, 0, 2, 2);
    EXPECT_EQ(SaveDC(c.dc()), 2);
    SetBkMode(c.dc(), kTransparent);
    EXPECT_EQ(SaveDC(c.dc()), 3);

    ASSERT_TRUE(RestoreDC(c.dc(), -1));  // back to level 3's state
    EXPECT_EQ(GetBkMode(c.dc()), kTransparent);
    ASSERT_TRUE(RestoreDC(c.dc(), 1));  // straight back to the first save
    EXPECT_EQ(GetTextColor(c.dc()), Rgb(1, 1, 1));
    EXPECT_EQ(GetBrushOrg(c.dc()).x, 0);
    EXPECT_EQ(GetBkMode(c.dc()), kOpaque);
    EXPECT_EQ(GetCurrentPen(c.dc()), red);
    EXPECT_EQ(GetClipBox(c.dc()).right, 4);
    EXPECT_FALSE(RestoreDC(c.dc(), -1));  // nothing saved any more
    EXPECT_FALSE(RestoreDC(c.dc(), 0));

    // The pen the restore released can be deleted; the one it restored not.
    EXPECT_TRUE(DeleteObject(blue));
    EXPECT_FALSE(DeleteObject(red));
    SelectObject(c.dc(), GetStockPen(kBlackPen));
    EXPECT_TRUE(DeleteObject(red));
}

TEST(GdiDc, RestoreDcFallsBackToDefaultsForObjectsDeletedSinceTheSave) {
    Canvas c(2, 2);
    HBrush brush = CreateSolidBrush(Rgb(5, 5, 5));
    SelectObject(c.dc(), brush);
    SaveDC(c.dc());
    SelectObject(c.dc(), GetStockBrush(kNullBrush));
    ASSERT_TRUE(DeleteObject(brush));
    ASSERT_TRUE(RestoreDC(c.dc(), -1));
    EXPECT_EQ(GetCurrentBrush(c.dc()), GetStockBrush(kWhiteBrush));
}

TEST(GdiDc, OffscreenDcOwnsItsWhiteSurfaceWhichCannotBeReplaced) {
    Hdc dc = CreateOffscreenDC(20, 10);
    ASSERT_TRUE(dc);
    HBitmap surface = GetCurrentBitmap(dc);
    BitmapDesc desc;
    ASSERT_TRUE(GetBitmapInfo(surface, &desc));
    EXPECT_EQ(desc.width, 20);
    EXPECT_EQ(desc.height, 10);
    EXPECT_EQ(GetPixel(dc, 19, 9), Rgb(255, 255, 255));
    HBitmap other = CreateCompatibleBitmap(Hdc{}, 2, 2);
    EXPECT_FALSE(SelectObject(dc, other));
    EXPECT_FALSE(DeleteObject(surface));  // held by its DC
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(GetBitmapInfo(surface, &desc));  // went with the DC
    DeleteObject(other);
}

TEST(GdiDc, DeviceCapsReportTheScreenDpiAndSize) {
    SetScreenDpi(192, 131);
    SetScreenSize(480, 640);
    Canvas c(2, 2);
    EXPECT_EQ(GetDeviceCaps(c.dc(), kCapLogPixelsX), 192);
    EXPECT_EQ(GetDeviceCaps(c.dc(), kCapLogPixelsY), 131);
    EXPECT_EQ(GetDeviceCaps(Hdc{}, kCapHorzRes), 480);
    EXPECT_EQ(GetDeviceCaps(c.dc(), kCapBitsPixel), 24);
    SetScreenDpi(96, 96);
    SetScreenSize(240, 320);
}

TEST(GdiDc, SysColorBrushFollowsSetSysColor) {
    ColorRef saved = GetSysColor(kColorHighlight);
    HBrush brush = GetSysColorBrush(kColorHighlight);
    SetSysColor(kColorHighlight, Rgb(1, 2, 3));
    EXPECT_EQ(GetBrushColor(brush), Rgb(1, 2, 3));
    SetSysColor(kColorHighlight, saved);
    EXPECT_EQ(GetBrushColor(GetSysColorBrush(kColorHighlight)), saved);
}

}  // namespace
