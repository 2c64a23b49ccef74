// Repetition of missed-event sounds in process, with a virtual clock: which
// profiles repeat, the growing intervals while a notification stays shown,
// how each kind of sound setting is played, the Treo's LED, and what stops
// a repetition.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/sound_repetition.h"
#include "engine/wake_ups.h"
#include "engine_fixture.h"
#include "platform/hardware/hardware.h"
#include "platform/shell/shell_notifications.h"
#include "platform/storage/file.h"
#include "platform/storage/registry.h"
#include "support/journal_effects.h"

namespace tlw::testing {
namespace {

constexpr char16_t kSmsClass[] = u"{A877D65B-239C-47A7-9304-0D347F580408}";
constexpr char16_t kSmsSettings[] = u"ControlPanel\\Notifications\\{A877D65B-239C-47a7-9304-0D347F580408}";
constexpr char16_t kTreoSmsClass[] = u"{283E0018-E5C9-44E4-9864-4C4A3DED3BC3}";
constexpr char16_t kTreoSmsSettings[] = u"ControlPanel\\Notifications\\{283E0018-E5C9-44E4-9864-4C4A3DED3BC3}";

class SoundRepetitionTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        for (const char16_t* file : {u"\\Windows\\Notify.wav", u"\\Windows\\Tune.wma"}) {
            plat::File f;
            ASSERT_TRUE(f.Open(file, plat::kGenericWrite, plat::kShareNone, plat::kCreateAlways));
        }
        ASSERT_TRUE(plat::RegWriteString(plat::kHkeyCurrentUser, kSmsSettings, u"Wave", u"\\Windows\\Notify.wav"));
    }
    // A profile that repeats the text-message sound (slot 2).
    int32_t RepeatingProfile(int32_t volMaster = 2) {
        Profile& p = AddProfile(kEventManual);
        p.volMaster = volMaster;
        p.event_enabled[2] = true;
        p.repeat[2] = true;
        return engine->model.profiles.count - 1;
    }
    void Start(int32_t profile) {
        InitRepetitionSlots(*engine);
        engine->repetitionWanted = ComputeRepetition(*engine, profile);
    }
    void Advance(int64_t seconds) { plat::AdvanceClock(seconds); }
    // Fires what is due as the device would, and hands the engine the
    // repetition wake-ups among them as their messages.
    void FireAndDeliver() {
        std::vector<plat::FiredNotification> fired;
        plat::FireDueNotifications(&fired);
        for (const plat::FiredNotification& f : fired) {
            std::u16string arguments = f.trigger.arguments;
            if (arguments.size() == 4 && arguments[3] >= u'3' && arguments[3] <= u'6')
                RepeatSlot(*engine, arguments[3] - u'2', true);
            else if (arguments == u"2267")
                EndNotificationRepetition(*engine);
        }
    }
    std::vector<std::string> Sounds() {
        std::vector<std::string> out;
        for (const std::string& e : JournalEffects())
            if (e.rfind("sound play", 0) == 0 || e.rfind("media player", 0) == 0 || e.rfind("led", 0) == 0)
                out.push_back(e);
        return out;
    }
};

TEST_F(SoundRepetitionTest, OnlyAnAudibleProfileWithARepeatingEventWantsRepetition) {
    InitRepetitionSlots(*engine);
    EXPECT_FALSE(ComputeRepetition(*engine, kNoProfile));
    int32_t silent = RepeatingProfile(0);
    EXPECT_FALSE(ComputeRepetition(*engine, silent));
    int32_t loud = RepeatingProfile();
    EXPECT_TRUE(ComputeRepetition(*engine, loud));
    EXPECT_TRUE(engine->repetition.slots[2].repeat);

    // An event the profile leaves alone keeps what the last profile wanted.
    Profile& other = AddProfile(kEventManual);
    other.volMaster = 2;
    other.event_enabled[3] = true;
    EXPECT_FALSE(ComputeRepetition(*engine, engine->model.profiles.count - 1));
    EXPECT_TRUE(engine->repetition.slots[2].repeat);

    // On a Treo every controlled event keeps the LED blinking.
    engine->treo = true;
    EXPECT_TRUE(ComputeRepetition(*engine, engine->model.profiles.count - 1));
    EXPECT_TRUE(engine->repetition.slots[3].led);
    EXPECT_FALSE(engine->repetition.slots[3].repeat);
}

TEST_F(SoundRepetitionTest, AShownNotificationRepeatsAtGrowingIntervalsUntilDismissed) {
    Start(RepeatingProfile());
    uint32_t id = plat::ShowShellNotification(kSmsClass, u"Text message", u"");
    ASSERT_NE(id, 0u);
    CheckShownNotifications(*engine);
    EXPECT_EQ(WakeUps(), std::vector<std::string>{"2264@10:01:20"});
    CheckShownNotifications(*engine);  // another change of the shown ones: the slot stays as it is
    EXPECT_EQ(WakeUps(), std::vector<std::string>{"2264@10:01:20"});

    // Replays at +60, +180, +360 and +600 s: 60, 120, 180, 240 s apart.
    const int64_t gaps[] = {60, 120, 180, 240};
    const char* next[] = {"2264@10:03:20", "2264@10:06:20", "2264@10:10:20", "2264@10:15:20"};
    for (int i = 0; i < 4; ++i) {
        Advance(gaps[i] - 1);
        FireAndDeliver();
        EXPECT_EQ(Sounds().size(), static_cast<size_t>(i));
        Advance(1);
        FireAndDeliver();
        EXPECT_EQ(Sounds().size(), static_cast<size_t>(i + 1));
        EXPECT_EQ(WakeUps(), std::vector<std::string>{next[i]});
    }
    EXPECT_EQ(Sounds()[0], "sound play \\Windows\\Notify.wav");

    ASSERT_TRUE(plat::DismissShellNotification(id));
    CheckShownNotifications(*engine);
    EXPECT_TRUE(WakeUps().empty());
    EXPECT_EQ(engine->repetition.slots[2].interval, 60);
    RepeatSlot(*engine, 2, true);  // a wake-up already on its way plays nothing
    EXPECT_EQ(Sounds().size(), 4u);
    EXPECT_TRUE(WakeUps().empty());
}

TEST_F(SoundRepetitionTest, TheIntervalStopsGrowingAtHalfAnHour) {
    Start(RepeatingProfile());
    plat::ShowShellNotification(kSmsClass, u"", u"");
    CheckShownNotifications(*engine);
    for (int i = 0; i < 40; ++i) RepeatSlot(*engine, 2, true);
    EXPECT_EQ(engine->repetition.slots[2].interval, 1800);
    std::vector<std::string> pending = WakeUps();
    EXPECT_EQ(pending.size(), 41u);  // a replay by hand does not remove the scheduled one
    EXPECT_EQ(pending.back(), "2264@10:30:20");
}

TEST_F(SoundRepetitionTest, EachKindOfSoundSettingIsPlayedItsWay) {
    Start(RepeatingProfile());
    plat::ShowShellNotification(kSmsClass, u"", u"");
    CheckShownNotifications(*engine);
    // A bare name: the Windows folder's .wav file of that name.
    ASSERT_TRUE(plat::RegWriteString(plat::kHkeyCurrentUser, kSmsSettings, u"Wave", u"Notify"));
    RepeatSlot(*engine, 2, true);
    // Another kind of file goes to the media player, which must play it once
    // although its Repeat preference is on; the preference is kept.
    ASSERT_TRUE(plat::RegWriteString(plat::kHkeyCurrentUser, kSmsSettings, u"Wave", u"\\Windows\\Tune.wma"));
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyCurrentUser, plat::kMediaPlayerPreferencesKey, u"Repeat", 1));
    RepeatSlot(*engine, 2, true);
    uint32_t repeat = 0;
    ASSERT_TRUE(plat::RegReadDword(plat::kHkeyCurrentUser, plat::kMediaPlayerPreferencesKey, u"Repeat", &repeat));
    EXPECT_EQ(repeat, 1u);
    EXPECT_NE(engine->repetition.mediaPlayer, 0u);
    ReleaseMediaPlayer(*engine);
    EXPECT_EQ(engine->repetition.mediaPlayer, 0u);
    // A missing sound file plays nothing and reports nothing.
    ASSERT_TRUE(plat::RegWriteString(plat::kHkeyCurrentUser, kSmsSettings, u"Wave", u"\\Windows\\Gone.wav"));
    RepeatSlot(*engine, 2, true);
    EXPECT_EQ(Sounds(), (std::vector<std::string>{"sound play \\Windows\\Notify.wav",
                                                  "media player play \\Windows\\Tune.wma"}));
}

TEST_F(SoundRepetitionTest, OtherClassesAndOtherKeysDoNotCount) {
    Start(RepeatingProfile());
    plat::ShowShellNotification(u"{A877D65A-239C-47A7-9304-0D347F580408}", u"", u"");  // an e-mail
    CheckShownNotifications(*engine);
    EXPECT_TRUE(WakeUps().empty());
    // An empty class key is no shown notification.
    plat::HKey key = 0;
    ASSERT_EQ(plat::RegCreateKey(plat::kHkeyLocalMachine, std::u16string(plat::kShellNotificationsKey) + u"\\" + kSmsClass,
                                 &key),
              0u);
    plat::RegCloseKey(key);
    CheckShownNotifications(*engine);
    EXPECT_TRUE(WakeUps().empty());
}

TEST_F(SoundRepetitionTest, RescheduleKeepsItButASilentProfileStopsIt) {
    Start(RepeatingProfile());
    plat::ShowShellNotification(kSmsClass, u"", u"");
    CheckShownNotifications(*engine);
    RescheduleTimeWakeUps(*engine, false);
    std::vector<std::string> pending = WakeUps();
    EXPECT_NE(std::find(pending.begin(), pending.end(), "2264@10:01:20"), pending.end());
    EXPECT_NE(std::find(pending.begin(), pending.end(), "16@00:00:01"), pending.end());

    // A silent profile takes over while the notification is still shown.
    engine->repetitionWanted = ComputeRepetition(*engine, RepeatingProfile(0));
    EXPECT_FALSE(engine->repetitionWanted);
    pending = WakeUps();
    EXPECT_EQ(std::find(pending.begin(), pending.end(), "2264@10:01:20"), pending.end());
    Advance(60);
    RepeatSlot(*engine, 2, true);
    EXPECT_TRUE(Sounds().empty());
    // Back to a repeating profile, the notification still shown is repeated
    // again from the start; a later check leaves it so.
    engine->repetitionWanted = ComputeRepetition(*engine, 0);
    CheckShownNotifications(*engine);
    pending = WakeUps();
    EXPECT_EQ(std::count(pending.begin(), pending.end(), "2264@10:02:20"), 1);
}

TEST_F(SoundRepetitionTest, ATreoBlinksItsLedForTheEventsDurationOrUntilDismissed) {
    engine->treo = true;
    engine->treo800w = true;
    Start(RepeatingProfile());
    EXPECT_EQ(engine->repetition.slots[2].classId, kTreoSmsClass);
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyCurrentUser, kTreoSmsSettings, u"Duration", 5));
    uint32_t id = plat::ShowShellNotification(kTreoSmsClass, u"", u"");
    CheckShownNotifications(*engine);
    EXPECT_EQ(WakeUps(), (std::vector<std::string>{"2264@10:01:20", "2267@10:05:20"}));
    plat::HardwareState hw;
    ASSERT_TRUE(plat::ReadHardwareState(&hw));
    EXPECT_EQ(hw.leds[1], 2);  // the 800w's LED 1 blinks
    Advance(300);
    FireAndDeliver();
    ASSERT_TRUE(plat::ReadHardwareState(&hw));
    EXPECT_EQ(hw.leds[1], 0);

    // Without a duration the LED blinks for a day; dismissing ends it.
    ASSERT_TRUE(plat::DismissShellNotification(id));
    CheckShownNotifications(*engine);
    ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyCurrentUser, kTreoSmsSettings, u"Duration", 0));
    id = plat::ShowShellNotification(kTreoSmsClass, u"", u"");
    CheckShownNotifications(*engine);
    std::vector<std::string> pending = WakeUps();
    EXPECT_NE(std::find(pending.begin(), pending.end(), "2267@10:05:20"), pending.end());  // tomorrow, same time
    ASSERT_TRUE(plat::DismissShellNotification(id));
    CheckShownNotifications(*engine);
    EXPECT_TRUE(WakeUps().empty());
    EXPECT_EQ(Sounds().back(), "led 1 off");
}

}  // namespace
}  // namespace tlw::testing
