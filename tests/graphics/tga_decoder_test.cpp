#include "common/graphics/tga_decoder.h"

#include <gtest/gtest.h>

#include "tga_builder.h"

namespace tlw {
namespace {

using test::AppendPixel;
using test::GradientTga;
using test::TgaHeaderBytes;

struct Px {
    uint8_t r, g, b, a;
};

Px At(const RgbaImage& image, uint32_t x, uint32_t y) {
    std::size_t i = PixelIndex(image, x, y);
    return {image.red[i], image.green[i], image.blue[i], image.alpha[i]};
}

TgaStatus Decode(const std::vector<uint8_t>& bytes, RgbaImage* image) {
    return DecodeTga(bytes.data(), bytes.size(), image);
}

// Every combination of depth and row order puts each pixel where it belongs.
TEST(TgaDecoder, UncompressedImagesOfBothDepthsAndRowOrders) {
    for (uint8_t depth : {24, 32})
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << "depth " << int(depth) << (topDown ? " top-down" : " bottom-up"));
            RgbaImage image;
            ASSERT_EQ(Decode(GradientTga(5, 3, depth, topDown), &image), TgaStatus::kOk);
            ASSERT_EQ(image.width, 5u);
            ASSERT_EQ(image.height, 3u);
            for (uint32_t y = 0; y < 3; ++y)
                for (uint32_t x = 0; x < 5; ++x) {
                    Px p = At(image, x, y);
                    EXPECT_EQ(p.r, x);
                    EXPECT_EQ(p.g, y);
                    EXPECT_EQ(p.b, 7);
                    EXPECT_EQ(p.a, depth == 32 ? x + y * 5 + 1 : 255) << x << "," << y;
                }
        }
}

TEST(TgaDecoder, SkipsTheIdentificationField) {
    std::vector<uint8_t> bytes = TgaHeaderBytes(2, 1, 1, 24, 0x20, 5);
    AppendPixel(&bytes, 1, 2, 3, 0, 24);
    RgbaImage image;
    ASSERT_EQ(Decode(bytes, &image), TgaStatus::kOk);
    Px p = At(image, 0, 0);
    EXPECT_EQ(p.r, 1);
    EXPECT_EQ(p.g, 2);
    EXPECT_EQ(p.b, 3);
}

TEST(TgaDecoder, RunLengthPacketsRepeatAndCopy) {
    // 4 x 2, top-down: row 0 = run of 3 red + raw green; row 1 = raw blue,
    // white + run of 2 black with alpha 9.
    std::vector<uint8_t> bytes = TgaHeaderBytes(10, 4, 2, 32, 0x20);
    bytes.push_back(0x80 | 2);
    AppendPixel(&bytes, 255, 0, 0, 200, 32);
    bytes.push_back(0);
    AppendPixel(&bytes, 0, 255, 0, 255, 32);
    bytes.push_back(1);
    AppendPixel(&bytes, 0, 0, 255, 255, 32);
    AppendPixel(&bytes, 255, 255, 255, 255, 32);
    bytes.push_back(0x80 | 1);
    AppendPixel(&bytes, 0, 0, 0, 9, 32);
    RgbaImage image;
    ASSERT_EQ(Decode(bytes, &image), TgaStatus::kOk);
    for (uint32_t x = 0; x < 3; ++x) EXPECT_EQ(At(image, x, 0).r, 255);
    EXPECT_EQ(At(image, 0, 0).a, 200);
    EXPECT_EQ(At(image, 3, 0).g, 255);
    EXPECT_EQ(At(image, 0, 1).b, 255);
    EXPECT_EQ(At(image, 1, 1).r, 255);
    EXPECT_EQ(At(image, 2, 1).a, 9);
    EXPECT_EQ(At(image, 3, 1).a, 9);
}

// A packet longer than what is left of its row is cut at the row end; the
// next row starts with the next packet. For a raw packet the values beyond
// the row are stepped over.
TEST(TgaDecoder, PacketsAreCutAtTheRowEnd) {
    std::vector<uint8_t> bytes = TgaHeaderBytes(10, 3, 2, 24, 0x20);
    bytes.push_back(0x80 | 7);  // a run of 8 on a row of 3
    AppendPixel(&bytes, 10, 0, 0, 0, 24);
    bytes.push_back(4);  // raw packet of 5 on a row of 3
    for (uint8_t v = 20; v < 25; ++v) AppendPixel(&bytes, v, 0, 0, 0, 24);
    RgbaImage image;
    ASSERT_EQ(Decode(bytes, &image), TgaStatus::kOk);
    for (uint32_t x = 0; x < 3; ++x) EXPECT_EQ(At(image, x, 0).r, 10);
    EXPECT_EQ(At(image, 0, 1).r, 20);
    EXPECT_EQ(At(image, 1, 1).r, 21);
    EXPECT_EQ(At(image, 2, 1).r, 22);
}

TEST(TgaDecoder, RunLengthRowsFollowTheRowOrderToo) {
    std::vector<uint8_t> bytes = TgaHeaderBytes(10, 2, 2, 24, 0x00);  // bottom-up
    bytes.push_back(0x80 | 1);
    AppendPixel(&bytes, 1, 0, 0, 0, 24);  // first file row: the bottom
    bytes.push_back(0x80 | 1);
    AppendPixel(&bytes, 2, 0, 0, 0, 24);
    RgbaImage image;
    ASSERT_EQ(Decode(bytes, &image), TgaStatus::kOk);
    EXPECT_EQ(At(image, 0, 1).r, 1);
    EXPECT_EQ(At(image, 1, 0).r, 2);
}

TEST(TgaDecoder, RefusesWhatItDoesNotDecode) {
    RgbaImage image;
    std::vector<uint8_t> colourMapped = GradientTga(2, 2, 24, true);
    colourMapped[1] = 1;
    EXPECT_EQ(Decode(colourMapped, &image), TgaStatus::kUnsupportedType);
    for (uint8_t type : {0, 1, 3, 9, 11}) {
        std::vector<uint8_t> bytes = GradientTga(2, 2, 24, true);
        bytes[2] = type;
        EXPECT_EQ(Decode(bytes, &image), TgaStatus::kUnsupportedType) << int(type);
    }
    for (uint8_t depth : {0, 8, 15, 16, 31, 255}) {
        std::vector<uint8_t> bytes = GradientTga(2, 2, 24, true);
        bytes[16] = depth;
        EXPECT_EQ(Decode(bytes, &image), TgaStatus::kUnsupportedDepth) << int(depth);
    }
    EXPECT_FALSE(ImageHasPixels(image));
}

TEST(TgaDecoder, TruncatedInputFailsAndLeavesTheImageEmpty) {
    RgbaImage image;
    ASSERT_TRUE(CreateSolidImage(&image, 2, 2, 0, 255));
    std::vector<uint8_t> whole = GradientTga(4, 4, 32, false);
    for (std::size_t size : {std::size_t{0}, std::size_t{5}, std::size_t{17}, std::size_t{18}, whole.size() - 1}) {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_NE(Decode(cut, &image), TgaStatus::kOk) << size;
        EXPECT_FALSE(ImageHasPixels(image));
        EXPECT_EQ(image.width, 0u);
    }
    EXPECT_EQ(DecodeTga(nullptr, 100, &image), TgaStatus::kTruncatedHeader);
    // The identification field claims more bytes than there are.
    std::vector<uint8_t> idTooLong = TgaHeaderBytes(2, 1, 1, 24, 0, 0);
    idTooLong[0] = 200;
    EXPECT_EQ(Decode(idTooLong, &image), TgaStatus::kTruncatedHeader);
}

TEST(TgaDecoder, RunLengthDataEndingEarlyFails) {
    std::vector<uint8_t> bytes = TgaHeaderBytes(10, 300, 1, 24, 0x20);
    for (int i = 0; i < 2; ++i) {  // enough bytes for the size check, not for the image
        bytes.push_back(0x80 | 127);
        AppendPixel(&bytes, 1, 1, 1, 0, 24);
    }
    bytes.push_back(5);  // a raw packet whose values are missing
    AppendPixel(&bytes, 1, 1, 1, 0, 24);
    RgbaImage image;
    EXPECT_EQ(Decode(bytes, &image), TgaStatus::kTruncatedData);
    EXPECT_FALSE(ImageHasPixels(image));
}

// A short file claiming a huge image is refused before anything is allocated
// for it; sizes beyond the library's limits are refused outright.
TEST(TgaDecoder, AbsurdSizesAreRefused) {
    RgbaImage image;
    std::vector<uint8_t> huge = TgaHeaderBytes(2, 65535, 65535, 32, 0x20);
    huge.resize(huge.size() + 64, 0);
    EXPECT_EQ(Decode(huge, &image), TgaStatus::kBadSize);
    std::vector<uint8_t> wideRle = TgaHeaderBytes(10, 8000, 2000, 32, 0x20);
    wideRle.resize(wideRle.size() + 1000, 0x80 | 127);
    EXPECT_EQ(Decode(wideRle, &image), TgaStatus::kTruncatedData);
    std::vector<uint8_t> zero = TgaHeaderBytes(2, 0, 10, 24, 0x20);
    EXPECT_EQ(Decode(zero, &image), TgaStatus::kBadSize);
    std::vector<uint8_t> tooWide = TgaHeaderBytes(10, kMaxImageSide + 1, 1, 24, 0x20);
    tooWide.resize(tooWide.size() + 100000, 0xFF);
    EXPECT_EQ(Decode(tooWide, &image), TgaStatus::kBadSize);
    EXPECT_FALSE(ImageHasPixels(image));
}

TEST(TgaDecoder, ExtraBytesAfterThePixelsAreIgnored) {
    std::vector<uint8_t> bytes = GradientTga(3, 3, 24, true);
    bytes.resize(bytes.size() + 26, 0x55);  // a footer, as TGA 2.0 files carry
    RgbaImage image;
    EXPECT_EQ(Decode(bytes, &image), TgaStatus::kOk);
}

}  // namespace
}  // namespace tlw
