// Lines, rectangles, rounded shapes, fills and pixels.
#include <gtest/gtest.h>

#include "gdi_canvas.h"
#include "platform/gdi/gdi.h"

namespace {

using namespace plat;
using tlw::test::Canvas;

constexpr ColorRef kWhite = Rgb(255, 255, 255);
constexpr ColorRef kRed = Rgb(255, 0, 0);

// Selects a pen for a canvas's lifetime of one test.
class PenScope {
public:
    PenScope(Hdc dc, int32_t style, int32_t width, ColorRef color) : dc_(dc) {
        pen_ = CreatePen(style, width, color);
        old_ = SelectObject(dc_, pen_);
    }
    ~PenScope() {
        SelectObject(dc_, old_);
        DeleteObject(pen_);
    }

private:
    Hdc dc_;
    HPen pen_;
    HPen old_;
};

TEST(GdiShapes, LinesLeaveOutTheirEndPoint) {
    Canvas c(10, 10);
    PenScope pen(c.dc(), kPsSolid, 1, kRed);
    Point previous;
    MoveToEx(c.dc(), 1, 1);
    ASSERT_TRUE(LineTo(c.dc(), 5, 1));
    EXPECT_EQ(c.At(1, 1), kRed);
    EXPECT_EQ(c.At(4, 1), kRed);
    EXPECT_EQ(c.At(5, 1), kWhite);
    // The current position moved to the end point.
    MoveToEx(c.dc(), 0, 0, &previous);
    EXPECT_EQ(previous.x, 5);
    // A diagonal.
    MoveToEx(c.dc(), 0, 3);
    LineTo(c.dc(), 3, 6);
    EXPECT_EQ(c.At(0, 3), kRed);
    EXPECT_EQ(c.At(2, 5), kRed);
    EXPECT_EQ(c.At(3, 6), kWhite);
    // Polyline joins the points: the CPU graph's way.
    const Point pts[] = {{6, 9}, {7, 7}, {9, 7}};
    ASSERT_TRUE(Polyline(c.dc(), pts, 3));
    EXPECT_EQ(c.At(6, 9), kRed);
    EXPECT_EQ(c.At(8, 7), kRed);
    EXPECT_FALSE(Polyline(c.dc(), pts, 1));
}

TEST(GdiShapes, WidePensAndDashes) {
    Canvas c(12, 12);
    {
        PenScope pen(c.dc(), kPsSolid, 3, kRed);
        MoveToEx(c.dc(), 2, 5);
        LineTo(c.dc(), 9, 5);
        EXPECT_EQ(c.At(4, 4), kRed);
        EXPECT_EQ(c.At(4, 6), kRed);
        EXPECT_EQ(c.At(4, 7), kWhite);
    }
    {
        PenScope pen(c.dc(), kPsDash, 1, kRed);
        MoveToEx(c.dc(), 0, 10);
        LineTo(c.dc(), 12, 10);
        EXPECT_EQ(c.At(0, 10), kRed);
        EXPECT_EQ(c.At(5, 10), kWhite);  // in the first gap
        EXPECT_EQ(c.At(8, 10), kRed);
    }
    EXPECT_FALSE(CreatePen(kPsDash, 2, 0));
    EXPECT_FALSE(CreatePen(42, 1, 0));
}

TEST(GdiShapes, RectangleFillsInsideWithTheBrushAndNullPenLeavesTheLastPixels) {
    Canvas c(10, 10);
    HBrush blue = CreateSolidBrush(Rgb(0, 0, 255));
    HBrush old = SelectObject(c.dc(), blue);
    {
        PenScope pen(c.dc(), kPsSolid, 1, kRed);
        Rectangle(c.dc(), 0, 0, 4, 4);
        EXPECT_EQ(c.At(0, 0), kRed);
        EXPECT_EQ(c.At(3, 3), kRed);
        EXPECT_EQ(c.At(1, 1), Rgb(0, 0, 255));
        EXPECT_EQ(c.At(4, 4), kWhite);
    }
    SelectObject(c.dc(), GetStockPen(kNullPen));
    Rectangle(c.dc(), 5, 5, 9, 9);
    EXPECT_EQ(c.At(5, 5), Rgb(0, 0, 255));
    EXPECT_EQ(c.At(7, 7), Rgb(0, 0, 255));
    EXPECT_EQ(c.At(8, 8), kWhite);
    // Reversed corners draw the same rectangle.
    Rectangle(c.dc(), 9, 0, 5, 4);
    EXPECT_EQ(c.At(5, 0), Rgb(0, 0, 255));
    SelectObject(c.dc(), old);
    DeleteObject(blue);
}

TEST(GdiShapes, RoundRectAndEllipseCutTheCorners) {
    Canvas c(21, 21);
    HBrush brush = CreateSolidBrush(Rgb(0, 0, 255));
    HBrush old = SelectObject(c.dc(), brush);
    PenScope pen(c.dc(), kPsSolid, 1, kRed);
    ASSERT_TRUE(RoundRect(c.dc(), 0, 0, 20, 20, 10, 10));
    EXPECT_EQ(c.At(0, 0), kWhite);        // corner cut off
    EXPECT_EQ(c.At(10, 0), kRed);         // straight edge
    EXPECT_EQ(c.At(0, 10), kRed);
    EXPECT_EQ(c.At(10, 10), Rgb(0, 0, 255));
    EXPECT_EQ(c.At(20, 10), kWhite);      // right edge excluded

    FillRect(c.dc(), Rect{0, 0, 21, 21}, GetStockBrush(kWhiteBrush));
    ASSERT_TRUE(Ellipse(c.dc(), 0, 0, 21, 21));
    EXPECT_EQ(c.At(2, 2), kWhite);
    EXPECT_EQ(c.At(10, 0), kRed);
    EXPECT_EQ(c.At(10, 10), Rgb(0, 0, 255));
    // Far outside coordinates are drawn quickly and only where visible.
    ASSERT_TRUE(Rectangle(c.dc(), -1000000000, -1000000000, 1000000000, 1000000000));
    EXPECT_EQ(c.At(10, 10), Rgb(0, 0, 255));
    SelectObject(c.dc(), old);
    DeleteObject(brush);
}

TEST(GdiShapes, FrameInvertAndPixels) {
    Canvas c(6, 6);
    HBrush red = CreateSolidBrush(kRed);
    FrameRect(c.dc(), Rect{1, 1, 5, 5}, red);
    EXPECT_EQ(c.At(1, 1), kRed);
    EXPECT_EQ(c.At(4, 4), kRed);
    EXPECT_EQ(c.At(2, 2), kWhite);
    InvertRect(c.dc(), Rect{0, 0, 2, 1});
    EXPECT_EQ(c.At(0, 0), Rgb(0, 0, 0));
    EXPECT_EQ(c.At(2, 0), kWhite);
    EXPECT_EQ(SetPixel(c.dc(), 5, 5, Rgb(1, 2, 3)), Rgb(1, 2, 3));
    EXPECT_EQ(SetPixel(c.dc(), 6, 5, Rgb(1, 2, 3)), kClrInvalid);
    EXPECT_EQ(GetPixel(c.dc(), -1, 0), kClrInvalid);
    // A clip rectangle limits every drawing call.
    IntersectClipRect(c.dc(), 0, 0, 3, 3);
    FillRect(c.dc(), Rect{0, 0, 6, 6}, red);
    EXPECT_EQ(GetPixel(c.dc(), 2, 2), kRed);
    EXPECT_EQ(GetPixel(c.dc(), 3, 3), kClrInvalid);
    ResetClipRect(c.dc());
    EXPECT_EQ(c.At(3, 3), kWhite);
    DeleteObject(red);
}

}  // namespace
