// The language loader: section selection, language names, default profile
// names, and the reading window on long files.
#include "common/config/language_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "platform/storage/file.h"
#include "support/temp_device.h"

namespace {

using namespace tlw;

constexpr char16_t kFile[] = u"\\Language.ini";

class LanguageFileTest : public ::testing::Test {
protected:
    LanguageFileTest() : language_(std::make_unique<LanguageTable>()), profiles_(std::make_unique<ProfileTable>()) {}

    void Write(const std::string& bytes) {
        plat::File f;
        ASSERT_TRUE(f.Open(kFile, plat::kGenericWrite, plat::kShareNone, plat::kCreateAlways));
        ASSERT_TRUE(f.Write(bytes.data(), static_cast<uint32_t>(bytes.size())));
    }
    void Load(int32_t selected) {
        Options options;
        options.language = selected;
        LoadLanguageFile(kFile, *profiles_, *language_, options);
    }
    std::u16string Text(int id) const { return language_->text[id].Str(); }

    TempDevice device_;
    std::unique_ptr<LanguageTable> language_;  // large: kept off the stack
    std::unique_ptr<ProfileTable> profiles_;
};

const char kTwoLanguages[] =
    "[English]\r\n"
    "001=Tallowin\r\n"
    "111=Silent\r\n"
    "112=Night\r\n"
    "170=Any category\r\n"
    "\r\n"
    "[Deutsch]\r\n"
    "001=Tallowin\r\n"
    "111=Lautlos\r\n"
    "112=Nacht\r\n"
    "113=Tag\r\n"
    "170=Alle Kategorien\r\n"
    "455=Mailbox f\xFCr Sprachnachrichten\r\n";

TEST_F(LanguageFileTest, SecondOfTwoLanguages) {
    Write(kTwoLanguages);
    Load(1);
    EXPECT_EQ(language_->languageCount, 2);
    EXPECT_EQ(Text(411), u"English");
    EXPECT_EQ(Text(412), u"Deutsch");
    EXPECT_EQ(Text(111), u"Lautlos");
    EXPECT_EQ(Text(113), u"Tag");
    EXPECT_EQ(Text(170), u"Alle Kategorien");
    EXPECT_EQ(Text(455), u"Mailbox f\u00FCr Sprachnachrichten");  // Windows-1252 to UTF-16
    EXPECT_EQ(Text(2), u"");
}

TEST_F(LanguageFileTest, FirstLanguageStopsAtItsBlankLine) {
    Write(kTwoLanguages);
    Load(0);
    EXPECT_EQ(Text(111), u"Silent");
    EXPECT_EQ(Text(113), u"");  // only the German section has it
    EXPECT_EQ(Text(412), u"Deutsch");  // the list of names is still complete
}

TEST_F(LanguageFileTest, DefaultNamesFillOnlyEmptyNamesOfTheFirstFiveSlots) {
    Write(kTwoLanguages);
    profiles_->count = 7;
    profiles_->profiles[1].name = u"Mine";
    Load(1);
    EXPECT_EQ(profiles_->profiles[0].name.Str(), u"Lautlos");
    EXPECT_EQ(profiles_->profiles[1].name.Str(), u"Mine");
    EXPECT_EQ(profiles_->profiles[2].name.Str(), u"Tag");
    EXPECT_EQ(profiles_->profiles[3].name.Str(), u"");  // 114 is not in the file
    EXPECT_EQ(profiles_->profiles[5].name.Str(), u"");
}

TEST_F(LanguageFileTest, MissingFileChangesNothing) {
    language_->text[5] = u"kept";
    language_->languageCount = 3;
    Load(0);
    EXPECT_EQ(Text(5), u"kept");
    EXPECT_EQ(language_->languageCount, 3);
    EXPECT_EQ(profiles_->profiles[0].name.Str(), u"");
}

TEST_F(LanguageFileTest, ReloadingClearsTextsOfTheOtherLanguage) {
    Write(kTwoLanguages);
    Load(1);
    ASSERT_EQ(Text(113), u"Tag");
    Load(0);
    EXPECT_EQ(Text(113), u"");
    EXPECT_EQ(Text(111), u"Silent");
}

TEST_F(LanguageFileTest, LanguageBeyondTheSectionsLoadsNoTexts) {
    Write(kTwoLanguages);
    Load(2);
    EXPECT_EQ(language_->languageCount, 2);
    EXPECT_EQ(Text(111), u"");
    EXPECT_EQ(Text(411), u"English");
}

TEST_F(LanguageFileTest, HeaderNameOf31CharactersIsNoLanguage) {
    std::string name30(30, 'a'), name31(31, 'b');
    Write("[" + name31 + "]\r\n111=Long\r\n\r\n[" + name30 + "]\r\n111=Fits\r\n");
    Load(0);
    EXPECT_EQ(language_->languageCount, 1);
    EXPECT_EQ(Text(411), std::u16string(30, u'a'));
    EXPECT_EQ(Text(111), u"Fits");
}

TEST_F(LanguageFileTest, SectionWithAnEmptyFirstLineHasNoTexts) {
    Write("[English]\r\n\r\n111=Silent\r\n");
    Load(0);
    EXPECT_EQ(language_->languageCount, 1);
    EXPECT_EQ(Text(111), u"");
}

TEST_F(LanguageFileTest, LineRules) {
    Write("[English]\n"                           // LF alone ends a line too
          "005\r\n"                               // no text: an empty slot
          "012=" + std::string(100, 'x') + "\r\n" // cut to 79 characters
          "-13=negative\r\n"                      // no slot before 1: skipped
          "99=short id\r\n"                       // "99=" reads as 99; text from the fifth character
          "020=Open [Ctrl+O]\r\n"                 // brackets inside a text are no header
          "007=a\tb\r\n"
          "x01=ends here\r\n"
          "030=never read\r\n");
    Load(0);
    EXPECT_EQ(language_->languageCount, 1);
    EXPECT_EQ(Text(5), u"");
    EXPECT_EQ(Text(12), std::u16string(79, u'x'));
    EXPECT_EQ(Text(99), u"hort id");
    EXPECT_EQ(Text(20), u"Open [Ctrl+O]");
    EXPECT_EQ(Text(7), u"a\tb");
    EXPECT_EQ(Text(30), u"");
}

TEST_F(LanguageFileTest, TextsOnAFileMuchLongerThanTheWindow) {
    // 300 lines of 40 bytes: the selected section spans three windows, and a
    // later section's name lies far beyond the first window.
    std::string file = "[English]\r\n";
    for (int id = 1; id <= 300; ++id) {
        char line[64];
        std::snprintf(line, sizeof line, "%03d=text %03d ..........................\r\n", id, id);
        file += line;
    }
    file += "\r\n[Deutsch]\r\n111=Lautlos\r\n";
    ASSERT_GT(file.size(), 3u * kLanguageWindowBytes);
    Write(file);
    Load(0);
    for (int id = 1; id <= 300; ++id) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "text %03d ..........................", id);
        ASSERT_EQ(Text(id), std::u16string(expected, expected + std::strlen(expected))) << id;
    }
    EXPECT_EQ(language_->languageCount, 2);
    EXPECT_EQ(Text(412), u"Deutsch");
}

TEST_F(LanguageFileTest, LineLongerThanTheWindowIsCutAndReadingGoesOn) {
    Write("[English]\r\n001=" + std::string(3 * kLanguageWindowBytes, 'y') + "\r\n002=after\r\n\r\n[Deutsch]\r\n");
    Load(0);
    EXPECT_EQ(Text(1), std::u16string(79, u'y'));
    EXPECT_EQ(Text(2), u"after");
    EXPECT_EQ(language_->languageCount, 2);
}

TEST_F(LanguageFileTest, TextIdentifierSharesItsSlotWithALanguageName) {
    // Text 412 of the selected first section is overwritten by the name of
    // the second section, which comes later in the file.
    Write("[English]\r\n411=own text\r\n412=replaced\r\n\r\n[Deutsch]\r\n");
    Load(0);
    EXPECT_EQ(Text(411), u"own text");
    EXPECT_EQ(Text(412), u"Deutsch");
}

}  // namespace
