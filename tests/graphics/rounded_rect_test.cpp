#include "common/graphics/rounded_rect.h"

#include <gtest/gtest.h>

#include "dib_canvas.h"

namespace tlw {
namespace {

using test::DibCanvas;

constexpr Colour kBackground = MakeColour(0, 0, 255);
constexpr Colour kBody = MakeColour(200, 200, 200);
constexpr Colour kBorder = MakeColour(0, 0, 0);

TEST(RoundedRect, BodyBorderAndRoundedCornersOverTheBackground) {
    DibCanvas canvas(60, 40, kBackground);
    ASSERT_TRUE(DrawRoundedRect(canvas.Dc(), 10, 5, 40, 30, kBody, kBorder, false));
    // Straight edges carry the border, the inside the body.
    EXPECT_EQ(canvas.Get(30, 5), kBorder);
    EXPECT_EQ(canvas.Get(30, 34), kBorder);
    EXPECT_EQ(canvas.Get(10, 20), kBorder);
    EXPECT_EQ(canvas.Get(49, 20), kBorder);
    EXPECT_EQ(canvas.Get(30, 20), kBody);
    EXPECT_EQ(canvas.Get(11, 20), kBody);
    // The very corner pixels lie outside the curve and keep the background;
    // so does everything outside the rectangle.
    for (auto [x, y] : {std::pair{10, 5}, {49, 5}, {10, 34}, {49, 34}, {11, 5}, {10, 6}})
        EXPECT_EQ(canvas.Get(x, y), kBackground) << x << "," << y;
    EXPECT_EQ(canvas.Get(9, 20), kBackground);
    EXPECT_EQ(canvas.Get(30, 35), kBackground);
    // Pixels near the curve are partly border: neither background nor body.
    bool softened = false;
    for (int32_t d = 0; d < kRoundedCornerPixels; ++d) {
        Colour c = canvas.Get(10 + d, 5 + d);
        softened |= c != kBackground && c != kBody && c != kBorder;
    }
    EXPECT_TRUE(softened);
}

TEST(RoundedRect, CornersAreMirrorImages) {
    DibCanvas canvas(30, 30, kBackground);
    ASSERT_TRUE(DrawRoundedRect(canvas.Dc(), 0, 0, 30, 30, kBody, kBorder, false));
    for (int32_t y = 0; y < kRoundedCornerPixels; ++y)
        for (int32_t x = 0; x < kRoundedCornerPixels; ++x) {
            Colour c = canvas.Get(x, y);
            EXPECT_EQ(canvas.Get(29 - x, y), c) << x << "," << y;
            EXPECT_EQ(canvas.Get(x, 29 - y), c) << x << "," << y;
            EXPECT_EQ(canvas.Get(29 - x, 29 - y), c) << x << "," << y;
        }
}

TEST(RoundedRect, HighlightLightensTheTopAndShadesTheBottom) {
    DibCanvas canvas(40, 20, kBackground);
    ASSERT_TRUE(DrawRoundedRect(canvas.Dc(), 0, 0, 40, 20, kBody, kBorder, true));
    const Colour white = MakeColour(255, 255, 255), black = MakeColour(0, 0, 0);
    EXPECT_EQ(canvas.Get(20, 1), BlendColour(white, kBody, kHighlightEdgeAlpha));
    EXPECT_EQ(canvas.Get(20, 5), BlendColour(white, kBody, kHighlightBandAlpha));
    EXPECT_EQ(canvas.Get(20, 12), kBody);
    EXPECT_EQ(canvas.Get(20, 18), BlendColour(kBody, black, kShadeAlpha));
    EXPECT_EQ(canvas.Get(20, 19), kBorder);
}

TEST(RoundedRect, SmallAndClippedRectanglesStayInside) {
    DibCanvas canvas(10, 10, kBackground);
    ASSERT_TRUE(DrawRoundedRect(canvas.Dc(), 4, 4, 3, 3, kBody, kBorder, true));
    EXPECT_EQ(canvas.Get(3, 5), kBackground);
    EXPECT_EQ(canvas.Get(7, 5), kBackground);
    // Partly outside the surface: what is visible is drawn, nothing breaks.
    ASSERT_TRUE(DrawRoundedRect(canvas.Dc(), -20, -2, 25, 20, kBody, kBorder, false));
    EXPECT_EQ(canvas.Get(0, 4), kBody);
    EXPECT_EQ(canvas.Get(4, 4), kBorder);
    EXPECT_TRUE(DrawRoundedRect(canvas.Dc(), 0, 0, 0, 5, kBody, kBorder, false));
}

}  // namespace
}  // namespace tlw
