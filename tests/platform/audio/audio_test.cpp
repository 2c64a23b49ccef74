// The audio hardware: the wave-out volume, the audio reload, the shell's
// sound profile and sound-file list, and the refusals of bad requests.
#include <gtest/gtest.h>

#include "platform/audio/sound_player.h"
#include "platform/audio/wave_out.h"
#include "platform/hardware/hardware.h"
#include "platform/shell/sound_files.h"
#include "platform/storage/file.h"
#include "platform/storage/registry.h"
#include "support/journal_effects.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

TEST(WaveOutTest, VolumeOfTheOneDeviceAndReload) {
    TempDevice device;
    ASSERT_EQ(WaveOutGetNumDevs(), 1u);
    EXPECT_EQ(WaveOutSetVolume(0, 0x66666666), kMmSysErrNoError);
    uint32_t volume = 0;
    EXPECT_EQ(WaveOutGetVolume(0, &volume), kMmSysErrNoError);
    EXPECT_EQ(volume, 0x66666666u);
    EXPECT_EQ(WaveOutSetVolume(1, 0), kMmSysErrBadDeviceId);
    EXPECT_EQ(WaveOutGetVolume(0, nullptr), kMmSysErrInvalParam);

    // The reload takes the panel's volume; without one the mixer keeps its own.
    AudioUpdateFromRegistry();
    WaveOutGetVolume(0, &volume);
    EXPECT_EQ(volume, 0x66666666u);
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"ControlPanel\\Volume", u"Volume", 0x33333333));
    AudioUpdateFromRegistry();
    WaveOutGetVolume(0, &volume);
    EXPECT_EQ(volume, 0x33333333u);
    EXPECT_EQ(JournalEffects(), (std::vector<std::string>{"wave-out 0 volume 0x66666666", "audio reload from registry",
                                                          "audio reload from registry"}));
}

TEST(SoundProfileTest, OnlyTheGlobalProfileWithAKnownTypeIsSet) {
    TempDevice device;
    SndFileInfo info;
    info.soundType = kSndTypeVibrate;
    EXPECT_EQ(SndSetSound(kSndEventAll, &info, kSndSuppressUi), kSOk);
    EXPECT_EQ(SndGetSoundProfile(), kSndTypeVibrate);
    info.soundType = kSndTypeFile;
    EXPECT_EQ(SndSetSound(kSndEventAll, &info, kSndSuppressUi), kEInvalidArg);
    info.soundType = kSndTypeNone;
    EXPECT_EQ(SndSetSound(1, &info, kSndSuppressUi), kEInvalidArg);
    EXPECT_EQ(SndSetSound(kSndEventAll, nullptr, kSndSuppressUi), kEInvalidArg);
    EXPECT_EQ(SndGetSoundProfile(), kSndTypeVibrate);
    EXPECT_EQ(JournalEffects(), std::vector<std::string>{"sound profile vibrate"});
}

TEST(SoundFileListTest, SoundsOfTheKnownFoldersInFolderThenNameOrder) {
    TempDevice device;
    for (const char16_t* folder : {u"\\Windows", u"\\Windows\\Rings", u"\\My Documents"})
        ASSERT_TRUE(CreateDirectory(folder));
    for (const char16_t* path : {u"\\Windows\\b.wav", u"\\Windows\\a.mid", u"\\Windows\\notes.txt",
                                 u"\\Windows\\Rings\\Ring.mp3", u"\\My Documents\\Song.wma", u"\\Temp.wav"}) {
        File f;
        ASSERT_TRUE(f.Open(path, kGenericWrite, kShareNone, kCreateAlways));
    }
    ASSERT_TRUE(CreateDirectory(u"\\Windows\\folder.wav"));  // a folder is no sound
    std::vector<SndFileInfo> list;
    ASSERT_EQ(SndGetSoundFileList(kSndEventAll, kSndLocationAll, &list), kSOk);
    std::vector<std::u16string> paths, names;
    for (const SndFileInfo& i : list) {
        paths.emplace_back(i.path);
        names.emplace_back(i.name);
        EXPECT_EQ(i.soundType, kSndTypeFile);
    }
    EXPECT_EQ(paths, (std::vector<std::u16string>{u"\\Windows\\a.mid", u"\\Windows\\b.wav", u"\\Windows\\Rings\\Ring.mp3",
                                                  u"\\My Documents\\Song.wma"}));
    EXPECT_EQ(names, (std::vector<std::u16string>{u"a", u"b", u"Ring", u"Song"}));
    EXPECT_EQ(SndGetSoundFileList(kSndEventAll, kSndLocationAll, nullptr), kEInvalidArg);
}

}  // namespace

namespace {

TEST(SoundPlayerTest, PlaysKnownKindsOfExistingFiles) {
    TempDevice device;
    ASSERT_TRUE(plat::CreateDirectory(u"\\Windows"));
    for (const char16_t* path : {u"\\Windows\\Song.MP3", u"\\Windows\\readme.txt"}) {
        plat::File f;
        ASSERT_TRUE(f.Open(path, plat::kGenericWrite, plat::kShareNone, plat::kCreateAlways));
    }
    EXPECT_EQ(plat::SndPlayAsync(u"\\windows\\song.mp3"), plat::kSndPlayOk);
    EXPECT_EQ(plat::SndPlayAsync(u"\\Windows\\readme.txt"), plat::kSndPlayUnsupported);
    EXPECT_EQ(plat::SndPlayAsync(u"\\Windows\\Gone.wav"), plat::kSndPlayFileNotFound);
    EXPECT_EQ(plat::SndPlayAsync(u"Song.mp3"), plat::kSndPlayOk);  // a bare name: the Windows folder's
    EXPECT_EQ(plat::SndPlayAsync(u"Other.mp3"), plat::kSndPlayFileNotFound);
    // A stop ends the sound started last, once.
    EXPECT_TRUE(plat::SndStop());
    EXPECT_FALSE(plat::SndStop());
    EXPECT_EQ(JournalEffects(), (std::vector<std::string>{"sound play \\windows\\song.mp3",
                                                          "sound play \\Windows\\Song.mp3",
                                                          "sound stop \\Windows\\Song.mp3"}));
}

}  // namespace
