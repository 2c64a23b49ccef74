// The shipped language file, installed on a device and loaded as the
// programs load it: both languages, the same identifiers in each.
#include <gtest/gtest.h>

#include <memory>

#include "common/config/language_file.h"
#include "sim/install_language.h"
#include "support/temp_device.h"

namespace {

using namespace tlw;

class LanguageAssetTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(sim::InstallLanguageFile(&error)) << error;
    }
    std::unique_ptr<LanguageTable> Load(int32_t selected, ProfileTable* profiles) {
        auto table = std::make_unique<LanguageTable>();
        Options options;
        options.language = selected;
        LoadLanguage(*profiles, *table, options);
        return table;
    }
    TempDevice device_;
};

TEST_F(LanguageAssetTest, EnglishFirstGermanSecond) {
    auto profiles = std::make_unique<ProfileTable>();
    auto english = Load(0, profiles.get());
    EXPECT_EQ(english->languageCount, 2);
    EXPECT_EQ(english->text[411].Str(), u"English");
    EXPECT_EQ(english->text[412].Str(), u"Deutsch");
    const char16_t* names[] = {u"Silent", u"Night", u"Day", u"Car", u"Flight mode"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(profiles->profiles[i].name.Str(), names[i]);

    auto germanProfiles = std::make_unique<ProfileTable>();
    auto german = Load(1, germanProfiles.get());
    EXPECT_EQ(germanProfiles->profiles[4].name.Str(), u"Flugmodus");
    EXPECT_EQ(german->text[4].Str(), u"Men\u00FC");  // Windows-1252 umlaut
    EXPECT_EQ(german->text[170].Str(), u"Alle Kategorien");
}

TEST_F(LanguageAssetTest, BothLanguagesDefineTheSameIdentifiers) {
    auto profiles = std::make_unique<ProfileTable>();
    auto english = Load(0, profiles.get());
    auto german = Load(1, profiles.get());
    for (int id = 1; id < kLanguageSlots; ++id) {
        if (id == 411 || id == 412) continue;
        EXPECT_EQ(english->text[id].Empty(), german->text[id].Empty()) << id;
    }
    // Identifiers the programs address directly or by value offsets.
    const int required[] = {1,   2,   3,   4,   5,   6,   8,   9,   20,  21,  22,  23,  30,  32,  33,  34,
                            35,  36,  37,  38,  51,  55,  111, 115, 118, 121, 122, 131, 135, 155, 159, 162,
                            165, 170, 176, 178, 241, 246, 250, 253, 305, 309, 311, 313, 325, 326, 328, 331,
                            334, 335, 348, 360, 363, 366, 369, 453, 454, 455, 550, 560, 561, 600, 607, 610,
                            616, 800, 801, 807, 900, 913, 920, 923, 929, 940, 942, 960, 962, 966, 967};
    for (int id : required) EXPECT_FALSE(english->text[id].Empty()) << id;
}

}  // namespace
