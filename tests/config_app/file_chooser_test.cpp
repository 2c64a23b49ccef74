// The chooser's rules (leaving and entering folders, checking a name to
// save) and the listing of a folder in its three modes.
#include <gtest/gtest.h>

#include <fstream>

#include "common/graphics/image_loader.h"
#include "config_app/chooser_listing.h"
#include "config_app/file_chooser.h"
#include "platform/gdi/png_save.h"
#include "support/temp_device.h"

namespace tlw {
namespace {

TEST(ChooserFolder, UpLeavesOneLevelAndStopsAtTheRoot) {
    std::u16string f = u"\\Storage Card\\Skins\\";
    EXPECT_TRUE(ChooserFolderUp(&f));
    EXPECT_EQ(f, u"\\Storage Card\\");
    EXPECT_TRUE(ChooserFolderUp(&f));
    EXPECT_EQ(f, u"\\");
    EXPECT_FALSE(ChooserFolderUp(&f));
    EXPECT_EQ(f, u"\\");
    std::u16string noTrailing = u"\\My Documents\\Korvel";
    EXPECT_TRUE(ChooserFolderUp(&noTrailing));
    EXPECT_EQ(noTrailing, u"\\My Documents\\");
}

TEST(ChooserFolder, DownAppendsTheNameAndRefusesAPathTooLong) {
    std::u16string f = u"\\";
    EXPECT_TRUE(ChooserFolderDown(&f, u"My Documents"));
    EXPECT_EQ(f, u"\\My Documents\\");
    std::u16string longName(kChooserPathCapacity - f.size() - 1, u'x');
    EXPECT_FALSE(ChooserFolderDown(&f, longName));
    EXPECT_EQ(f, u"\\My Documents\\");
}

TEST(ChooserFolder, IsRememberedAndStartsAtTheRootWhenNone) {
    SetChooserFolder(u"");
    EXPECT_EQ(ChooserStartFolder(), u"\\");
    SetChooserFolder(u"\\Windows");
    EXPECT_EQ(ChooserFolder(), u"\\Windows\\");
    EXPECT_EQ(ChooserStartFolder(), u"\\Windows\\");
    SetChooserFolder(u"");
}

TEST(ChooserSave, NameRulesAndTheResultingPath) {
    EXPECT_EQ(CheckSaveName(u""), SaveNameCheck::kMissing);
    for (std::u16string bad : {u"a?b", u"a\\b", u"a/b", u"c:", u"*", u"say\"", u"<x", u"x>", u"a|b"})
        EXPECT_EQ(CheckSaveName(bad), SaveNameCheck::kIllegal) << std::string(bad.begin(), bad.end());
    EXPECT_EQ(CheckSaveName(u"Tlw_Backup_2010_09_16"), SaveNameCheck::kOk);

    FixedString<kChooserPathCapacity> result;
    ASSERT_TRUE(SavePath(u"\\My Documents\\", u"a", u"tlw", &result));
    EXPECT_EQ(result.View(), u"\\My Documents\\a.tlw");
    // A path that would not fit is refused rather than cut.
    EXPECT_FALSE(SavePath(u"\\My Documents\\", std::u16string(250, u'n'), u"tlw", &result));
    EXPECT_EQ(result.View(), u"\\My Documents\\a.tlw");
}

TEST(ChooserTexts, CallersTextsReplaceTheDefaults) {
    FileChooser c;
    c.mode = kChooserSave;
    EXPECT_EQ(ChooserTitle(c), u"Save File");
    c.mode = kChooserFolder;
    EXPECT_EQ(ChooserTitle(c), u"Select Folder");
    EXPECT_EQ(ChooserSelectLabel(c), u"Select");
    EXPECT_EQ(ChooserMissingNameMessage(c), u"File name value is missing");
    c.title = u"Choose a skin folder";
    c.selectLabel = u"OK";
    EXPECT_EQ(ChooserTitle(c), u"Choose a skin folder");
    EXPECT_EQ(ChooserSelectLabel(c), u"OK");
}

class ChooserListing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(device_.Root().empty());
        std::filesystem::create_directories(Host("Icons/zeta"));
        std::filesystem::create_directories(Host("Icons/Alpha"));
        Touch("Icons/beta.txt");
        Touch("Icons/Apple.txt");
        WritePng("Icons/small.PNG", 16, 16);
        WritePng("Icons/large.png", 32, 32);
        Touch("Icons/broken.png");
    }
    std::filesystem::path Host(const std::string& rel) { return device_.Root() / rel; }
    void Touch(const std::string& rel) { std::ofstream(Host(rel)) << "x"; }
    void WritePng(const std::string& rel, int w, int h) {
        plat::ArgbImage image;
        image.width = static_cast<uint32_t>(w);
        image.height = static_cast<uint32_t>(h);
        for (int i = 0; i < w * h; ++i) image.pixels.insert(image.pixels.end(), {0, 0, 0xFF, 0x80});
        ASSERT_TRUE(plat::SaveArgbPng(image, Host(rel)));
    }
    static std::vector<std::u16string> Names(const std::vector<ChooserEntry>& entries) {
        std::vector<std::u16string> names;
        for (const ChooserEntry& e : entries) names.push_back(e.name);
        return names;
    }
    TempDevice device_;
};

TEST_F(ChooserListing, FoldersFirstThenFilesEachByNameWithoutCase) {
    auto entries = ListChooserFolder(u"\\Icons\\", kChooserLoad, false);
    EXPECT_EQ(Names(entries), (std::vector<std::u16string>{u"Alpha", u"zeta", u"Apple.txt", u"beta.txt",
                                                           u"broken.png", u"large.png", u"small.PNG"}));
    EXPECT_TRUE(entries[0].folder);
    EXPECT_FALSE(entries[2].folder);
}

TEST_F(ChooserListing, FolderModeListsOnlyFoldersAndAMissingFolderNothing) {
    EXPECT_EQ(Names(ListChooserFolder(u"\\Icons\\", kChooserFolder, false)),
              (std::vector<std::u16string>{u"Alpha", u"zeta"}));
    EXPECT_TRUE(ListChooserFolder(u"\\Nowhere\\", kChooserLoad, false).empty());
}

TEST_F(ChooserListing, IconModeOffersOnlyImagesOfTheIconSize) {
    ASSERT_TRUE(StartImaging());
    auto entries = ListChooserFolder(u"\\Icons\\", kChooserLoad, true);
    StopImaging();
    EXPECT_EQ(Names(entries), (std::vector<std::u16string>{u"Alpha", u"zeta", u"small.PNG"}));
    const RgbaImage& icon = entries[2].icon;
    ASSERT_EQ(icon.width, 16u);
    EXPECT_EQ(icon.alpha[0], 255);  // alpha 0x80 is above 127: opaque
}

TEST(ChooserIcon, SizeFollowsTheScreenExceptAt128Dpi) {
    EXPECT_TRUE(ChooserIconSizeFits(16, 16, 96));
    EXPECT_FALSE(ChooserIconSizeFits(32, 32, 96));
    EXPECT_TRUE(ChooserIconSizeFits(32, 32, 192));
    EXPECT_FALSE(ChooserIconSizeFits(16, 16, 192));
    EXPECT_TRUE(ChooserIconSizeFits(16, 16, 128));
    EXPECT_FALSE(ChooserIconSizeFits(21, 21, 128));
    EXPECT_FALSE(ChooserIconSizeFits(16, 17, 96));
}

TEST(ChooserIcon, ListIconKeepsOnlyTheOpaqueHalf) {
    RgbaImage image;
    ASSERT_TRUE(AllocateImage(&image, 2, 1));
    image.red = {200, 100};
    image.alpha = {128, 127};
    RgbaImage icon = MakeListIcon(image);
    EXPECT_EQ(icon.alpha, (std::vector<uint8_t>{255, 0}));
    EXPECT_EQ(icon.red, (std::vector<uint8_t>{200, 0}));
}

}  // namespace
}  // namespace tlw
