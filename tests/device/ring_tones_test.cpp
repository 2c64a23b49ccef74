// Ring tones and notification sounds: the values written for each event,
// the ring scripts and options, the platform-version rules and the
// catalogues of sound files.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "common/device/device_operations.h"
#include "device_fixture.h"
#include "platform/storage/file.h"

namespace {

using namespace tlw;

constexpr char16_t kRingTone0[] = u"ControlPanel\\Sounds\\RingTone0";
constexpr char16_t kEvent1[] = u"ControlPanel\\Notifications\\{C3465585-39EF-4c9b-B2A3-5558BF27BFB0}";
constexpr char16_t kEvent1Second[] = u"ControlPanel\\Notifications\\{3C781384-05F3-4035-A8F9-C23F19A93AF0}";
constexpr char16_t kEvent2[] = u"ControlPanel\\Notifications\\{A877D65B-239C-47a7-9304-0D347F580408}";
constexpr char16_t kEvent3[] = u"ControlPanel\\Notifications\\{A877D65A-239C-47a7-9304-0D347F580408}";
constexpr char16_t kEvent5[] = u"ControlPanel\\Notifications\\{15F11F90-8A5F-454c-89FC-BA9B7AAB0CAD}";

class RingTonesTest : public ModelDevice {
protected:
    void WriteFile(std::u16string_view path, const char* text = "x") {
        plat::File file;
        ASSERT_TRUE(file.Open(path, plat::kGenericWrite, plat::kShareNone, plat::kCreateAlways));
        ASSERT_TRUE(file.Write(text, 1));
    }
    std::vector<std::u16string> Names(const SoundCatalogue& c) {
        std::vector<std::u16string> names;
        for (int i = 0; i < c.count; ++i) names.push_back(c.entries[i].name.Str());
        return names;
    }
    void Sound(int32_t event, std::u16string_view name) {
        PathString buffer(name);
        SetEventSound(event, &buffer);
        lastPath_ = buffer.Str();
    }
    std::u16string lastPath_;  // the buffer after the last Sound call
};

TEST_F(RingTonesTest, NotificationOptionsFollowStyleFlashAndRepeat) {
    UseModel("generic-qvga");
    SetEventOptions(2, 3, false, true, 5);
    EXPECT_EQ(UserDword(kEvent2, u"Options"), 7u);
    EXPECT_EQ(UserDword(kEvent2, u"Duration"), 45u);

    // The bit the platform keeps for itself survives.
    plat::RegWriteDword(plat::kHkeyCurrentUser, kEvent3, u"Options", 0x20000001);
    SetEventOptions(3, 5, true, false, 0);
    EXPECT_EQ(UserDword(kEvent3, u"Options"), 0x20000002u);
    EXPECT_EQ(Dword(plat::kHkeyCurrentUser, kEvent3, u"Duration"), 0xDEADBEEFu);

    SetEventOptions(5, 0, true, false, 0);
    EXPECT_EQ(UserDword(kEvent5, u"Options"), 0x40000011u);
    EXPECT_EQ(Dword(plat::kHkeyCurrentUser, kEvent5, u"Duration"), 0xDEADBEEFu);

    // Unknown style and flash time: nothing but the flash, five minutes.
    SetEventOptions(1, 9, false, true, 12);
    EXPECT_EQ(UserDword(kEvent1, u"Options"), 4u);
    EXPECT_EQ(UserDword(kEvent1, u"Duration"), 5u);
    EXPECT_EQ(Dword(plat::kHkeyCurrentUser, kEvent1Second, u"Options"), 0xDEADBEEFu);
    SetEventOptions(1, 0, false, true, 7);
    EXPECT_EQ(UserDword(kEvent1, u"Duration"), 0u);  // until dismissed
}

TEST_F(RingTonesTest, VibrateWithRingerOnOnlyWhereItExists) {
    UseModel("htc");
    SetEventOptions(2, 4, false, false, 0);
    EXPECT_EQ(UserDword(kEvent2, u"VibrateWithRingerOn"), 1u);
    SetEventOptions(2, 1, false, false, 0);
    EXPECT_EQ(UserDword(kEvent2, u"VibrateWithRingerOn"), 0u);
    SetEventOptions(3, 4, false, false, 0);
    EXPECT_EQ(Dword(plat::kHkeyCurrentUser, kEvent3, u"VibrateWithRingerOn"), 0xDEADBEEFu);
}

TEST_F(RingTonesTest, RingScriptGoesToEveryRingToneKeyAndNoNotification) {
    UseModel("treo-800w");
    uint32_t before = UserDword(kEvent1, u"Options");
    SetEventOptions(0, 1, true, true, 3);
    for (const char16_t* key : {u"ControlPanel\\Sounds\\RingTone0", u"ControlPanel\\Sounds\\PlmORingTone1",
                                u"ControlPanel\\Sounds\\PlmORingTone2", u"ControlPanel\\Sounds\\PlmORingTone3"})
        EXPECT_EQ(UserString(key, u"Script"), u"c50apw3c150r");
    EXPECT_EQ(UserDword(kEvent1, u"Options"), before);
    EXPECT_EQ(Dword(plat::kHkeyCurrentUser, kEvent1, u"Duration"), 0xDEADBEEFu);

    // A phone without the Palm keys gets the script in its one key.
    UseModel("generic-qvga");
    plat::RegDeleteKey(plat::kHkeyCurrentUser, u"ControlPanel\\Sounds\\PlmORingTone1");
    SetEventOptions(0, 7, false, false, 0);
    EXPECT_EQ(UserString(kRingTone0, u"Script"), u"pw3av3w3r");
    EXPECT_EQ(UserString(u"ControlPanel\\Sounds\\PlmORingTone1", u"Script"), u"(missing)");
}

TEST_F(RingTonesTest, OlderPlatformsKeepTheNameAndWmaTheFullPath) {
    UseModel("axim");  // CE 5.1
    Sound(3, u"Alarm1.wav");
    EXPECT_EQ(UserString(kEvent3, u"Wave"), u"Alarm1");
    Sound(3, u"Chimes.wma");  // in \Windows
    EXPECT_EQ(UserString(kEvent3, u"Wave"), u"\\Windows\\Chimes.wma");
    Sound(3, u"Jazz.wma");  // in \Windows\Rings
    EXPECT_EQ(UserString(kEvent3, u"Wave"), u"\\Windows\\rings\\Jazz.wma");
    // Event 1 writes both of its keys.
    Sound(1, u"Notify.wav");
    EXPECT_EQ(UserString(kEvent1, u"Wave"), u"Notify");
    EXPECT_EQ(UserString(kEvent1Second, u"Wave"), u"Notify");
}

TEST_F(RingTonesTest, NewerPlatformsWriteFullPaths) {
    UseModel("generic-qvga");  // CE 5.2 build 19202
    Sound(2, u"Alarm2.wav");
    EXPECT_EQ(UserString(kEvent2, u"Wave"), u"\\Windows\\Alarm2.wav");
    Sound(2, u"Ring-Pulse.wav");
    EXPECT_EQ(UserString(kEvent2, u"Wave"), u"\\Windows\\rings\\Ring-Pulse.wav");
}

TEST_F(RingTonesTest, RingToneIsFoundInWindowsRingsOrThroughTheShell) {
    UseModel("treo-800w");
    Sound(0, u"Tones.mid");
    EXPECT_EQ(lastPath_, u"\\Windows\\Tones.mid");
    Sound(0, u"Ring-Melody.wav");
    EXPECT_EQ(lastPath_, u"\\Windows\\Rings\\Ring-Melody.wav");
    for (const char16_t* key : {u"ControlPanel\\Sounds\\RingTone0", u"ControlPanel\\Sounds\\PlmORingTone3"})
        EXPECT_EQ(UserString(key, u"Sound"), u"\\Windows\\Rings\\Ring-Melody.wav");

    // Neither folder holds it; the shell's list knows it elsewhere.
    ASSERT_TRUE(plat::CreateDirectory(u"\\My Documents"));
    ASSERT_TRUE(plat::CreateDirectory(u"\\My Documents\\My Ringtones"));
    WriteFile(u"\\My Documents\\My Ringtones\\Ring.mp3");
    Sound(0, u"Ring.mp3");
    EXPECT_EQ(lastPath_, u"\\My Documents\\My Ringtones\\Ring.mp3");
    EXPECT_EQ(UserString(kRingTone0, u"Sound"), u"\\My Documents\\My Ringtones\\Ring.mp3");

    // Nowhere at all: the Rings folder is assumed. Names compare exactly.
    Sound(0, u"ring.MP3");
    EXPECT_EQ(lastPath_, u"\\Windows\\Rings\\ring.MP3");
}

TEST_F(RingTonesTest, CataloguesFollowTheSearchOrderAndThePlatform) {
    UseModel("generic-qvga");
    auto c = std::make_unique<SoundCatalogue>();
    EXPECT_EQ(ListSoundFiles(c.get(), true), c->count);
    std::vector<std::u16string> rings = Names(*c);
    // Searches first (\Windows *.mid, Rings *.mid, \Windows *.wma, Rings
    // *.wma, *.mp3, *.wav), then every file of the shell's list.
    std::vector<std::u16string> head(rings.begin(), rings.begin() + 9);
    EXPECT_EQ(head, (std::vector<std::u16string>{u"Tones.mid", u"Dance.mid", u"Chimes.wma", u"Jazz.wma", u"Pop.mp3",
                                                 u"Ring-Classic.wav", u"Ring-Digital.wav", u"Ring-Melody.wav",
                                                 u"Ring-Pulse.wav"}));
    EXPECT_EQ(rings.size(), 9u + 19u);  // the shell lists all 19 sounds again
    for (int i = 0; i < c->count; ++i) EXPECT_EQ(c->entries[i].position, static_cast<uint32_t>(i));

    ListSoundFiles(c.get(), false);
    std::vector<std::u16string> sounds = Names(*c);
    EXPECT_EQ(sounds.front(), u"Alarm1.wav");
    EXPECT_EQ(sounds.size(), 10u + 1u + 1u + 1u + 4u);  // \Windows *.wav, *.wma, Rings *.wma, *.mp3, *.wav

    UseModel("axim");  // CE 5.1: the wave files of \Windows only
    EXPECT_EQ(ListSoundFiles(c.get(), false), 10);
}

TEST_F(RingTonesTest, FullDeviceGivesExactly256Entries) {
    UseModel("generic-qvga");
    for (int i = 0; i < 300; ++i) WriteFile(u"\\Windows\\Tone" + std::u16string(1, u'A' + i / 26 % 26) +
                                            std::u16string(1, u'a' + i % 26) + u".wav");
    auto c = std::make_unique<SoundCatalogue>();
    EXPECT_EQ(ListSoundFiles(c.get(), false), 256);
    EXPECT_EQ(c->entries[255].position, 255u);
}

}  // namespace
