#include "common/graphics/skin.h"

#include "base/text.h"
#include "skin_fixture.h"

namespace tlw {
namespace {

using test::kSkinsFolder;
using test::kSkinsHost;

class Skin : public test::SkinTest {
protected:
    SkinSource Source(bool enabled, std::u16string skin = u"") {
        SkinSource s;
        s.skinsFolder = kSkinsFolder;
        s.skin = std::move(skin);
        s.skinEnabled = enabled;
        return s;
    }
    std::array<RgbaImage, kEngineSkinSlotCount> engine_;  // the engine's table
};

TEST_F(Skin, SlotTablesHaveEmptySlotsFiveToNine) {
    for (std::size_t i = 5; i <= 9; ++i) {
        EXPECT_EQ(kEngineSkinSlots[i], nullptr);
        EXPECT_EQ(kPluginSkinSlots[i], nullptr);
    }
    for (std::size_t i = 20; i <= 24; ++i) EXPECT_EQ(kEngineSkinSlots[i], nullptr);
    EXPECT_EQ(std::u16string_view(kEngineSkinSlots[kEngineSlotMenu]), u"menu");
    EXPECT_EQ(std::u16string_view(kEngineSkinSlots[kEngineSlotTaskbar]), u"tskbar");
    EXPECT_EQ(std::u16string_view(kPluginSkinSlots[kSlotSwitchDisabledLarge + 1]), u"switch_disabled_wifi_large");
    EXPECT_EQ(std::u16string_view(kPluginSkinSlots[kPluginSlotCounter + 3]), u"voice_counter");
    EXPECT_EQ(std::u16string_view(kPluginSkinSlots[40]), u"voice_counter_large");
    EXPECT_EQ(std::u16string_view(kEngineSkinSlots[kEngineSlotCounterLarge]), u"message_counter_large");
}

TEST_F(Skin, UserSkinHoldingOnlyMenuChangesOnlyThatSlot) {
    FillSkin("Default_QVGA", kEngineSkinSlots, 2, 2);
    WritePng(std::filesystem::path("My Documents/MySkin/menu.png"), 7, 3);
    int loaded = LoadSkinImages(kEngineSkinSlots, engine_, Source(true, u"\\My Documents\\MySkin\\"));
    EXPECT_EQ(loaded, 29);
    for (std::size_t slot = 0; slot < kEngineSkinSlotCount; ++slot) {
        SCOPED_TRACE(slot);
        if (kEngineSkinSlots[slot] == nullptr) {
            EXPECT_FALSE(ImageHasPixels(engine_[slot]));
        } else if (slot == kEngineSlotMenu) {
            EXPECT_EQ(engine_[slot].width, 7u);
            EXPECT_EQ(engine_[slot].height, 3u);
        } else {
            EXPECT_EQ(engine_[slot].width, 2u);
        }
    }
}

TEST_F(Skin, ADisabledSkinIsNotLookedAt) {
    FillSkin("Default_QVGA", kEngineSkinSlots, 2, 2);
    WritePng("My Documents/MySkin/menu.png", 7, 3);
    LoadSkinImages(kEngineSkinSlots, engine_, Source(false, u"\\My Documents\\MySkin\\"));
    EXPECT_EQ(engine_[kEngineSlotMenu].width, 2u);
}

TEST_F(Skin, UserSkinTgaReplacesTheDefaultAndPngWinsOverTga) {
    FillSkin("Default_QVGA", kConfigSkinSlots, 2, 2);
    WriteTga("Skin2/trigger_time.tga", 5, 5);
    WriteTga("Skin2/trigger_power.tga", 5, 5);
    WritePng("Skin2/trigger_power.png", 6, 6);
    std::array<RgbaImage, kConfigSkinSlotCount> images;
    // A skin folder given without its trailing backslash works the same.
    EXPECT_EQ(LoadSkinImages(kConfigSkinSlots, images, Source(true, u"\\Skin2")), 5);
    EXPECT_EQ(images[0].width, 2u);
    EXPECT_EQ(images[1].width, 5u);
    EXPECT_EQ(images[3].width, 6u);
}

TEST_F(Skin, DefaultPngWinsOverTgaAndMissingImagesLeaveTheSlotEmpty) {
    FillSkin("Default_QVGA", kConfigSkinSlots, 2, 2);
    WritePng(std::filesystem::path(kSkinsHost) / "Default_QVGA/trigger_manual.png", 4, 4);
    std::filesystem::remove(device_.Root() / kSkinsHost / "Default_QVGA/trigger_location.tga");
    std::array<RgbaImage, kConfigSkinSlotCount> images;
    for (RgbaImage& image : images) CreateSolidImage(&image, 9, 9, 0, 255);  // stale content goes
    EXPECT_EQ(LoadSkinImages(kConfigSkinSlots, images, Source(false)), 4);
    EXPECT_EQ(images[0].width, 4u);
    EXPECT_EQ(images[1].width, 2u);
    EXPECT_FALSE(ImageHasPixels(images[4]));
}

TEST_F(Skin, ABrokenUserImageKeepsTheDefault) {
    FillSkin("Default_QVGA", kConfigSkinSlots, 2, 2);
    Write("Skin3/trigger_manual.png", {1, 2, 3, 4});
    std::array<RgbaImage, kConfigSkinSlotCount> images;
    LoadSkinImages(kConfigSkinSlots, images, Source(true, u"\\Skin3\\"));
    EXPECT_EQ(images[0].width, 2u);
}

TEST_F(Skin, WithoutTheImagingComponentDefaultPngsFallBackToTga) {
    FillSkin("Default_QVGA", kConfigSkinSlots, 2, 2);
    WritePng(std::filesystem::path(kSkinsHost) / "Default_QVGA/trigger_manual.png", 4, 4);
    plat::SetImagingAvailable(false);
    std::array<RgbaImage, kConfigSkinSlotCount> images;
    EXPECT_EQ(LoadSkinImages(kConfigSkinSlots, images, Source(false)), 5);
    EXPECT_EQ(images[0].width, 2u);
}

TEST_F(Skin, HighResolutionScreensUseTheVgaDefaultSkin) {
    FillSkin("Default_QVGA", kConfigSkinSlots, 2, 2);
    FillSkin("Default_VGA", kConfigSkinSlots, 4, 4);
    std::array<RgbaImage, kConfigSkinSlotCount> images;
    UseDpi(192);
    EXPECT_EQ(DefaultSkinFolder(kSkinsFolder), u"\\Application Data\\Korvel\\Tallowin\\Skins\\Default_VGA\\");
    LoadSkinImages(kConfigSkinSlots, images, Source(false));
    EXPECT_EQ(images[2].width, 4u);
    UseDpi(131);
    LoadSkinImages(kConfigSkinSlots, images, Source(false));
    EXPECT_EQ(images[2].width, 2u);
}

TEST_F(Skin, FilesByNameComeFromTheChosenSkinOnlyWhenEnabledAndPresent) {
    WritePng("Skin4/autoselection.png", 3, 3);
    const std::u16string fallback = u"\\Application Data\\Korvel\\Tallowin\\Skins\\Default_QVGA\\configuration.png";
    EXPECT_EQ(SkinFilePath(Source(true, u"\\Skin4\\"), kAutoSelectionImage), u"\\Skin4\\autoselection.png");
    EXPECT_EQ(SkinFilePath(Source(true, u"\\Skin4\\"), kConfigurationImage), fallback);
    EXPECT_EQ(SkinFilePath(Source(false, u"\\Skin4\\"), kAutoSelectionImage),
              u"\\Application Data\\Korvel\\Tallowin\\Skins\\Default_QVGA\\autoselection.png");
}

TEST_F(Skin, JoinSkinPathPutsExactlyOneBackslashBetween) {
    EXPECT_EQ(JoinSkinPath(u"\\A\\", u"b.png"), u"\\A\\b.png");
    EXPECT_EQ(JoinSkinPath(u"\\A", u"\\b.png"), u"\\A\\b.png");
    EXPECT_EQ(JoinSkinPath(u"\\A\\", u"\\b.png"), u"\\A\\b.png");
}

}  // namespace
}  // namespace tlw
