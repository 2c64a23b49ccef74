#include "common/graphics/click_sound.h"

#include "base/text.h"
#include "platform/storage/journal.h"
#include "platform/hardware/sound.h"
#include "skin_fixture.h"

namespace tlw {
namespace {

using test::kSkinsFolder;
using test::kSkinsHost;

const std::vector<uint8_t> kWave = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};

class ClickSound : public test::SkinTest {
protected:
    SkinSource Source(std::u16string skin) {
        SkinSource s;
        s.skinsFolder = kSkinsFolder;
        s.skin = std::move(skin);
        return s;
    }
    // The effects of the journal lines (after device time and program).
    std::vector<std::string> Sounds() {
        std::vector<std::string> effects;
        for (const std::string& line : plat::JournalRead()) {
            std::size_t at = line.find(" sound ");
            if (at != std::string::npos) effects.push_back(line.substr(at + 1));
        }
        return effects;
    }
};

TEST_F(ClickSound, PlaysTheChosenSkinsClick) {
    Write("Skin1/TlwButton.wav", kWave);
    EXPECT_TRUE(PlayButtonClick(Source(u"\\Skin1\\"), true, true));
    EXPECT_EQ(Sounds(), std::vector<std::string>{"sound \\Skin1\\TlwButton.wav"});
}

TEST_F(ClickSound, FallsBackToTheDefaultSkinOfTheResolutionClass) {
    Write(std::filesystem::path(kSkinsHost) / "Default_QVGA/TlwButton.wav", kWave);
    Write(std::filesystem::path(kSkinsHost) / "Default_VGA/TlwButton.wav", kWave);
    EXPECT_TRUE(PlayButtonClick(Source(u"\\Skin1\\"), true, true));
    UseDpi(192);
    EXPECT_TRUE(PlayButtonClick(Source(u"\\Skin1\\"), true, true));
    EXPECT_EQ(Sounds(), (std::vector<std::string>{
                            "sound \\Application Data\\Korvel\\Tallowin\\Skins\\Default_QVGA\\TlwButton.wav",
                            "sound \\Application Data\\Korvel\\Tallowin\\Skins\\Default_VGA\\TlwButton.wav"}));
}

TEST_F(ClickSound, SilentUnlessBothTheOptionAndTheSoundBitAreSet) {
    Write("Skin1/TlwButton.wav", kWave);
    EXPECT_FALSE(PlayButtonClick(Source(u"\\Skin1\\"), false, true));
    EXPECT_FALSE(PlayButtonClick(Source(u"\\Skin1\\"), true, false));
    EXPECT_TRUE(Sounds().empty());
}

TEST_F(ClickSound, NoFileAnywherePlaysNothing) {
    EXPECT_FALSE(PlayButtonClick(Source(u"\\Skin1\\"), true, true));
    EXPECT_TRUE(Sounds().empty());
}

TEST_F(ClickSound, PlatformPlaysOnlyWaveFilesAndOtherwiseTheDefaultSound) {
    Write("noise.wav", {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e', '!', '!'});
    EXPECT_FALSE(plat::PlaySoundFile(u"\\noise.wav", plat::kSndAsync | plat::kSndNoDefault));
    EXPECT_TRUE(plat::PlaySoundFile(u"\\missing.wav", plat::kSndAsync));
    EXPECT_EQ(Sounds(), std::vector<std::string>{"sound default"});
}

}  // namespace
}  // namespace tlw
