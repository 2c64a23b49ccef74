#include "common/graphics/rgba_image.h"

#include <gtest/gtest.h>

namespace tlw {
namespace {

TEST(RgbaImage, SolidImageHasColourAndAlphaEverywhere) {
    RgbaImage image;
    ASSERT_TRUE(CreateSolidImage(&image, 3, 2, MakeColour(10, 20, 30), 40));
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 2u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(image.red[i], 10);
        EXPECT_EQ(image.green[i], 20);
        EXPECT_EQ(image.blue[i], 30);
        EXPECT_EQ(image.alpha[i], 40);
    }
}

TEST(RgbaImage, FreeEmptiesPlanesAndSizes) {
    RgbaImage image;
    ASSERT_TRUE(CreateSolidImage(&image, 4, 4, 0, 255));
    FreeImage(&image);
    EXPECT_FALSE(ImageHasPixels(image));
    EXPECT_EQ(image.width, 0u);
    EXPECT_EQ(image.height, 0u);
    EXPECT_TRUE(image.alpha.empty());
}

TEST(RgbaImage, CopyDuplicatesThePlanes) {
    RgbaImage a, b;
    ASSERT_TRUE(CreateSolidImage(&a, 2, 2, MakeColour(1, 2, 3), 4));
    ASSERT_TRUE(CreateSolidImage(&b, 9, 9, 0, 0));
    ASSERT_TRUE(CopyImage(&b, a));
    EXPECT_EQ(b.width, 2u);
    EXPECT_EQ(b.height, 2u);
    b.red[0] = 99;
    EXPECT_EQ(a.red[0], 1);  // the copy does not share pixels
    RgbaImage empty;
    ASSERT_TRUE(CopyImage(&b, empty));
    EXPECT_FALSE(ImageHasPixels(b));
}

TEST(RgbaImage, SwapExchangesContentsWithoutCopying) {
    RgbaImage a, b;
    ASSERT_TRUE(CreateSolidImage(&a, 2, 3, MakeColour(1, 0, 0), 255));
    const uint8_t* planeOfA = a.red.data();
    SwapImages(&a, &b);
    EXPECT_FALSE(ImageHasPixels(a));
    EXPECT_EQ(b.width, 2u);
    EXPECT_EQ(b.height, 3u);
    EXPECT_EQ(b.red.data(), planeOfA);
}

TEST(RgbaImage, TintBlendsTheColourOverEveryPixelAndKeepsAlpha) {
    RgbaImage image;
    ASSERT_TRUE(CreateSolidImage(&image, 2, 1, MakeColour(0, 100, 255), 77));
    TintImage(&image, 255, 0, 255, 128);
    EXPECT_EQ(image.red[1], 128);
    EXPECT_EQ(image.green[1], 50);
    EXPECT_EQ(image.blue[1], 255);
    EXPECT_EQ(image.alpha[1], 77);
}

TEST(RgbaImage, SizesBeyondTheLimitsAreRefused) {
    RgbaImage image;
    EXPECT_FALSE(CreateSolidImage(&image, 0, 5, 0, 255));
    EXPECT_FALSE(CreateSolidImage(&image, kMaxImageSide + 1, 1, 0, 255));
    EXPECT_FALSE(AllocateImage(&image, kMaxImageSide, kMaxImageSide));  // 64 M pixels
    EXPECT_FALSE(ImageHasPixels(image));
    EXPECT_TRUE(ImageSizeAllowed(kMaxImageSide, kMaxImagePixels / kMaxImageSide));
    EXPECT_FALSE(ImageSizeAllowed(uint64_t{1} << 32, 1));
}

}  // namespace
}  // namespace tlw
