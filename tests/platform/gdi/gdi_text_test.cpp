// Fonts and text: sizes from the font record and the screen dpi, weights,
// extents, and DrawText's alignment, measuring, wrapping, ellipsis,
// prefixes, clipping and background.
#include <gtest/gtest.h>

#include <algorithm>

#include "gdi_canvas.h"
#include "platform/gdi/gdi.h"

namespace {

using namespace plat;
using tlw::test::Canvas;

// A canvas with a font of that height and weight selected, black on white,
// transparent background.
class TextCanvas : public Canvas {
public:
    TextCanvas(int32_t width, int32_t height, int32_t fontHeight, int32_t weight = kFwNormal)
        : Canvas(width, height) {
        LogFont lf;
        lf.height = fontHeight;
        lf.weight = weight;
        font_ = CreateFontIndirect(lf);
        old_ = SelectObject(dc(), font_);
        SetBkMode(dc(), kTransparent);
    }
    ~TextCanvas() {
        SelectObject(dc(), old_);
        DeleteObject(font_);
    }
    // Bounding box of non-white pixels.
    Rect Ink(const Rect& area) const {
        Rect box{area.right, area.bottom, area.left, area.top};
        for (int32_t y = area.top; y < area.bottom; ++y)
            for (int32_t x = area.left; x < area.right; ++x)
                if (At(x, y) != Rgb(255, 255, 255)) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x + 1);
                    box.bottom = std::max(box.bottom, y + 1);
                }
        return box;
    }
    int32_t Width(std::u16string_view text) const {
        Size s;
        EXPECT_TRUE(GetTextExtentPoint(dc(), text, &s));
        return s.cx;
    }

private:
    HFont font_;  // the selected font
    HFont old_;   // the DC's previous font
};

TEST(GdiText, NegativeHeightIsTheCharacterHeightPositiveTheCellHeight) {
    TextCanvas em(10, 10, -16);
    TextMetrics m;
    ASSERT_TRUE(GetTextMetrics(em.dc(), &m));
    EXPECT_EQ(m.height, m.ascent + m.descent);
    EXPECT_EQ(m.height - m.internalLeading, 16);
    EXPECT_GE(m.height, 17);

    TextCanvas cell(10, 10, 20);
    ASSERT_TRUE(GetTextMetrics(cell.dc(), &m));
    EXPECT_GE(m.height, 19);
    EXPECT_LE(m.height, 21);
}

TEST(GdiText, SystemFontIsNinePointsAtTheScreenDpi) {
    LogFont lf;
    ASSERT_TRUE(GetFontInfo(GetStockFont(kSystemFont), &lf));
    EXPECT_EQ(lf.height, -12);
    EXPECT_EQ(lf.weight, kFwNormal);
    SetScreenDpi(192, 192);
    ASSERT_TRUE(GetFontInfo(GetStockFont(kSystemFont), &lf));
    EXPECT_EQ(lf.height, -24);
    Canvas c(4, 4);  // a new DC holds the system font
    TextMetrics m;
    ASSERT_TRUE(GetTextMetrics(c.dc(), &m));
    EXPECT_EQ(m.height - m.internalLeading, 24);
    SetScreenDpi(96, 96);
}

TEST(GdiText, BoldIsWiderAndExtentsAddUp) {
    TextCanvas normal(10, 10, -14), bold(10, 10, -14, kFwBold);
    EXPECT_GT(bold.Width(u"Profile"), normal.Width(u"Profile"));
    EXPECT_EQ(normal.Width(u"ab") + normal.Width(u"cd"), normal.Width(u"abcd"));
    EXPECT_EQ(normal.Width(u""), 0);
    TextMetrics m;
    ASSERT_TRUE(GetTextMetrics(bold.dc(), &m));
    EXPECT_EQ(m.weight, kFwBold);

    // Characters that fit a width, counted in UTF-16 units.
    int32_t fit = 0;
    Size size;
    int32_t two = normal.Width(u"ab");
    ASSERT_TRUE(GetTextExtentExPoint(normal.dc(), u"abcd", two, &fit, &size));
    EXPECT_EQ(fit, 2);
    EXPECT_EQ(size.cx, normal.Width(u"abcd"));
    ASSERT_TRUE(GetTextExtentExPoint(normal.dc(), u"\U0001F600x", 1000, &fit, &size));
    EXPECT_EQ(fit, 3);
}

TEST(GdiText, DrawTextAlignsLeftCentreRightAndVertically) {
    Rect box{0, 0, 100, 30};
    for (uint32_t align : {kDtLeft, kDtCenter, kDtRight}) {
        TextCanvas c(100, 30, -12);
        Rect r = box;
        ASSERT_GT(DrawText(c.dc(), u"Wifi", &r, align | kDtSingleLine | kDtVCenter), 0);
        Rect ink = c.Ink(box);
        int32_t w = c.Width(u"Wifi");
        if (align == kDtLeft) {
            EXPECT_LE(ink.left, 2);
        } else if (align == kDtCenter) {
            EXPECT_NEAR((ink.left + ink.right) / 2.0, 50.0, 2.0);
        } else {
            EXPECT_GE(ink.right, 100 - 2);
        }
        EXPECT_LE(ink.right - ink.left, w);
        EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 15.0, 3.0);
    }
}

TEST(GdiText, CalcRectMeasuresWithoutDrawing) {
    TextCanvas c(100, 60, -12);
    TextMetrics m;
    GetTextMetrics(c.dc(), &m);
    Rect r{5, 5, 100, 60};
    EXPECT_EQ(DrawText(c.dc(), u"Night", &r, kDtCalcRect | kDtSingleLine), m.height);
    EXPECT_EQ(r.right - r.left, c.Width(u"Night"));
    EXPECT_EQ(r.bottom - r.top, m.height);
    Rect all{0, 0, 100, 60};
    EXPECT_EQ(c.Ink(all).left, all.right);  // nothing drawn

    // Two lines from a line end; "\r\n" counts once.
    r = Rect{0, 0, 100, 60};
    EXPECT_EQ(DrawText(c.dc(), u"a\r\nbb", &r, kDtCalcRect), 2 * m.height);
    EXPECT_EQ(r.right, c.Width(u"bb"));
    // Single line ignores line ends.
    r = Rect{0, 0, 100, 60};
    EXPECT_EQ(DrawText(c.dc(), u"a\r\nbb", &r, kDtCalcRect | kDtSingleLine), m.height);
}

TEST(GdiText, WordBreakWrapsBetweenWordsToTheWidth) {
    TextCanvas c(200, 100, -12);
    TextMetrics m;
    GetTextMetrics(c.dc(), &m);
    int32_t width = c.Width(u"Manual pro");
    Rect r{0, 0, width, 100};
    EXPECT_EQ(DrawText(c.dc(), u"Manual profile time", &r, kDtCalcRect | kDtWordBreak), 3 * m.height);
    EXPECT_LE(r.right, width);
    // A word wider than the box stays whole on its line.
    r = Rect{0, 0, 5, 100};
    EXPECT_EQ(DrawText(c.dc(), u"Flight", &r, kDtCalcRect | kDtWordBreak), m.height);
    EXPECT_EQ(r.right, c.Width(u"Flight"));
}

TEST(GdiText, EndEllipsisShortensLinesThatDoNotFit) {
    TextCanvas c(200, 30, -12);
    int32_t width = c.Width(u"Profile...");
    Rect r{0, 0, width, 30};
    DrawText(c.dc(), u"Profile number one", &r, kDtCalcRect | kDtSingleLine | kDtEndEllipsis);
    EXPECT_EQ(r.right, width);
    r = Rect{0, 0, width, 30};
    DrawText(c.dc(), u"Profile number one", &r, kDtSingleLine | kDtEndEllipsis);
    EXPECT_LE(c.Ink(Rect{0, 0, 200, 30}).right, width);
    // Text that fits is left alone.
    r = Rect{0, 0, 200, 30};
    DrawText(c.dc(), u"Day", &r, kDtCalcRect | kDtSingleLine | kDtEndEllipsis);
    EXPECT_EQ(r.right, c.Width(u"Day"));
}

TEST(GdiText, PrefixesAreRemovedAndUnderlinedUnlessNoPrefix) {
    TextCanvas c(100, 30, -12);
    Rect r{0, 0, 100, 30};
    DrawText(c.dc(), u"&Lock", &r, kDtCalcRect | kDtSingleLine);
    EXPECT_EQ(r.right, c.Width(u"Lock"));
    r = Rect{0, 0, 100, 30};
    DrawText(c.dc(), u"A&&B", &r, kDtCalcRect | kDtSingleLine);
    EXPECT_EQ(r.right, c.Width(u"A&B"));
    r = Rect{0, 0, 100, 30};
    DrawText(c.dc(), u"A&&B", &r, kDtCalcRect | kDtSingleLine | kDtNoPrefix);
    EXPECT_EQ(r.right, c.Width(u"A&&B"));

    // The underline goes below the baseline under the prefixed letter only.
    TextMetrics m;
    GetTextMetrics(c.dc(), &m);
    r = Rect{0, 0, 100, 30};
    DrawText(c.dc(), u"&Lock", &r, kDtSingleLine);
    Rect under = c.Ink(Rect{0, m.ascent + 1, 100, m.height});
    EXPECT_LT(under.left, under.right);
    EXPECT_LE(under.right, c.Width(u"L") + 1);
}

TEST(GdiText, DrawTextClipsToItsRectangleUnlessNoClip) {
    TextCanvas c(100, 30, -16);
    Rect r{0, 0, 10, 30};
    DrawText(c.dc(), u"Wide text", &r, kDtSingleLine);
    EXPECT_LE(c.Ink(Rect{0, 0, 100, 30}).right, 10);
    r = Rect{0, 0, 10, 30};
    DrawText(c.dc(), u"Wide text", &r, kDtSingleLine | kDtNoClip);
    EXPECT_GT(c.Ink(Rect{0, 0, 100, 30}).right, 20);
}

TEST(GdiText, OpaqueBackgroundFillsTheTextCell) {
    TextCanvas c(60, 30, -12);
    SetBkMode(c.dc(), kOpaque);
    SetBkColor(c.dc(), Rgb(0, 255, 0));
    ASSERT_TRUE(TextOut(c.dc(), 5, 5, u"i"));
    TextMetrics m;
    GetTextMetrics(c.dc(), &m);
    EXPECT_EQ(c.At(5, 5), Rgb(0, 255, 0));
    EXPECT_EQ(c.At(5, 5 + m.height - 1), Rgb(0, 255, 0));
    EXPECT_EQ(c.At(5, 5 + m.height), Rgb(255, 255, 255));
    EXPECT_EQ(c.At(4, 5), Rgb(255, 255, 255));

    // ExtTextOut fills its rectangle and clips to it.
    Rect r{30, 0, 40, 10};
    ASSERT_TRUE(ExtTextOut(c.dc(), 30, 0, kEtoOpaque | kEtoClipped, &r, u"WWWW"));
    EXPECT_EQ(c.At(40, 2), Rgb(255, 255, 255));
    EXPECT_EQ(c.Ink(Rect{40, 0, 60, 30}).left, 60);
}

TEST(GdiText, TextColourAndMonochromeTargets) {
    TextCanvas c(40, 20, -14, kFwBold);
    SetTextColor(c.dc(), Rgb(255, 0, 0));
    TextOut(c.dc(), 0, 0, u"H");
    bool red = false;
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 40; ++x) red = red || c.At(x, y) == Rgb(255, 0, 0);
    EXPECT_TRUE(red);

    // On a monochrome bitmap the text is black where it covers most.
    Hdc dc = CreateCompatibleDC(Hdc{});
    HBitmap mono = CreateBitmap(40, 20, 1, 1, nullptr);
    HBitmap old = SelectObject(dc, mono);
    PatBlt(dc, 0, 0, 40, 20, kWhiteness);
    SetBkMode(dc, kTransparent);
    ASSERT_TRUE(TextOut(dc, 0, 0, u"H"));
    int black = 0;
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 40; ++x) black += GetPixel(dc, x, y) == Rgb(0, 0, 0);
    EXPECT_GT(black, 10);
    SelectObject(dc, old);
    DeleteObject(mono);
    DeleteDC(dc);
}

}  // namespace
