// The imaging component: PNG decoding of every colour type into
// non-premultiplied B, G, R, A; bad, truncated and oversized data; device
// files; the component switched off; and saving as PNG.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "gdi_canvas.h"
#include "platform/gdi/imaging.h"
#include "platform/gdi/png_save.h"
#include "support/memory_peak.h"
#include "support/temp_device.h"

namespace {

using namespace plat;
using tlw::test::Canvas;
using tlw::test::ReadTestData;

// Pixel (x, y) of a decoded image as {b, g, r, a}.
std::vector<int> Px(const ArgbImage& image, uint32_t x, uint32_t y) {
    const uint8_t* p = image.pixels.data() + (size_t(y) * image.width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

TEST(GdiImaging, RgbaPngKeepsColoursAndAlphaUnpremultiplied) {
    ArgbImage image;
    ASSERT_EQ(DecodePng(ReadTestData("gdi_rgba.png"), &image), ImagingResult::kOk);
    ASSERT_EQ(image.width, 3u);
    ASSERT_EQ(image.height, 2u);
    ASSERT_EQ(image.pixels.size(), 24u);
    EXPECT_EQ(Px(image, 0, 0), (std::vector<int>{0, 0, 255, 255}));
    EXPECT_EQ(Px(image, 1, 0), (std::vector<int>{0, 255, 0, 128}));
    EXPECT_EQ(Px(image, 2, 0), (std::vector<int>{255, 0, 0, 0}));  // colour kept under alpha 0
    EXPECT_EQ(Px(image, 0, 1), (std::vector<int>{30, 20, 10, 40}));
    EXPECT_EQ(Px(image, 2, 1), (std::vector<int>{255, 255, 255, 1}));
}

TEST(GdiImaging, PaletteGreyAndInterlacedPngsConvertToArgb) {
    ArgbImage image;
    ASSERT_EQ(DecodePng(ReadTestData("gdi_palette.png"), &image), ImagingResult::kOk);
    EXPECT_EQ(Px(image, 0, 0), (std::vector<int>{0, 0, 255, 255}));
    EXPECT_EQ(Px(image, 1, 0), (std::vector<int>{0, 255, 0, 128}));  // from the transparency chunk
    EXPECT_EQ(Px(image, 2, 0), (std::vector<int>{255, 0, 0, 255}));  // beyond it: opaque
    EXPECT_EQ(Px(image, 3, 0), (std::vector<int>{255, 255, 255, 255}));  

    ASSERT_EQ(DecodePng(ReadTestData("gdi_grey16.png"), &image), ImagingResult::kOk);
    EXPECT_EQ(Px(image, 0, 0), (std::vector<int>{0, 0, 0, 255}));
    EXPECT_EQ(Px(image, 1, 0), (std::vector<int>{255, 255, 255, 255}));
    EXPECT_EQ(Px(image, 0, 1), (std::vector<int>{128, 128, 128, 255}));

    ASSERT_EQ(DecodePng(ReadTestData("gdi_interlaced.png"), &image), ImagingResult::kOk);
    ASSERT_EQ(image.width, 9u);
    for (uint32_t y = 0; y < 9; ++y)
        for (uint32_t x = 0; x < 9; ++x)
            ASSERT_EQ(Px(image, x, y), (std::vector<int>{int(x + y), int(y * 20), int(x * 20), 255})) << x << "," << y;
}

TEST(GdiImaging, BadDataFailsAndLeavesTheImageEmpty) {
    ArgbImage image;
    image.width = 5;  // must be cleared
    EXPECT_EQ(DecodePng(ReadTestData("gdi_corrupt.png"), &image), ImagingResult::kBadData);
    EXPECT_EQ(image.width, 0u);
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_EQ(DecodePng(ReadTestData("gdi_truncated.png"), &image), ImagingResult::kBadData);
    EXPECT_EQ(DecodePng(ReadTestData("gdi_gradient.bmp"), &image), ImagingResult::kBadData);
    EXPECT_EQ(DecodePng({}, &image), ImagingResult::kBadData);
    EXPECT_EQ(DecodePng(ReadTestData("gdi_huge.png"), &image), ImagingResult::kTooLarge);
    EXPECT_TRUE(image.pixels.empty());
    // Within the side limit but 256 M pixels: refused before any allocation.
    EXPECT_EQ(DecodePng(ReadTestData("gdi_vast.png"), &image), ImagingResult::kTooLarge);
    EXPECT_EQ(DecodePngAlways(ReadTestData("gdi_vast.png"), &image), ImagingResult::kTooLarge);

    // Every cut of a good file fails cleanly.
    std::vector<uint8_t> good = ReadTestData("gdi_interlaced.png");
    for (size_t n = 0; n + 12 < good.size(); ++n)  // the last 12 bytes are the end chunk
        EXPECT_NE(DecodePng(std::span<const uint8_t>(good.data(), n), &image), ImagingResult::kOk) << n;
}

TEST(GdiImaging, TextChunksCannotMakeTheDecoderTakeMuchMemory) {
    // A 256 x 256 grey-and-alpha image whose international text chunk
    // claims almost 2 GB: refused, without reserving room for the claim.
    std::vector<uint8_t> bomb = ReadTestData("gdi_text_bomb.png");
    ASSERT_FALSE(bomb.empty());
    int64_t growth = PeakMemoryGrowthKb([&] {
        ArgbImage image;
        if (DecodePng(bomb, &image) != ImagingResult::kBadData || !image.pixels.empty()) std::abort();
    });
    ASSERT_GE(growth, 0);
    EXPECT_LT(growth, 16 * 1024) << "kB";
}

TEST(GdiImaging, WithoutTheComponentEveryDecodeFails) {
    ArgbImage image;
    SetImagingAvailable(false);
    EXPECT_FALSE(ImagingAvailable());
    EXPECT_EQ(DecodePng(ReadTestData("gdi_rgba.png"), &image), ImagingResult::kUnavailable);
    EXPECT_EQ(DecodePngFile(u"\\x.png", &image), ImagingResult::kUnavailable);
    // The platform's own PNG-coded icons still decode.
    EXPECT_EQ(DecodePngAlways(ReadTestData("gdi_rgba.png"), &image), ImagingResult::kOk);
    SetImagingAvailable(true);
    EXPECT_EQ(DecodePng(ReadTestData("gdi_rgba.png"), &image), ImagingResult::kOk);
}

TEST(GdiImaging, DecodesDeviceFilesByDevicePath) {
    TempDevice device;
    std::filesystem::create_directories(device.Root() / "Skins");
    std::vector<uint8_t> bytes = ReadTestData("gdi_rgba.png");
    std::ofstream(device.Root() / "Skins" / "menu.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    ArgbImage image;
    ASSERT_EQ(DecodePngFile(u"\\skins\\MENU.png", &image), ImagingResult::kOk);
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(DecodePngFile(u"\\Skins\\missing.png", &image), ImagingResult::kFileError);
    EXPECT_TRUE(image.pixels.empty());
}

TEST(GdiImaging, SavedBitmapsAndImagesDecodeToTheSamePixels) {
    TempDevice device;
    Canvas c(3, 2);
    SetPixel(c.dc(), 0, 0, Rgb(1, 2, 3));
    SetPixel(c.dc(), 2, 1, Rgb(250, 128, 0));
    std::filesystem::path file = device.Root() / "shot.png";
    ASSERT_TRUE(SaveDcPng(c.dc(), file));
    ArgbImage image;
    ASSERT_EQ(DecodePngFile(u"\\shot.png", &image), ImagingResult::kOk);
    EXPECT_EQ(Px(image, 0, 0), (std::vector<int>{3, 2, 1, 255}));
    EXPECT_EQ(Px(image, 2, 1), (std::vector<int>{0, 128, 250, 255}));
    EXPECT_EQ(Px(image, 1, 0), (std::vector<int>{255, 255, 255, 255}));

    ASSERT_EQ(DecodePng(ReadTestData("gdi_rgba.png"), &image), ImagingResult::kOk);
    ASSERT_TRUE(SaveArgbPng(image, device.Root() / "copy.png"));
    ArgbImage again;
    ASSERT_EQ(DecodePngFile(u"\\copy.png", &again), ImagingResult::kOk);
    EXPECT_EQ(again.pixels, image.pixels);

    EXPECT_FALSE(SaveBitmapPng(HBitmap{}, file));
    EXPECT_FALSE(SaveDcPng(c.dc(), device.Root() / "no" / "such" / "folder.png"));
}

}  // namespace
