// The shipped default skins and icon store, installed as `tlwsim init` does:
// every slot of both tables and every default icon exists, decodes, and has
// the size of its resolution class.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "common/config/config_paths.h"
#include "common/graphics/click_sound.h"
#include "common/graphics/icon_store.h"
#include "common/graphics/image_loader.h"
#include "common/graphics/screen_scale.h"
#include "common/graphics/skin.h"
#include "base/text.h"
#include "platform/gdi/gdi.h"
#include "platform/storage/journal.h"
#include "sim/install_graphics.h"
#include "support/temp_device.h"

namespace tlw {
namespace {

class DefaultAssets : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(sim::InstallGraphicsAssets(&error)) << error;
        plat::SetScreenDpi(GetParam(), GetParam());
        ResetScreenScale();
        StartImaging();
        paths_ = BuildConfigPaths();
        source_.skinsFolder = paths_.skinsFolder.Str();
        source_.skin = DefaultSkinFolder(source_.skinsFolder);
    }
    void TearDown() override {
        StopImaging();
        plat::SetScreenDpi(96, 96);
        ResetScreenScale();
    }
    // Pixels of a length in 96-dpi units on this screen's class.
    uint32_t Units(uint32_t units) const { return units * (IsHighResolution() ? 2 : 1); }

    TempDevice device_;
    ConfigPaths paths_;
    SkinSource source_;
};

// Images whose name ends in "_large" (and the two menu item images) are 32
// units square, the menu tile 8 x 40, the taskbar background 18; all others 16.
uint32_t ExpectedWidthUnits(std::u16string_view name) {
    if (name.ends_with(u"_large")) return 32;
    if (name == u"menu") return 8;
    if (name == u"tskbar") return 18;
    return 16;
}

template <std::size_t N>
void ExpectTableComplete(const std::array<const char16_t*, N>& names, const SkinSource& source,
                         uint32_t scale) {
    std::array<RgbaImage, N> images;
    int named = 0;
    for (const char16_t* name : names) named += name != nullptr;
    EXPECT_EQ(LoadSkinImages(names, images, source), named);
    for (std::size_t slot = 0; slot < N; ++slot) {
        if (names[slot] == nullptr) continue;
        SCOPED_TRACE(Utf16ToUtf8(names[slot]));
        EXPECT_EQ(images[slot].width, ExpectedWidthUnits(names[slot]) * scale);
        // Real alpha: every image but the menu tile has transparent pixels.
        if (std::u16string_view(names[slot]) != u"menu") {
            EXPECT_NE(std::find(images[slot].alpha.begin(), images[slot].alpha.end(), 0), images[slot].alpha.end());
        }
    }
}

TEST_P(DefaultAssets, EverySkinSlotOfBothTablesIsInTheDefaultSkin) {
    ExpectTableComplete(kEngineSkinSlots, source_, Units(1));
    ExpectTableComplete(kPluginSkinSlots, source_, Units(1));
    for (const char16_t* name : {kAutoSelectionImage, kConfigurationImage}) {
        RgbaImage image;
        ASSERT_EQ(LoadImageFile(&image, SkinFilePath(source_, name)), kImageOk);
        EXPECT_EQ(image.width, Units(32));
    }
}

TEST_P(DefaultAssets, IconStoreHoldsTheDefaultProfileIconsAndGeneric) {
    std::u16string folder = IconStoreFolder(paths_.iconStoreFolder.View());
    std::vector<std::u16string> icons;
    for (const char16_t* name : kDefaultProfileIcons) icons.push_back(JoinSkinPath(folder, name));
    icons.push_back(GenericIconPath(folder, false));
    for (const std::u16string& path : icons) {
        SCOPED_TRACE(Utf16ToUtf8(path));
        RgbaImage small, large;
        ASSERT_EQ(LoadImageFile(&small, path), kImageOk);
        ASSERT_EQ(LoadImageFile(&large, LargeIconPath(path)), kImageOk);
        EXPECT_EQ(small.width, Units(16));
        EXPECT_EQ(small.height, Units(16));
        EXPECT_EQ(large.width, Units(32));
    }
}

TEST_P(DefaultAssets, TheDefaultClickSoundPlays) {
    SkinSource userSkin = source_;
    userSkin.skin = u"\\My Documents\\NoSuchSkin\\";
    EXPECT_TRUE(PlayButtonClick(userSkin, true, true));
    std::vector<std::string> journal = plat::JournalRead();
    ASSERT_FALSE(journal.empty());
    EXPECT_TRUE(journal.back().ends_with(Utf16ToUtf8(JoinSkinPath(source_.skin, kClickSoundFile))));
}

INSTANTIATE_TEST_SUITE_P(BothClasses, DefaultAssets, ::testing::Values(96, 192),
                         [](const auto& p) { return p.param == 96 ? "Qvga" : "Vga"; });

}  // namespace
}  // namespace tlw
