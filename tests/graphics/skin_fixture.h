// A temporary device with a Skins folder, for the skin, icon-store and click
// sound tests. Files are written on the host below the device root.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <span>
#include <fstream>
#include <string>
#include <vector>

#include "common/graphics/image_loader.h"
#include "common/graphics/screen_scale.h"
#include "common/graphics/skin.h"
#include "base/text.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/imaging.h"
#include "platform/gdi/png_save.h"
#include "support/temp_device.h"
#include "tga_builder.h"

namespace tlw::test {

// Device path of the Skins folder and its host counterpart.
inline constexpr char16_t kSkinsFolder[] = u"\\Application Data\\Korvel\\Tallowin\\Skins\\";
inline constexpr char kSkinsHost[] = "Application Data/Korvel/Tallowin/Skins";

class SkinTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::SetScreenDpi(96, 96);
        ResetScreenScale();
        StartImaging();
    }
    void TearDown() override {
        plat::SetImagingAvailable(true);
        StopImaging();
        plat::SetScreenDpi(96, 96);
        ResetScreenScale();
    }

    void UseDpi(int dpi) {
        plat::SetScreenDpi(dpi, dpi);
        ResetScreenScale();
    }

    // Writes bytes at a path relative to the device root (folders made).
    void Write(const std::filesystem::path& relative, const std::vector<uint8_t>& bytes) {
        std::filesystem::path path = device_.Root() / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    // A PNG of width x height in one colour, written at the relative path.
    void WritePng(const std::filesystem::path& relative, uint32_t width, uint32_t height) {
        plat::ArgbImage argb;
        argb.width = width;
        argb.height = height;
        argb.pixels.assign(std::size_t{width} * height * 4, 0x80);
        std::filesystem::path path = device_.Root() / relative;
        std::filesystem::create_directories(path.parent_path());
        ASSERT_TRUE(plat::SaveArgbPng(argb, path));
    }
    // A TGA of width x height at the relative path.
    void WriteTga(const std::filesystem::path& relative, uint16_t width, uint16_t height) {
        Write(relative, GradientTga(width, height, 32, true));
    }
    // Puts a TGA of width x height for every named slot into a skin folder.
    void FillSkin(const std::string& skin, std::span<const char16_t* const> names, uint16_t width, uint16_t height) {
        for (const char16_t* name : names)
            if (name) WriteTga(std::filesystem::path(kSkinsHost) / skin / (Utf16ToUtf8(name) + ".tga"), width, height);
    }

    TempDevice device_;
};

}  // namespace tlw::test
