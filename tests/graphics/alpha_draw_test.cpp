#include "common/graphics/alpha_draw.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "dib_canvas.h"
#include "platform/gdi/gdi.h"

namespace tlw {
namespace {

using test::DibCanvas;

constexpr Colour kWhite = MakeColour(255, 255, 255);
constexpr Colour kBlack = MakeColour(0, 0, 0);
constexpr Colour kGrey = MakeColour(100, 100, 100);

// A 10 x 10 image whose pixel (x, y) has red = x, green = y, blue 200, opaque.
RgbaImage Numbered(uint32_t width = 10, uint32_t height = 10) {
    RgbaImage image;
    CreateSolidImage(&image, width, height, MakeColour(0, 0, 200), 255);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            image.red[PixelIndex(image, x, y)] = static_cast<uint8_t>(x);
            image.green[PixelIndex(image, x, y)] = static_cast<uint8_t>(y);
        }
    return image;
}

TEST(DrawImage, BlendsEachPixelByItsAlpha) {
    DibCanvas canvas(8, 4, kGrey);
    ASSERT_TRUE(canvas.Valid());
    RgbaImage image;
    ASSERT_TRUE(CreateSolidImage(&image, 3, 1, kWhite, 255));
    image.alpha[1] = 128;
    image.alpha[2] = 0;
    ASSERT_TRUE(DrawImage(image, canvas.Dc(), 2, 1));
    EXPECT_EQ(canvas.Get(2, 1), kWhite);
    EXPECT_EQ(canvas.Get(3, 1), MakeColour(178, 178, 178));  // 255 over 100 at 128
    EXPECT_EQ(canvas.Get(4, 1), kGrey);                      // alpha 0 keeps the pixel
    EXPECT_EQ(canvas.Get(1, 1), kGrey);                      // outside the image
    EXPECT_EQ(canvas.Get(2, 0), kGrey);
    EXPECT_EQ(canvas.Get(2, 2), kGrey);
}

TEST(DrawImage, TenByTenIntoTwentyFiveByTenRepeatsTwoAndAHalfTimes) {
    DibCanvas canvas(40, 12, kBlack);
    RgbaImage image = Numbered();
    ASSERT_TRUE(DrawImage(image, canvas.Dc(), 3, 1, 25, 10));
    for (int32_t j = 0; j < 25; ++j)
        for (int32_t i = 0; i < 10; ++i)
            ASSERT_EQ(canvas.Get(3 + j, 1 + i), MakeColour(j % 10, i, 200)) << j << "," << i;
    EXPECT_EQ(canvas.Get(28, 1), kBlack);  // column 25 of the area is outside it
    EXPECT_EQ(canvas.Get(3, 11), kBlack);
}

TEST(DrawImage, ASmallerAreaShowsTheImagesTopLeftPart) {
    DibCanvas canvas(10, 10, kBlack);
    RgbaImage image = Numbered();
    ASSERT_TRUE(DrawImage(image, canvas.Dc(), 0, 0, 4, 3));
    EXPECT_EQ(canvas.Get(3, 2), MakeColour(3, 2, 200));
    EXPECT_EQ(canvas.Get(4, 2), kBlack);
    EXPECT_EQ(canvas.Get(3, 3), kBlack);
}

// An area reaching past the DC's edges draws the visible part with the same
// tiling as if it were all visible.
TEST(DrawImage, ClipsAtTheSurfaceEdgesKeepingTheTiling) {
    DibCanvas canvas(12, 12, kBlack);
    RgbaImage image = Numbered();
    ASSERT_TRUE(DrawImage(image, canvas.Dc(), -13, -4, 30, 30));
    EXPECT_EQ(canvas.Get(0, 0), MakeColour(3, 4, 200));
    EXPECT_EQ(canvas.Get(11, 11), MakeColour(4, 5, 200));
    EXPECT_TRUE(DrawImage(image, canvas.Dc(), 500, 500));  // nothing visible, nothing to do
}

TEST(DrawImage, AnEmptyImageDrawsNothingAndReportsFalse) {
    DibCanvas canvas(4, 4, kGrey);
    RgbaImage empty;
    EXPECT_FALSE(DrawImage(empty, canvas.Dc(), 0, 0));
    EXPECT_FALSE(DrawImagePart(empty, canvas.Dc(), 0, 0, -1, -1, 0, 0, -1, -1));
    EXPECT_EQ(canvas.Get(0, 0), kGrey);
}

TEST(DrawImagePart, DrawsTheSmallerOfTheTwoSizesAndSkipsPixelsBeyondTheImage) {
    DibCanvas canvas(20, 20, kBlack);
    RgbaImage image = Numbered();
    // Source (6, 7) 8 x 8 reaches past the image: only 4 x 3 source pixels exist.
    ASSERT_TRUE(DrawImagePart(image, canvas.Dc(), 1, 2, 12, 5, 6, 7, 8, 8));
    EXPECT_EQ(canvas.Get(1, 2), MakeColour(6, 7, 200));
    EXPECT_EQ(canvas.Get(4, 4), MakeColour(9, 9, 200));
    EXPECT_EQ(canvas.Get(5, 2), kBlack);  // source column 10 does not exist
    EXPECT_EQ(canvas.Get(1, 5), kBlack);  // source row 10 does not exist
    // -1 means the image's size.
    DibCanvas second(20, 20, kBlack);
    ASSERT_TRUE(DrawImagePart(image, second.Dc(), 0, 0, -1, -1, 2, 3, -1, 2));
    EXPECT_EQ(second.Get(0, 0), MakeColour(2, 3, 200));
    EXPECT_EQ(second.Get(7, 1), MakeColour(9, 4, 200));
    EXPECT_EQ(second.Get(8, 0), kBlack);
    EXPECT_EQ(second.Get(0, 2), kBlack);
}

TEST(DrawImagePart, SourcePixelsBeforeTheImageAreSkippedToo) {
    DibCanvas canvas(10, 10, kBlack);
    RgbaImage image = Numbered(4, 4);
    ASSERT_TRUE(DrawImagePart(image, canvas.Dc(), 0, 0, 6, 6, -2, -1, 6, 6));
    EXPECT_EQ(canvas.Get(1, 1), kBlack);
    EXPECT_EQ(canvas.Get(2, 0), kBlack);
    EXPECT_EQ(canvas.Get(2, 1), MakeColour(0, 0, 200));
    EXPECT_EQ(canvas.Get(5, 4), MakeColour(3, 3, 200));
    // Far-away source rectangles and positions draw nothing and break nothing.
    EXPECT_TRUE(DrawImagePart(image, canvas.Dc(), 0, 0, 5, 5, INT32_MIN, INT32_MIN, 5, 5));
    EXPECT_TRUE(DrawImagePart(image, canvas.Dc(), INT32_MIN, 0, INT32_MAX, 5, INT32_MAX, 0, INT32_MAX, 5));
    EXPECT_EQ(canvas.Get(0, 0), kBlack);
}

TEST(FillAreaWithAlpha, BlendsTheColourOverTheAreaOnly) {
    DibCanvas canvas(6, 6, kWhite);
    ASSERT_TRUE(FillAreaWithAlpha(canvas.Dc(), 1, 1, 3, 2, kBlack, 128));
    EXPECT_EQ(canvas.Get(1, 1), MakeColour(127, 127, 127));
    EXPECT_EQ(canvas.Get(3, 2), MakeColour(127, 127, 127));
    EXPECT_EQ(canvas.Get(4, 1), kWhite);
    EXPECT_EQ(canvas.Get(1, 3), kWhite);
    ASSERT_TRUE(FillAreaWithAlpha(canvas.Dc(), 0, 0, 6, 6, MakeColour(255, 0, 0), 255));
    EXPECT_EQ(canvas.Get(5, 5), MakeColour(255, 0, 0));
}

TEST(CrossFade, BlendsTheSourceAreaOverTheDestination) {
    DibCanvas destination(5, 5, kBlack);
    DibCanvas source(5, 5, kWhite);
    source.Set(2, 2, MakeColour(0, 255, 0));
    ASSERT_TRUE(CrossFade(destination.Dc(), 1, 1, 3, 3, source.Dc(), 128));
    EXPECT_EQ(destination.Get(1, 1), MakeColour(128, 128, 128));
    EXPECT_EQ(destination.Get(2, 2), MakeColour(0, 128, 0));
    EXPECT_EQ(destination.Get(0, 0), kBlack);
    EXPECT_EQ(destination.Get(4, 4), kBlack);
}

TEST(FlattenOntoBitmap, CompositesTheImageOverTheBitmapAndMakesItOpaque) {
    DibCanvas canvas(6, 6, kBlack);
    canvas.Set(3, 2, MakeColour(0, 0, 255));
    RgbaImage image;
    ASSERT_TRUE(CreateSolidImage(&image, 3, 3, kWhite, 128));
    image.alpha[PixelIndex(image, 2, 2)] = 0;
    ASSERT_TRUE(FlattenOntoBitmap(&image, 2, 1, canvas.Bitmap(), 3, 3));
    EXPECT_EQ(image.alpha[0], 255);
    EXPECT_EQ(image.red[0], 128);
    std::size_t overBlue = PixelIndex(image, 1, 1);  // over bitmap (3, 2)
    EXPECT_EQ(image.red[overBlue], 128);
    EXPECT_EQ(image.blue[overBlue], 255);
    std::size_t clear = PixelIndex(image, 2, 2);  // alpha 0: the bitmap's pixel
    EXPECT_EQ(image.red[clear], 0);
    EXPECT_EQ(image.alpha[clear], 255);
    EXPECT_EQ(canvas.Get(2, 1), kBlack);  // the bitmap is only read
}

TEST(ImageFromBitmapWithColourKey, KeyColourBecomesTransparent) {
    DibCanvas canvas(5, 3, MakeColour(0, 255, 0));
    canvas.Set(1, 1, MakeColour(10, 20, 30));
    canvas.Set(4, 2, kWhite);
    RgbaImage image;
    ASSERT_TRUE(ImageFromBitmapWithColourKey(&image, canvas.Bitmap(), MakeColour(0, 255, 0)));
    ASSERT_EQ(image.width, 5u);  // the real width, not the row padding
    ASSERT_EQ(image.height, 3u);
    EXPECT_EQ(image.alpha[PixelIndex(image, 0, 0)], 0);
    std::size_t k = PixelIndex(image, 1, 1);
    EXPECT_EQ(image.alpha[k], 255);
    EXPECT_EQ(image.red[k], 10);
    EXPECT_EQ(image.green[k], 20);
    EXPECT_EQ(image.blue[k], 30);
    EXPECT_EQ(image.alpha[PixelIndex(image, 4, 2)], 255);
    EXPECT_FALSE(ImageFromBitmapWithColourKey(&image, plat::HBitmap{}, 0));
    EXPECT_FALSE(ImageHasPixels(image));
}

// The same drawing on a device bitmap in a memory DC (not a DIB section).
TEST(DrawImage, WorksOnDeviceBitmapsToo) {
    plat::HBitmap bitmap = plat::CreateCompatibleBitmap(plat::Hdc{}, 8, 8);
    plat::Hdc dc = plat::CreateCompatibleDC(plat::Hdc{});
    plat::HBitmap old = plat::SelectObject(dc, bitmap);
    RgbaImage image;
    ASSERT_TRUE(CreateSolidImage(&image, 2, 2, MakeColour(255, 0, 0), 128));
    ASSERT_TRUE(DrawImage(image, dc, 3, 3));
    EXPECT_EQ(plat::GetPixel(dc, 3, 3), plat::Rgb(128, 0, 0));
    EXPECT_EQ(plat::GetPixel(dc, 5, 5), plat::Rgb(0, 0, 0));
    plat::SelectObject(dc, old);
    plat::DeleteDC(dc);
    plat::DeleteObject(bitmap);
}

}  // namespace
}  // namespace tlw
