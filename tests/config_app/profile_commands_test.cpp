// The profile list's commands and the settings rules on a working
// configuration: limits, the "Moonquill" rules, the location list, the SIM
// PIN field and the Today presets.
#include <gtest/gtest.h>

#include <memory>

#include "common/config/defaults.h"
#include "config_app/config_app_state.h"
#include "config_app/profile_commands.h"
#include "config_app/settings_rules.h"

namespace tlw {
namespace {

class ProfileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        model_ = std::make_unique<ConfigModel>();
        language_ = std::make_unique<LanguageTable>();
        language_->text[kTextNewProfile] = u"New profile";
        language_->text[kTextCopiedProfile] = u"Copy profile";
        language_->text[kTextAnyCategory] = u"Any category";
        ApplyDefaults(*model_, *language_, true);
        const char16_t* names[] = {u"Silent", u"Night", u"Day", u"Car", u"Flight mode"};
        for (int i = 0; i < 5; ++i) model_->profiles.profiles[i].name = names[i];
    }
    Profile& P(int i) { return model_->profiles.profiles[i]; }
    void AddLocation(const char16_t* name, int32_t cell) {
        LocationTable& l = model_->locations;
        l.entries[l.count].name = name;
        l.entries[l.count].cell = cell;
        ++l.count;
    }

    std::unique_ptr<ConfigModel> model_;
    std::unique_ptr<LanguageTable> language_;
};

TEST_F(ProfileCommandsTest, NewProfileIsAPlainManualProfileBuiltFromTheSelection) {
    Profile& day = P(2);  // a time-schedule profile with an icon and sounds
    day.icon_enabled = true;
    day.profile_icon = u"\\icons\\day.png";
    day.event_enabled[1] = true;
    day.ringtone[1] = u"\\Windows\\Alarm1.wav";
    day.state[3] = true;
    day.timeoutSet = true;
    day.timeout = u"02:30";
    day.time[2] = u"18:45";
    day.radio[0] = 1;

    int32_t made = NewProfile(*model_, *language_, 2);
    ASSERT_EQ(made, 5);
    EXPECT_EQ(model_->profiles.count, 6);
    const Profile& p = P(made);
    EXPECT_EQ(p.name.View(), u"New profile");
    EXPECT_EQ(p.eventType, kEventManual);
    EXPECT_FALSE(p.enabled);
    EXPECT_TRUE(p.show);
    EXPECT_TRUE(p.override);
    EXPECT_FALSE(p.icon_enabled);
    EXPECT_TRUE(p.profile_icon.Empty());
    EXPECT_FALSE(p.state[3]);
    EXPECT_FALSE(p.timeoutSet);
    EXPECT_EQ(p.timeout.View(), u"00:01");
    for (int s = 0; s < kScheduleSlots; ++s) EXPECT_EQ(p.time[s].View(), u"00:00");
    for (int d = 0; d < kWeekDays; ++d) EXPECT_FALSE(p.schedule[d][0]) << "day " << d;
    EXPECT_FALSE(p.event_enabled[1]);
    EXPECT_TRUE(p.ringtone[1].Empty());
    EXPECT_EQ(p.category.View(), u"Any category");
    EXPECT_EQ(p.radio[0], 1) << "device settings come from the selected profile";
    EXPECT_EQ(P(2).time[2].View(), u"18:45") << "the source stays as it was";

    EXPECT_EQ(NewProfile(*model_, *language_, -1), 6) << "without a selection the first profile is the source";
}

TEST_F(ProfileCommandsTest, CopyKeepsTheSettingsButNotTheTriggerOrIcon) {
    P(2).icon_enabled = true;
    P(2).profile_icon = u"\\icons\\day.png";
    P(2).override = false;
    P(2).volume[1] = 3;
    int32_t made = CopyProfile(*model_, *language_, 2);
    ASSERT_EQ(made, 5);
    EXPECT_EQ(P(made).name.View(), u"Copy profile");
    EXPECT_EQ(P(made).eventType, kEventManual);
    EXPECT_FALSE(P(made).enabled);
    EXPECT_TRUE(P(made).show);
    EXPECT_FALSE(P(made).icon_enabled);
    EXPECT_TRUE(P(made).profile_icon.Empty());
    EXPECT_FALSE(P(made).override) << "override is kept for a profile that was not manual";
    EXPECT_EQ(P(made).volume[1], 3);
    EXPECT_EQ(P(made).time[0].View(), u"07:00");

    P(0).override = false;
    int32_t fromManual = CopyProfile(*model_, *language_, 0);
    EXPECT_TRUE(P(fromManual).override) << "a copy of a manual profile overrides";
    EXPECT_EQ(CopyProfile(*model_, *language_, -1), -1) << "nothing to copy";
}

TEST_F(ProfileCommandsTest, NewAndCopyStopAt99Profiles) {
    while (model_->profiles.count < kMaxCreatedProfiles) ASSERT_GE(NewProfile(*model_, *language_, 0), 0);
    EXPECT_EQ(model_->profiles.count, 99);
    EXPECT_EQ(NewProfile(*model_, *language_, 0), -1);
    EXPECT_EQ(CopyProfile(*model_, *language_, 0), -1);
    EXPECT_EQ(model_->profiles.count, 99);
}

TEST_F(ProfileCommandsTest, DeleteMovesTheFollowingProfilesUpAndStopsAtTwo) {
    EXPECT_EQ(DeleteProfile(*model_, 1), DeleteResult::kDeleted);
    EXPECT_EQ(model_->profiles.count, 4);
    EXPECT_EQ(P(1).name.View(), u"Day");
    EXPECT_EQ(P(3).name.View(), u"Flight mode");
    EXPECT_TRUE(P(4).name.Empty()) << "the freed entry is cleared";
    EXPECT_EQ(DeleteProfile(*model_, 9), DeleteResult::kNoSuchProfile);
    EXPECT_EQ(DeleteProfile(*model_, 0), DeleteResult::kDeleted);
    EXPECT_EQ(DeleteProfile(*model_, 0), DeleteResult::kDeleted);
    EXPECT_EQ(model_->profiles.count, 2);
    EXPECT_EQ(DeleteProfile(*model_, 0), DeleteResult::kTooFew);
    EXPECT_EQ(model_->profiles.count, 2);
    EXPECT_EQ(P(0).name.View(), u"Car");
}

TEST_F(ProfileCommandsTest, DeletingALocationProfileDropsOnlyItsPlaces) {
    P(3).eventType = kEventLocation;
    AddLocation(u"Car", 0x10001);
    AddLocation(u"Day", 0x10002);
    AddLocation(u"Car", 0x10003);
    AddLocation(u"Night", 0x10004);
    ASSERT_EQ(DeleteProfile(*model_, 3), DeleteResult::kDeleted);
    ASSERT_EQ(model_->locations.count, 2);
    EXPECT_EQ(model_->locations.entries[0].name.View(), u"Day");
    EXPECT_EQ(model_->locations.entries[0].cell, 0x10002);
    EXPECT_EQ(model_->locations.entries[1].name.View(), u"Night");
    EXPECT_TRUE(model_->locations.entries[2].name.Empty());

    P(0).eventType = kEventManual;
    AddLocation(u"Silent", 0x10005);  // a stale entry of a manual profile is not touched
    ASSERT_EQ(DeleteProfile(*model_, 0), DeleteResult::kDeleted);
    EXPECT_EQ(model_->locations.count, 3);
}

TEST_F(ProfileCommandsTest, MoonquillIsLockedInTheCustomLayoutElseItsSlotsAreDisabled) {
    P(4).name = kMoonquillName;
    for (TodayItem& t : model_->todayItems) t.enabled = true;
    model_->options.layout = kLayoutCustom;
    EXPECT_EQ(DeleteProfile(*model_, 4), DeleteResult::kMoonquillLocked);
    EXPECT_EQ(model_->profiles.count, 5);

    P(4).name = u"Moonlight";
    EXPECT_EQ(CompleteRename(*model_, 4, kMoonquillName), RenameResult::kMoonquillLocked);
    EXPECT_EQ(P(4).name.View(), kMoonquillName) << "the old name comes back";
    EXPECT_TRUE(model_->todayItems[14].enabled);

    model_->options.layout = kLayoutCompact;
    P(4).name = u"Moonlight";
    EXPECT_EQ(CompleteRename(*model_, 4, kMoonquillName), RenameResult::kRenamed);
    EXPECT_EQ(P(4).name.View(), u"Moonlight");
    for (int i = 0; i < kTodayItemCount; ++i) EXPECT_EQ(model_->todayItems[i].enabled, i < 10) << "slot " << i;

    for (TodayItem& t : model_->todayItems) t.enabled = true;
    P(3).name = kMoonquillName;
    EXPECT_EQ(DeleteProfile(*model_, 3), DeleteResult::kDeleted);
    for (int i = 0; i < kTodayItemCount; ++i) EXPECT_EQ(model_->todayItems[i].enabled, i < 10) << "slot " << i;
}

TEST_F(ProfileCommandsTest, RenameRefusesABlankNameAndCarriesLocationEntries) {
    P(1).name = u"   ";
    EXPECT_EQ(CompleteRename(*model_, 1, u"Night"), RenameResult::kEmpty);
    EXPECT_EQ(P(1).name.View(), u"Night");

    P(2).eventType = kEventLocation;
    AddLocation(u"Day", 1);
    AddLocation(u"Night", 2);
    P(2).name = u"Office";
    EXPECT_EQ(CompleteRename(*model_, 2, u"Day"), RenameResult::kRenamed);
    EXPECT_EQ(model_->locations.entries[0].name.View(), u"Office");
    EXPECT_EQ(model_->locations.entries[1].name.View(), u"Night");
}

TEST_F(ProfileCommandsTest, MoveSwapsWithTheNeighbourButNotBeyondTheEnds) {
    int32_t moved = -1;
    EXPECT_FALSE(MoveProfile(*model_, 0, -1, &moved));
    EXPECT_FALSE(MoveProfile(*model_, 4, 1, &moved));
    ASSERT_TRUE(MoveProfile(*model_, 0, 1, &moved));
    EXPECT_EQ(moved, 1);
    EXPECT_EQ(P(0).name.View(), u"Night");
    EXPECT_EQ(P(1).name.View(), u"Silent");
    ASSERT_TRUE(MoveProfile(*model_, 4, -1, &moved));
    EXPECT_EQ(moved, 3);
    EXPECT_EQ(P(3).name.View(), u"Flight mode");
}

TEST(SettingsRulesTest, SimPinOfFourToEightDigitsIsStoredAnythingElseIsNoPin) {
    bool refused = true;
    EXPECT_EQ(SimPinToStore(u"1234", &refused), u"1234");
    EXPECT_FALSE(refused);
    EXPECT_EQ(SimPinToStore(u"12345678", &refused), u"12345678");
    EXPECT_FALSE(refused);
    EXPECT_EQ(SimPinToStore(u"    ", &refused), u"    ");
    EXPECT_FALSE(refused) << "the empty field is no PIN, not a refusal";
    EXPECT_EQ(SimPinToStore(u"", &refused), u"    ");
    EXPECT_FALSE(refused);
    for (const char16_t* bad : {u"123", u"12a4", u"12 34", u"123456789", u"1234567890123"}) {
        EXPECT_EQ(SimPinToStore(bad, &refused), u"    ") << std::u16string_view(bad).size();
        EXPECT_TRUE(refused);
    }
}

TEST(SettingsRulesTest, LayoutPresetsReplaceTheSlotsAndTheThumbMenu) {
    auto model = std::make_unique<ConfigModel>();
    for (int i = 0; i < kTodayItemCount; ++i) model->todayItems[i] = {i % 2 == 0, 14 - i, true, false};
    model->options.thumb_menu = true;
    ApplyTodayPreset(*model, kLayoutCustom);
    EXPECT_EQ(model->todayItems[0].type, 14) << "the custom layout changes nothing";

    ApplyTodayPreset(*model, kLayoutCompact);
    EXPECT_FALSE(model->options.thumb_menu);
    const int32_t types[kTodayItemCount] = {0, 1, 2, 3, 8, 4, 5, 6, 7, 9, 10, 11, 12, 13, 8};
    for (int i = 0; i < kTodayItemCount; ++i) {
        const TodayItem& t = model->todayItems[i];
        EXPECT_EQ(t.type, types[i]) << "slot " << i;
        EXPECT_EQ(t.enabled, i <= 8) << "slot " << i;
        EXPECT_FALSE(t.height) << "slot " << i;
        bool wide = (i >= 5 && i <= 8) || (i >= 10 && i <= 13);
        EXPECT_EQ(t.width, wide) << "slot " << i;
    }
    ApplyTodayPreset(*model, kLayoutLargeSwitches);
    EXPECT_TRUE(model->options.thumb_menu);
    for (int i : {0, 1, 2, 3, 9}) {
        EXPECT_TRUE(model->todayItems[i].height && model->todayItems[i].width) << "slot " << i;
    }
    EXPECT_FALSE(model->todayItems[4].width);
}

TEST(SettingsRulesTest, SlotsMoveOnlyWithinTheEditableOnes) {
    auto model = std::make_unique<ConfigModel>();
    for (int i = 0; i < kTodayItemCount; ++i) model->todayItems[i].type = i;
    EXPECT_EQ(MoveTodaySlot(*model, 0, true, 10), -1);
    EXPECT_EQ(MoveTodaySlot(*model, 9, false, 10), -1) << "slot 11 is not editable with 10 slots";
    EXPECT_EQ(MoveTodaySlot(*model, 9, false, 15), 10);
    EXPECT_EQ(model->todayItems[10].type, 9);
    EXPECT_EQ(MoveTodaySlot(*model, 14, false, 15), -1);
    EXPECT_EQ(MoveTodaySlot(*model, 3, true, 10), 2);
    EXPECT_EQ(model->todayItems[2].type, 3);
    EXPECT_EQ(model->todayItems[3].type, 2);
}

}  // namespace
}  // namespace tlw
