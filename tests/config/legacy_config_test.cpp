// Files of the older layout: each field's coding, the per-profile windows,
// and the whole read from the device with its defaults.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "common/config/config_file.h"
#include "common/config/defaults.h"
#include "common/config/legacy_config.h"
#include "platform/storage/file.h"
#include "platform/storage/paths.h"
#include "support/temp_device.h"

namespace {

using namespace tlw;

class LegacyConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        language = std::make_unique<LanguageTable>();
        for (int i = 0; i < 5; ++i) {
            std::u16string name = u"Default ";
            name += static_cast<char16_t>(u'0' + i);
            language->text[111 + i] = name;
        }
        language->text[170] = u"(any)";
        model = std::make_unique<ConfigModel>();
        ApplyDefaults(*model, *language, true);
    }
    // Parses text as a whole file, read in windows.
    void Parse(const std::string& text) {
        windowsRead = 0;
        ParseLegacyConfiguration(
            [&](uint64_t at) {
                ++windowsRead;
                return at >= text.size() ? std::string() : text.substr(at, kLegacyWindowBytes);
            },
            *model, *language);
    }
    Profile& P(int i) { return model->profiles.profiles[i]; }

    std::unique_ptr<LanguageTable> language;
    std::unique_ptr<ConfigModel> model;
    int windowsRead = 0;
    TempDevice device_;
};

// A manual profile, a time-schedule one and a calendar one, then the options,
// as the older program wrote them.
const char kThreeProfiles[] =
    "profile=0 name=\"-\" enabled=\"X eventType=0 timed=\"-00:30\" override=\"X volMaster=2 "
    "sndopt=\"-1X2\" ringtone0=\"X\\Windows\\Rings\\Bells.wav\" sndopt2=\"XX3---\" volume=\"X4-0X5\" "
    "radio=\"XO-\" rotate=1 reset=2 bright=\"X07\" timeout=\"X3X5-0X1\" push=\"O\" "
    "internet=\"{436EF144-B4FB-4863-A041-8F905A62C572}\" dropdatacall=1 runprogram=\"X\" "
    "program=\"\\Windows\\calc.exe\" parameter=\"-fast mode\"\r\n"
    "profileicon=\"X\" icon=\"\\Icons\\sun.png\"\r\n"
    "profile=1 name=\"Night\" enabled=\"- eventType=1 schedule0=\"XX-XXXX22:15\" schedule3=\"------X07:00\" "
    "show=\"- override=\"- volMaster=0 timeout=\"1234\" internet=\"{436EF144-B4FB-4863-A041-8F905A62C57}\"\r\n"
    "profile=2 name=\"Meeting\" enabled=\"X eventType=2 outlook=\"X-XX-\" category=\"-\" "
    "sensitivity=3\r\n"
    "Language=01 bklLevels=10 blmin=1 popupadd=\"X1-3\" popupcounters=\"X4X5-6X7\" "
    "tdypluginadd=\"XX-A---3\" layout=2 traybar=X taskbariconpos=120 popmnutype=1 thumbmenu=\"X\" "
    "skinned=\"X\" skin=\"\\Storage Card\\Skins\\Blue\\\" tdysound=\"-\" voicemail=\"+4930123\"\r\n";

TEST_F(LegacyConfigTest, FieldsOfEveryKindAreDecoded) {
    Parse(kThreeProfiles);
    ASSERT_EQ(model->profiles.count, 3);

    const Profile& manual = P(0);
    EXPECT_EQ(manual.name.View(), u"Default 0") << "a dash gives the slot's default name";
    EXPECT_TRUE(manual.enabled);
    EXPECT_FALSE(manual.timeoutSet);
    EXPECT_EQ(manual.timeout.View(), u"00:30") << "the time is taken whatever the flag";
    EXPECT_TRUE(manual.show) << "a manual profile is always shown";
    EXPECT_TRUE(manual.override);
    EXPECT_EQ(manual.volMaster, 2);
    // sndopt of four characters: two slots read, the other four reset.
    EXPECT_FALSE(manual.event_enabled[0]);
    EXPECT_EQ(manual.event_type[0], 1);
    EXPECT_TRUE(manual.event_enabled[1]);
    EXPECT_EQ(manual.event_type[1], 2);
    for (int s = 2; s < kSoundSlots; ++s) {
        EXPECT_FALSE(manual.event_enabled[s]);
        EXPECT_TRUE(manual.ringtone[s].Empty());
    }
    EXPECT_TRUE(manual.sound_control[0]);
    EXPECT_EQ(manual.ringtone[0].View(), u"\\Windows\\Rings\\Bells.wav");
    EXPECT_TRUE(manual.flash[0]);
    EXPECT_TRUE(manual.repeat[0]);
    EXPECT_EQ(manual.flash_time[0], 3);
    EXPECT_FALSE(manual.flash[1]);
    EXPECT_TRUE(manual.volume_enabled[0]);
    EXPECT_EQ(manual.volume[0], 4);
    EXPECT_FALSE(manual.volume_enabled[1]);
    EXPECT_EQ(manual.volume[2], 5);
    EXPECT_EQ(manual.radio[kRadioWifi], 1);
    EXPECT_EQ(manual.radio[kRadioBluetooth], 2);
    EXPECT_EQ(manual.radio[kRadioPhone], 0);
    EXPECT_EQ(manual.rotate, 1);
    EXPECT_EQ(manual.pda_power, 2);
    EXPECT_TRUE(manual.backlight_enabled);
    EXPECT_EQ(manual.backlight, 7);
    EXPECT_EQ(std::vector<int32_t>(manual.power_timeouts, manual.power_timeouts + 4), (std::vector<int32_t>{3, 5, 9, 1}));
    EXPECT_EQ(manual.push_email, 2);
    EXPECT_EQ(manual.network_GUID.View(), u"{436EF144-B4FB-4863-A041-8F905A62C572}");
    EXPECT_EQ(manual.data_call, 1);
    EXPECT_TRUE(manual.run_program);
    EXPECT_EQ(manual.program.View(), u"\\Windows\\calc.exe");
    EXPECT_EQ(manual.program_params.View(), u"-fast mode") << "the line's last character is the closing quote";
    EXPECT_TRUE(manual.icon_enabled);
    EXPECT_EQ(manual.profile_icon.View(), u"\\Icons\\sun.png");

    const Profile& night = P(1);
    EXPECT_EQ(night.name.View(), u"Night");
    EXPECT_FALSE(night.enabled);
    EXPECT_EQ(night.eventType, kEventTime);
    bool days0[7], days3[7];
    for (int d = 0; d < 7; ++d) days0[d] = night.schedule[d][0], days3[d] = night.schedule[d][3];
    EXPECT_EQ(std::vector<bool>(days0, days0 + 7), (std::vector<bool>{1, 1, 0, 1, 1, 1, 1}));
    EXPECT_EQ(std::vector<bool>(days3, days3 + 7), (std::vector<bool>{0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(night.time[0].View(), u"22:15");
    EXPECT_EQ(night.time[3].View(), u"07:00");
    EXPECT_FALSE(night.show);
    EXPECT_FALSE(night.override);
    EXPECT_EQ(std::vector<int32_t>(night.power_timeouts, night.power_timeouts + 4), (std::vector<int32_t>{1, 2, 3, 4}));
    EXPECT_TRUE(night.network_GUID.Empty()) << "37 characters are no destination";
    EXPECT_EQ(night.rotate, 3) << "absent";
    EXPECT_EQ(night.pda_power, 3);

    const Profile& meeting = P(2);
    EXPECT_EQ(meeting.eventType, kEventOutlook);
    EXPECT_EQ(std::vector<bool>(meeting.state, meeting.state + 5), (std::vector<bool>{1, 0, 1, 1, 0}));
    EXPECT_EQ(meeting.category.View(), u"(any)");
    EXPECT_EQ(meeting.sensitivity, 3);

    const Options& o = model->options;
    EXPECT_EQ(o.language, 1);
    EXPECT_EQ(o.bklLevels, 10);
    EXPECT_EQ(o.bklmin, 1);
    EXPECT_TRUE(model->popupSwitches[0].enabled);
    EXPECT_EQ(model->popupSwitches[0].type, 1);
    EXPECT_FALSE(model->popupSwitches[1].enabled);
    EXPECT_EQ(model->popupSwitches[1].type, 3);
    EXPECT_FALSE(model->popupSwitches[2].enabled) << "switches after a short value are reset";
    EXPECT_EQ(model->popupSwitches[2].type, 2);
    EXPECT_EQ(model->popupSwitches[4].type, 9);
    EXPECT_FALSE(model->popupCounters[2].enabled);
    EXPECT_EQ(model->popupCounters[3].type, 7);
    EXPECT_TRUE(model->todayItems[0].enabled);
    EXPECT_TRUE(model->todayItems[0].height);
    EXPECT_FALSE(model->todayItems[0].width);
    EXPECT_EQ(model->todayItems[0].type, 10);
    EXPECT_FALSE(model->todayItems[1].enabled);
    EXPECT_EQ(model->todayItems[1].type, 3);
    EXPECT_EQ(o.layout, 2);
    EXPECT_EQ(o.bar_icon, 1);
    EXPECT_EQ(o.taskbar_icon_pos, 120);
    EXPECT_EQ(o.menu_type, 1);
    EXPECT_TRUE(o.thumb_menu);
    EXPECT_TRUE(o.skin_enabled);
    EXPECT_EQ(o.skin.View(), u"\\Storage Card\\Skins\\Blue\\");
    EXPECT_FALSE(o.tdy_sound);
    EXPECT_EQ(o.voicemail.View(), u"+4930123");
}

TEST_F(LegacyConfigTest, AFieldAProfileLacksIsNotTakenFromTheNextProfile) {
    auto defaults = std::make_unique<ConfigModel>();
    ApplyDefaults(*defaults, *language, true);
    Parse("profile=0 name=\"A\" enabled=\"X eventType=0\r\n"
          "profile=1 name=\"B\" enabled=\"- eventType=3 show=\"X override=\"- volMaster=1 bright=\"X12\"\r\n");
    ASSERT_EQ(model->profiles.count, 2);
    EXPECT_EQ(P(0).volMaster, defaults->profiles.profiles[0].volMaster);
    EXPECT_EQ(P(0).backlight_enabled, defaults->profiles.profiles[0].backlight_enabled);
    EXPECT_EQ(P(1).volMaster, 1);
    EXPECT_EQ(P(1).backlight, 12);
    EXPECT_EQ(P(1).headphones, 2) << "absent: any headset state";
    EXPECT_TRUE(P(1).show);
}

TEST_F(LegacyConfigTest, EachProfileIsReadFromAWindowAtItsMarkerAndLongOnesDoNotHideTheNext) {
    std::string text = "junk before\r\nprofile=0 name=\"First\" eventType=0 program=\"";
    text += std::string(5000, 'x');  // longer than a window
    text += "\"\r\nprofile=1 name=\"Second\" eventType=0\r\nvoicemail=\"555\"\r\n";
    Parse(text);
    ASSERT_EQ(model->profiles.count, 2);
    EXPECT_EQ(P(0).name.View(), u"First");
    EXPECT_EQ(P(0).program.Length(), P(0).program.kCapacity - 1) << "cut to the field";
    EXPECT_EQ(P(1).name.View(), u"Second");
    EXPECT_EQ(model->options.voicemail.View(), u"555");
    EXPECT_GE(windowsRead, 3);
}

TEST_F(LegacyConfigTest, TextWithoutProfilesKeepsTheDefaultProfiles) {
    Parse("this is no configuration file");
    EXPECT_EQ(model->profiles.count, 5);
}

TEST_F(LegacyConfigTest, TheDeviceFileIsReadWithTheDefaultsAndSavedInTheCurrentLayout) {
    ASSERT_TRUE(plat::CreateDirectory(u"\\My Documents"));
    ASSERT_TRUE(plat::CreateDirectory(u"\\My Documents\\Korvel"));
    std::ofstream(plat::HostPath(u"\\My Documents\\Korvel\\Tallowd.ini"), std::ios::binary) << kThreeProfiles;
    ASSERT_FALSE(ReadConfiguration(false, *model, *language)) << "no version marker";
    ReadLegacyConfiguration(false, *model, *language);
    ASSERT_EQ(model->profiles.count, 3);
    EXPECT_EQ(P(1).name.View(), u"Night");
    EXPECT_TRUE(model->options.iconStore.View().find(u"Icon_store") != std::u16string_view::npos);

    ASSERT_TRUE(WriteConfiguration(false, {}, *model, *language));
    auto again = std::make_unique<ConfigModel>();
    ASSERT_TRUE(ReadConfiguration(false, *again, *language)) << "the save wrote the current layout";
    EXPECT_EQ(again->profiles.count, 3);
    EXPECT_EQ(again->profiles.profiles[1].time[0].View(), u"22:15");
    EXPECT_EQ(again->options.voicemail.View(), u"+4930123");

    // No file at all: the defaults with five profiles.
    ASSERT_TRUE(plat::DeleteFile(u"\\My Documents\\Korvel\\Tallowd.ini"));
    ASSERT_TRUE(plat::DeleteFile(u"\\My Documents\\Korvel\\Tallowd.bak"));
    ReadLegacyConfiguration(false, *model, *language);
    EXPECT_EQ(model->profiles.count, 5);
}

}  // namespace
