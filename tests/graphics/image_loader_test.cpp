#include "common/graphics/image_loader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <list>

#include "base/text.h"
#include "platform/gdi/imaging.h"
#include "platform/gdi/png_save.h"
#include "platform/gdi/resources.h"
#include "support/temp_device.h"
#include "tga_builder.h"

namespace tlw {
namespace {

// A device with the imaging component started; restores both afterwards.
class ImageLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(StartImaging()); }
    void TearDown() override {
        plat::SetImagingAvailable(true);
        StopImaging();
        for (auto& [type, name] : registered_) plat::UnregisterResource(kModule, type, name);
    }

    // Writes bytes as a device file.
    void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::ofstream out(device_.Root() / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // A 3 x 2 PNG: pixel (x, y) red = 10 x, green = 20 y, blue 30, alpha 40 + x.
    std::vector<uint8_t> SmallPng() {
        plat::ArgbImage argb;
        argb.width = 3;
        argb.height = 2;
        for (uint8_t y = 0; y < 2; ++y)
            for (uint8_t x = 0; x < 3; ++x) argb.pixels.insert(argb.pixels.end(), {30, uint8_t(20 * y), uint8_t(10 * x), uint8_t(40 + x)});
        std::filesystem::path path = device_.Root() / "encoded.tmp";
        EXPECT_TRUE(plat::SaveArgbPng(argb, path));
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // Registers a resource; the bytes stay alive as long as the fixture.
    void Register(std::u16string_view type, std::u16string_view name, std::vector<uint8_t> bytes) {
        const std::vector<uint8_t>& kept = kept_.emplace_back(std::move(bytes));
        ASSERT_TRUE(plat::RegisterResource(kModule, type, name, kept));
        registered_.emplace_back(std::u16string(type), std::u16string(name));
    }

    static constexpr char16_t kModule[] = u"LoaderTest";
    TempDevice device_;
    std::vector<std::pair<std::u16string, std::u16string>> registered_;  // to unregister
    std::list<std::vector<uint8_t>> kept_;  // bytes of the registered resources
};

TEST_F(ImageLoaderTest, PngFilesLoadWhateverTheCaseOfTheirEnding) {
    std::vector<uint8_t> png = SmallPng();
    for (const char* name : {"a.png", "b.PNG", "c.Png"}) {
        WriteFile(name, png);
        RgbaImage image;
        ASSERT_EQ(LoadImageFile(&image, u"\\" + Utf8ToUtf16(name)), kImageOk) << name;
        ASSERT_EQ(image.width, 3u);
        ASSERT_EQ(image.height, 2u);
        std::size_t k = PixelIndex(image, 2, 1);
        EXPECT_EQ(image.red[k], 20);
        EXPECT_EQ(image.green[k], 20);
        EXPECT_EQ(image.blue[k], 30);
        EXPECT_EQ(image.alpha[k], 42);
    }
}

TEST_F(ImageLoaderTest, TgaFilesLoadWhateverTheCaseOfTheirEnding) {
    WriteFile("t.TGA", test::GradientTga(4, 3, 32, false));
    RgbaImage image;
    ASSERT_EQ(LoadImageFile(&image, u"\\t.TGA"), kImageOk);
    EXPECT_EQ(image.width, 4u);
    EXPECT_EQ(image.red[PixelIndex(image, 3, 0)], 3);
}

TEST_F(ImageLoaderTest, BadPathsAndFilesFailAndLeaveTheImageEmpty) {
    WriteFile("x.bmp", SmallPng());
    WriteFile("broken.png", {0x89, 'P', 'N', 'G', 1, 2, 3});
    WriteFile("broken.tga", {1, 2, 3});
    RgbaImage image;
    for (std::u16string_view path :
         {u"\\x.bmp", u".png", u"\\missing.png", u"\\missing.tga", u"\\broken.png", u"\\broken.tga", u""}) {
        ASSERT_TRUE(CreateSolidImage(&image, 1, 1, 0, 255));
        EXPECT_EQ(LoadImageFile(&image, path), kImageFail);
        EXPECT_FALSE(ImageHasPixels(image));
    }
}

// A PNG whose header claims a huge image is refused before it is decoded.
TEST_F(ImageLoaderTest, PngClaimingAnAbsurdSizeFails) {
    std::vector<uint8_t> png = SmallPng();
    // Width and height of the IHDR chunk: 8000 x 8000 (the chunk's CRC no
    // longer matches, which must not matter: it is refused first).
    for (int at : {16, 20}) {
        png[at] = 0;
        png[at + 1] = 0;
        png[at + 2] = 0x1F;
        png[at + 3] = 0x40;
    }
    WriteFile("huge.png", png);
    RgbaImage image;
    EXPECT_EQ(LoadImageFile(&image, u"\\huge.png"), kImageFail);
    EXPECT_EQ(LoadPngFromMemory(&image, png), kImageFail);
}

TEST_F(ImageLoaderTest, WithoutTheImagingComponentPngFailsAndTgaStillLoads) {
    WriteFile("p.png", SmallPng());
    WriteFile("t.tga", test::GradientTga(2, 2, 24, true));
    plat::SetImagingAvailable(false);
    RgbaImage image;
    EXPECT_EQ(LoadImageFile(&image, u"\\p.png"), kImageFail);
    EXPECT_EQ(LoadImageFile(&image, u"\\t.tga"), kImageOk);
}

TEST_F(ImageLoaderTest, PngNeedsTheComponentStarted) {
    WriteFile("p.png", SmallPng());
    StopImaging();
    RgbaImage image;
    EXPECT_EQ(LoadImageFile(&image, u"\\p.png"), kImageFail);
    EXPECT_TRUE(StartImaging());
    EXPECT_EQ(LoadImageFile(&image, u"\\p.png"), kImageOk);
}

TEST_F(ImageLoaderTest, ResourcesPreferPngAndFallBackToTarga) {
    Register(plat::kResourcePng, u"ICON1", SmallPng());
    Register(plat::kResourceTarga, u"ICON1", test::GradientTga(5, 5, 32, true));
    Register(plat::kResourceTarga, u"ONLYTGA", test::GradientTga(6, 1, 24, true));
    RgbaImage image;
    ASSERT_EQ(LoadImageResource(&image, kModule, u"ICON1"), kImageOk);
    EXPECT_EQ(image.width, 3u);  // the PNG
    ASSERT_EQ(LoadImageResource(&image, kModule, u"onlytga"), kImageOk);
    EXPECT_EQ(image.width, 6u);
    EXPECT_EQ(LoadImageResource(&image, kModule, u"NONE"), kImageFail);
    EXPECT_FALSE(ImageHasPixels(image));
    ASSERT_EQ(LoadImageResource(&image, u"", u"ICON1"), kImageOk);  // any module
}

TEST_F(ImageLoaderTest, WithoutTheImagingComponentPngResourcesFailAndTargaResourcesLoad) {
    Register(plat::kResourcePng, u"BOTH", SmallPng());
    Register(plat::kResourceTarga, u"BOTH", test::GradientTga(5, 5, 32, true));
    Register(plat::kResourcePng, u"PNGONLY", SmallPng());
    plat::SetImagingAvailable(false);
    RgbaImage image;
    ASSERT_EQ(LoadImageResource(&image, kModule, u"BOTH"), kImageOk);
    EXPECT_EQ(image.width, 5u);  // the TARGA
    EXPECT_EQ(LoadImageResource(&image, kModule, u"PNGONLY"), kImageFail);
    EXPECT_FALSE(ImageHasPixels(image));
}

}  // namespace
}  // namespace tlw
