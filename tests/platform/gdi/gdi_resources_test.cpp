// Resources by module, type and name: the ones embedded in this test
// program by tlw_embed_resources (module "TlwTest", see tests/CMakeLists.txt)
// and ones registered at run time; bitmaps and icons loaded from them.
#include <gtest/gtest.h>

#include <vector>

#include "gdi_canvas.h"
#include "platform/gdi/gdi.h"
#include "platform/kernel/last_error.h"
#include "platform/gdi/resources.h"

namespace {

using namespace plat;
using tlw::test::Canvas;
using tlw::test::ReadTestData;

std::vector<uint8_t> Bytes(std::span<const uint8_t> s) { return std::vector<uint8_t>(s.begin(), s.end()); }

TEST(GdiResources, EmbeddedFilesAreFoundByTypeAndNameWithTheirExactBytes) {
    std::span<const uint8_t> png, tga, bmp, ico;
    ASSERT_TRUE(LoadResourceBytes(u"TlwTest", kResourcePng, u"sample", &png));
    ASSERT_TRUE(LoadResourceBytes(u"TlwTest", kResourceTarga, u"sample", &tga));
    ASSERT_TRUE(LoadResourceBytes(u"TlwTest", kResourceBitmap, u"104", &bmp));
    ASSERT_TRUE(LoadResourceBytes(u"TlwTest", kResourceIcon, u"101", &ico));
    EXPECT_EQ(Bytes(png), ReadTestData("gdi_rgba.png"));
    EXPECT_EQ(Bytes(tga), ReadTestData("gdi_sample.tga"));
    EXPECT_EQ(Bytes(bmp), ReadTestData("gdi_gradient.bmp"));
    EXPECT_EQ(Bytes(ico), ReadTestData("gdi_icon.ico"));
}

TEST(GdiResources, NamesAndTypesIgnoreCaseAndNumericIdsTakeAHash) {
    std::span<const uint8_t> a, b;
    ASSERT_TRUE(LoadResourceBytes(u"tlwtest", u"bitmap", u"#104", &a));
    ASSERT_TRUE(LoadResourceBytes(u"TlwTest", u"BITMAP", u"104", &b));
    EXPECT_EQ(a.data(), b.data());
    ASSERT_TRUE(LoadResourceBytes(u"TlwTest", u"png", u"SAMPLE", &a));
    // Without a module: the first module that has it.
    ASSERT_TRUE(LoadResourceBytes(kResourceTarga, u"tgaonly", &a));
}

TEST(GdiResources, MissingResourcesReportResourceNotFound) {
    std::span<const uint8_t> out;
    EXPECT_FALSE(LoadResourceBytes(u"TlwTest", kResourcePng, u"tgaonly", &out));
    EXPECT_EQ(GetLastError(), kErrorResourceNotFound);
    EXPECT_FALSE(LoadResourceBytes(u"Tallowd", kResourcePng, u"sample", &out));
    EXPECT_FALSE(LoadResourceBytes(u"TlwTest", kResourceBitmap, u"105", &out));
}

TEST(GdiResources, RunTimeRegistrationRefusesDuplicatesAndCanBeUndone) {
    static const uint8_t kData[] = {1, 2, 3};
    {
        const EmbeddedResource table[] = {{u"DATA", u"three", kData, sizeof kData}};
        ResourceRegistration registration(u"RunTime", table, 1);
        std::span<const uint8_t> out;
        ASSERT_TRUE(LoadResourceBytes(u"RunTime", u"DATA", u"three", &out));
        EXPECT_EQ(out.size(), 3u);
        EXPECT_FALSE(RegisterResource(u"runtime", u"data", u"THREE", kData));
        EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
        // Another module may use the same type and name.
        EXPECT_TRUE(RegisterResource(u"Other", u"DATA", u"three", kData));
        EXPECT_TRUE(UnregisterResource(u"Other", u"DATA", u"three"));
    }
    // The registration's end took the resource away (a library unloaded).
    EXPECT_FALSE(LoadResourceBytes(u"RunTime", u"DATA", u"three", nullptr));
    EXPECT_FALSE(UnregisterResource(u"RunTime", u"DATA", u"three"));
    EXPECT_FALSE(RegisterResource(u"", u"DATA", u"x", kData));
}

TEST(GdiResources, BitmapAndIconResourcesLoadAsObjects) {
    HBitmap gradient = LoadBitmap(u"TlwTest", u"104");
    ASSERT_TRUE(gradient);
    BitmapDesc desc;
    ASSERT_TRUE(GetBitmapInfo(gradient, &desc));
    EXPECT_EQ(desc.width, 1);
    EXPECT_EQ(desc.height, 4);
    DeleteObject(gradient);
    EXPECT_FALSE(LoadBitmap(u"TlwTest", u"sample"));

    HIcon icon = LoadIcon(u"TlwTest", u"101", 4, 4);
    ASSERT_TRUE(icon);
    EXPECT_EQ(GetIconSize(icon).cx, 4);
    Canvas c(4, 4);
    ASSERT_TRUE(DrawIcon(c.dc(), 0, 0, icon));
    EXPECT_EQ(c.At(0, 0), Rgb(255, 255, 255));  // masked column
    EXPECT_EQ(c.At(1, 0), Rgb(255, 0, 0));
    DestroyIcon(icon);
}

}  // namespace
