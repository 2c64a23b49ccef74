// Sound mode, system, ringer and in-call volumes and the mute bit: the
// registry values, the shell's sound profile, the wave-out mixer and the
// phone device's hook-switch volumes they leave on the phone.
#include <gtest/gtest.h>

#include "common/device/device_operations.h"
#include "device_fixture.h"
#include "platform/audio/wave_out.h"
#include "platform/hardware/hardware.h"
#include "platform/shell/sound_files.h"

namespace {

using namespace tlw;

constexpr char16_t kVolume[] = u"ControlPanel\\Volume";
constexpr char16_t kOverrides[] = u"ControlPanel\\Notifications\\ShellOverrides";
constexpr char16_t kRing[] = u"ControlPanel\\SoundCategories\\Ring";
constexpr char16_t kPhone[] = u"ControlPanel\\Phone";

class SoundTest : public ModelDevice {
protected:
    void SetUp() override { UseModel("generic-qvga"); }
    plat::HardwareState Hardware() {
        plat::HardwareState h;
        plat::ReadHardwareState(&h);
        return h;
    }
};

TEST_F(SoundTest, LevelsMapToBothChannels) {
    const uint32_t expected[6] = {0x00000000, 0x33333333, 0x66666666, 0x99999999, 0xCCCCCCCC, 0xFFFFFFFF};
    for (uint32_t level = 0; level <= 5; ++level) EXPECT_EQ(VolumeOfLevel(level), expected[level]) << level;
    EXPECT_EQ(VolumeOfLevel(9), 0xFFFFFFFFu);  // beyond the scale: loudest, not a wrapped channel
}

TEST_F(SoundTest, RestoreTakesTheSavedVolumeAndKeepsIt) {
    plat::RegWriteDword(plat::kHkeyCurrentUser, kOverrides, u"SavedVolume", 0x99999999);
    SetSoundMode(kRestoreLevel, kSoundModeNormal);
    EXPECT_EQ(UserDword(kVolume, u"Volume"), 0x99999999u);
    EXPECT_EQ(UserDword(kOverrides, u"SavedVolume"), 0x99999999u);
    EXPECT_EQ(UserDword(kOverrides, u"Mode"), 0u);
    EXPECT_EQ(Hardware().waveOutVolume, 0x99999999u);
    EXPECT_EQ(Hardware().soundProfile, plat::kSndTypeSoundOn);
    EXPECT_EQ(NewEffects(), (std::vector<std::string>{"sound profile on", "wave-out 0 volume 0x99999999"}));

    // Without a saved volume the restored level is 0.
    plat::HKey key = 0;
    ASSERT_EQ(plat::RegOpenKey(plat::kHkeyCurrentUser, kOverrides, &key), 0u);
    plat::RegDeleteValue(key, u"SavedVolume");
    plat::RegCloseKey(key);
    SetSoundMode(kRestoreLevel, kSoundModeNormal);
    EXPECT_EQ(UserDword(kVolume, u"Volume"), 0u);
    EXPECT_EQ(Hardware().waveOutVolume, 0u);
}

TEST_F(SoundTest, VibrateAndSilentKeepTheSavedVolume) {
    SetSoundMode(0, kSoundModeVibrate);
    EXPECT_EQ(UserDword(kVolume, u"Volume"), 0u);
    EXPECT_EQ(UserDword(kOverrides, u"Mode"), 1u);
    EXPECT_EQ(UserDword(kOverrides, u"SavedVolume"), 0x99999999u);  // as installed
    EXPECT_EQ(Hardware().soundProfile, plat::kSndTypeVibrate);
    SetSoundMode(0, kSoundModeSilent);
    EXPECT_EQ(UserDword(kOverrides, u"Mode"), 2u);
    EXPECT_EQ(Hardware().soundProfile, plat::kSndTypeNone);
    EXPECT_EQ(NewEffects(), (std::vector<std::string>{"sound profile vibrate", "wave-out 0 volume 0x00000000",
                                                      "sound profile none", "wave-out 0 volume 0x00000000"}));
}

TEST_F(SoundTest, MissingKeysOnlyDropTheirOwnSteps) {
    plat::RegDeleteKey(plat::kHkeyCurrentUser, kOverrides);
    SetSoundMode(4, kSoundModeNormal);
    EXPECT_EQ(UserDword(kVolume, u"Volume"), 0xCCCCCCCCu);
    EXPECT_EQ(Dword(plat::kHkeyCurrentUser, kOverrides, u"Mode"), 0xDEADBEEFu);  // not created
    EXPECT_EQ(Hardware().waveOutVolume, 0xCCCCCCCCu);
}

TEST_F(SoundTest, RingerVolumeGoesToThreeValuesAndRestores) {
    SetRingerVolume(2);
    EXPECT_EQ(UserDword(kRing, u"InitVol"), 2u);
    EXPECT_EQ(UserDword(kVolume, u"Ringer"), 0x66666666u);
    EXPECT_EQ(UserDword(kOverrides, u"SavedRingerVolume"), 0x66666666u);
    EXPECT_TRUE(NewEffects().empty());  // the platform picks the ringer up itself

    SetRingerVolume(5);
    SetRingerVolume(kRestoreLevel);
    EXPECT_EQ(UserDword(kRing, u"InitVol"), 5u);
    EXPECT_EQ(UserDword(kVolume, u"Ringer"), 0xFFFFFFFFu);
}

TEST_F(SoundTest, PhoneVolumeSetsEveryHookSwitchDevice) {
    SetPhoneVolume(3);
    plat::HardwareState h = Hardware();
    EXPECT_EQ(h.handsetVolume, 39321u);
    EXPECT_EQ(h.headsetVolume, 39321u);
    EXPECT_EQ(h.speakerVolume, 39321u);
    EXPECT_EQ(NewEffects(), (std::vector<std::string>{"phone 0 volume handset 39321", "phone 0 volume headset 39321",
                                                      "phone 0 volume speaker 39321"}));
    // The generic phone's panel keeps no in-call volume, and gets none.
    EXPECT_EQ(Dword(plat::kHkeyCurrentUser, kPhone, u"Vol"), 0xDEADBEEFu);
    SetPhoneVolume(5);
    EXPECT_EQ(Hardware().handsetVolume, 65535u);
}

TEST_F(SoundTest, PhoneVolumeUpdatesAPanelThatKeepsIt) {
    UseModel("htc");
    SetPhoneVolume(1);
    EXPECT_EQ(UserDword(kPhone, u"Vol"), 13107u);
}

TEST_F(SoundTest, PhoneVolumeWithoutAPhoneDeviceChangesNothing) {
    UseModel("axim");
    SetPhoneVolume(1);
    EXPECT_EQ(Hardware().handsetVolume, 0xFFFFu);
    EXPECT_TRUE(NewEffects().empty());
}

TEST_F(SoundTest, MuteBitLeavesTheOthersAndReloadsTheAudio) {
    plat::RegWriteDword(plat::kHkeyCurrentUser, kVolume, u"Mute", 5);
    EXPECT_TRUE(IsSoundMuted());
    SetSoundMuted(false);
    EXPECT_EQ(UserDword(kVolume, u"Mute"), 1u);
    EXPECT_FALSE(IsSoundMuted());
    SetSoundMuted(true);
    EXPECT_EQ(UserDword(kVolume, u"Mute"), 5u);
    EXPECT_EQ(NewEffects(), (std::vector<std::string>{"audio reload from registry", "audio reload from registry"}));
}

}  // namespace
