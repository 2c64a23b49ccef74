// The profile editor: its session (accept keeps, back restores everything),
// the rows each tab shows with their read-only rules, and the values rows
// write into the profile.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "common/config/defaults.h"
#include "config_app/editor_rows.h"
#include "config_app/profile_editor.h"

namespace tlw {
namespace {

class ProfileEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        language_ = std::make_unique<LanguageTable>();
        language_->text[kTextAnyCategory] = u"Any category";
        model_ = std::make_unique<ConfigModel>();
        ApplyDefaults(*model_, *language_, true);
        sources_.anyCategory = u"Any category";
        sources_.sounds.names = {u"Windows predet.wav", u"Ring.mid", u"Alarm1.wav"};
    }
    Profile& P(int i) { return model_->profiles.profiles[i]; }
    std::vector<EditorRow> Rows() { return BuildEditorRows(editor_, *model_, sources_); }
    // The first row of the current tab that edits field (index).
    EditorRow RowOf(EditorField field, int index = 0) {
        for (const EditorRow& r : Rows())
            if (r.field == field && r.index == index) return r;
        ADD_FAILURE() << "no row " << static_cast<int>(field) << "/" << index;
        return {};
    }
    bool Has(EditorField field) {
        auto rows = Rows();
        return std::any_of(rows.begin(), rows.end(), [&](const EditorRow& r) { return r.field == field; });
    }
    int ChoiceIndex(const EditorRow& row, int32_t value) {
        for (size_t i = 0; i < row.choices.size(); ++i)
            if (row.choices[i].value == value) return static_cast<int>(i);
        return -1;
    }
    bool Choose(EditorField field, int32_t storedValue, int index = 0) {
        EditorRow row = RowOf(field, index);
        EditorValue v;
        v.value = ChoiceIndex(row, storedValue);
        return WriteEditorRow(&P(editor_.profile), row, v);
    }
    bool Set(EditorField field, int32_t value, int index = 0, bool check = false) {
        EditorValue v;
        v.value = value;
        v.check = check;
        return WriteEditorRow(&P(editor_.profile), RowOf(field, index), v);
    }

    std::unique_ptr<LanguageTable> language_;
    std::unique_ptr<ConfigModel> model_;
    ProfileEditor editor_;
    EditorSources sources_;
};

TEST_F(ProfileEditorTest, BackAfterEditsOnEveryTabRestoresEveryProfileAndLocation) {
    model_->locations.count = 1;
    model_->locations.entries[0].name = u"Car";
    model_->locations.entries[0].cell = 77;
    auto before = std::make_unique<ConfigModel>(*model_);
    ASSERT_TRUE(OpenProfileEditor(&editor_, *model_, 2));

    ASSERT_TRUE(Choose(EditorField::kEventType, kEventTime));
    ASSERT_TRUE(Set(EditorField::kScheduleTime, 8 * 60 + 30, 1));
    StepEditorTab(&editor_, +1);
    ASSERT_TRUE(Set(EditorField::kVolume, 3, 0, true));
    StepEditorTab(&editor_, +1);
    ASSERT_TRUE(Choose(EditorField::kRadio, 0, kRadioPhone));
    StepEditorTab(&editor_, +1);
    ASSERT_TRUE(Choose(EditorField::kPowerTimeout, 4, 3));
    StepEditorTab(&editor_, +1);
    EditorValue program;
    program.check = true;
    program.text = u"\\Windows\\tlwprog.exe";
    ASSERT_TRUE(WriteEditorRow(&P(2), RowOf(EditorField::kRunProgram), program));
    model_->locations.count = 0;
    ASSERT_EQ(P(2).time[1].View(), u"08:30");

    BackProfileEditor(&editor_, model_.get());
    EXPECT_FALSE(editor_.open);
    ASSERT_EQ(model_->profiles.count, before->profiles.count);
    const Profile& p = P(2);
    const Profile& b = before->profiles.profiles[2];
    EXPECT_EQ(p.eventType, b.eventType);
    EXPECT_EQ(p.time[1].View(), b.time[1].View());
    EXPECT_EQ(p.volume[0], b.volume[0]);
    EXPECT_EQ(p.radio[kRadioPhone], b.radio[kRadioPhone]);
    EXPECT_EQ(p.power_timeouts[3], b.power_timeouts[3]);
    EXPECT_EQ(p.run_program, b.run_program);
    EXPECT_TRUE(p.program.Empty());
    EXPECT_EQ(model_->locations.count, 1);
    EXPECT_EQ(model_->locations.entries[0].cell, 77);
}

TEST_F(ProfileEditorTest, AcceptKeepsEditsAndTellsWhetherAnythingChanged) {
    ASSERT_TRUE(OpenProfileEditor(&editor_, *model_, 0));
    EXPECT_FALSE(AcceptProfileEditor(&editor_, *model_));
    ASSERT_TRUE(OpenProfileEditor(&editor_, *model_, 0));
    EXPECT_EQ(editor_.tab, kTabTrigger);
    EXPECT_EQ(editor_.soundEvent, 0);
    editor_.tab = kTabProgram;
    ASSERT_TRUE(Choose(EditorField::kRotate, 1));
    EXPECT_TRUE(AcceptProfileEditor(&editor_, *model_));
    EXPECT_EQ(P(0).rotate, 1);
    EXPECT_FALSE(OpenProfileEditor(&editor_, *model_, model_->profiles.count));
}

TEST_F(ProfileEditorTest, TabsAndSoundEventsWrapAround) {
    ASSERT_TRUE(OpenProfileEditor(&editor_, *model_, 0));
    StepEditorTab(&editor_, -1);
    EXPECT_EQ(editor_.tab, kTabProgram);
    StepEditorTab(&editor_, +1);
    EXPECT_EQ(editor_.tab, kTabTrigger);
    StepSoundEvent(&editor_, -1);
    EXPECT_EQ(editor_.soundEvent, 5);
    EXPECT_EQ(NeighbourIndex(4, +1, 5), 0);
}

TEST_F(ProfileEditorTest, TriggerRowsFollowTheTypeAndTheManualRules) {
    ASSERT_TRUE(OpenProfileEditor(&editor_, *model_, 0));  // manual
    EXPECT_EQ(RowOf(EditorField::kEventType).choices.size(), 4u);  // no location without the radio library
    EXPECT_TRUE(RowOf(EditorField::kOverride).readOnly);
    EXPECT_FALSE(Set(EditorField::kOverride, 0));
    EXPECT_TRUE(P(0).override);
    EXPECT_TRUE(RowOf(EditorField::kTimeout).readOnly);
    ASSERT_TRUE(Set(EditorField::kTimeoutSet, 1));
    ASSERT_TRUE(Set(EditorField::kTimeout, 95));
    EXPECT_EQ(P(0).timeout.View(), u"01:35");
    EXPECT_FALSE(Set(EditorField::kTimeout, 24 * 60));

    sources_.locationOffered = true;
    EXPECT_EQ(RowOf(EditorField::kEventType).choices.size(), 5u);
    ASSERT_TRUE(Choose(EditorField::kEventType, kEventTime));
    EXPECT_FALSE(RowOf(EditorField::kOverride).readOnly);
    EXPECT_FALSE(Has(EditorField::kTimeout));
    ASSERT_TRUE(Set(EditorField::kScheduleDay, 1, 2 * kWeekDays + 6));  // slot 2, Sunday
    EXPECT_TRUE(P(0).schedule[6][2]);

    ASSERT_TRUE(Choose(EditorField::kEventType, kEventPower));
    EXPECT_TRUE(RowOf(EditorField::kAsPower, 2).readOnly);
    ASSERT_TRUE(Set(EditorField::kAsPower, 1, 0));
    EXPECT_FALSE(RowOf(EditorField::kAsPower, 2).readOnly);
}

TEST_F(ProfileEditorTest, CalendarCategoryOffersAnyTheDevicesAndAStoredOne) {
    P(1).eventType = kEventOutlook;
    P(1).category = u"Holiday";
    sources_.categories = {u"Business", u"Personal"};
    ASSERT_TRUE(OpenProfileEditor(&editor_, *model_, 1));
    EditorRow row = RowOf(EditorField::kCategory);
    ASSERT_EQ(row.choices.size(), 4u);
    EXPECT_EQ(row.choices[0].text, u"Any category");
    EXPECT_EQ(ReadEditorRow(P(1), model_->locations, row, sources_).value, 3);
    EditorValue v;
    v.value = 1;
    ASSERT_TRUE(WriteEditorRow(&P(1), row, v));
    EXPECT_EQ(P(1).category.View(), u"Business");
    EXPECT_EQ(RowOf(EditorField::kSensitivity).choices[0].label, kTextAnyCategory);
}

TEST_F(ProfileEditorTest, SoundRowsAreReadOnlyUnlessNormalModeAndEventEnabled) {
    ASSERT_TRUE(OpenProfileEditor(&editor_, *model_, 0));  // volMaster 0
    editor_.tab = kTabSounds;
    EXPECT_TRUE(RowOf(EditorField::kVolume, 1).readOnly);
    EXPECT_TRUE(RowOf(EditorField::kEventEnabled, 0).readOnly);
    ASSERT_TRUE(Choose(EditorField::kVolMaster, 2));
    EXPECT_FALSE(RowOf(EditorField::kVolume, 1).readOnly);
    EXPECT_FALSE(RowOf(EditorField::kEventEnabled, 0).readOnly);
    EXPECT_TRUE(RowOf(EditorField::kSoundFile, 0).readOnly);
    EXPECT_EQ(RowOf(EditorField::kEventStyle, 0).choices.size(), 8u);

    editor_.soundEvent = 3;
    ASSERT_TRUE(Set(EditorField::kEventEnabled, 1, 3));
    EXPECT_FALSE(RowOf(EditorField::kSoundFile, 3).readOnly);
    EXPECT_EQ(RowOf(EditorField::kEventStyle, 3).choices.size(), 7u);
    ASSERT_TRUE(Set(EditorField::kSoundFile, 2, 3));
    EXPECT_EQ(P(0).ringtone[3].View(), u"Alarm1.wav");
    EXPECT_TRUE(P(0).sound_control[3]);
    ASSERT_TRUE(Set(EditorField::kFlash, 7, 3, true));
    EXPECT_TRUE(P(0).flash[3]);
    EXPECT_EQ(P(0).flash_time[3], 7);
    EXPECT_FALSE(Set(EditorField::kVolume, 6, 0, true));  // above the slider's range

    P(0).ringtone[3] = u"Gone.wav";  // a file the device no longer offers
    EXPECT_EQ(ReadEditorRow(P(0), model_->locations, RowOf(EditorField::kSoundFile, 3), sources_).value, 0);
}

TEST_F(ProfileEditorTest, RadioRowsOfferTheirValuesAndKeepStoredOnes) {
    P(3).radio[kRadioBluetooth] = 3;
    ASSERT_TRUE(OpenProfileEditor(&editor_, *model_, 3));
    editor_.tab = kTabRadios;
    EditorRow wifi = RowOf(EditorField::kRadio, kRadioWifi);
    EditorRow bt = RowOf(EditorField::kRadio, kRadioBluetooth);
    EditorRow phone = RowOf(EditorField::kRadio, kRadioPhone);
    EXPECT_EQ(wifi.choices.size(), 3u);
    ASSERT_EQ(bt.choices.size(), 4u);
    EXPECT_EQ(bt.choices[3].label, 325);
    EXPECT_EQ(ReadEditorRow(P(3), model_->locations, bt, sources_).value, 3);
    ASSERT_EQ(phone.choices.size(), 6u);
    EXPECT_EQ(phone.choices[5].label, 328);
    EditorRow push = RowOf(EditorField::kPushEmail);
    ASSERT_EQ(push.choices.size(), 10u);
    EXPECT_EQ(push.choices[2].label, 307);
    EXPECT_EQ(push.choices[3].label, 341);

    // The network: no selection, then the four destinations.
    EXPECT_EQ(ReadEditorRow(P(3), model_->locations, RowOf(EditorField::kNetwork), sources_).value, 0);
    ASSERT_TRUE(Set(EditorField::kNetwork, 2));
    EXPECT_EQ(P(3).network_GUID.View(), u"{A1182988-0D73-439E-87AD-2A5B369F808B}");
    ASSERT_TRUE(Set(EditorField::kNetwork, 0));
    EXPECT_TRUE(P(3).network_GUID.Empty());
}

TEST_F(ProfileEditorTest, PowerTimeoutsKeepTheUnchangedCodeOnOffer) {
    ASSERT_TRUE(OpenProfileEditor(&editor_, *model_, 0));
    editor_.tab = kTabPower;
    EditorRow t = RowOf(EditorField::kPowerTimeout, 0);
    ASSERT_EQ(t.choices.size(), 10u);
    EXPECT_EQ(t.choices[8].label, 343);
    EXPECT_EQ(ReadEditorRow(P(0), model_->locations, t, sources_).value, 9);  // the default, 9
    ASSERT_TRUE(Choose(EditorField::kPowerTimeout, 2, 0));
    ASSERT_TRUE(Choose(EditorField::kPowerTimeout, 9, 0));
    EXPECT_EQ(P(0).power_timeouts[0], 9);
    model_->options.bklLevels = 10;
    EXPECT_EQ(RowOf(EditorField::kBacklight).maximum, 10);
    EXPECT_FALSE(Set(EditorField::kBacklight, 11, 0, true));
    ASSERT_TRUE(Set(EditorField::kBacklight, 7, 0, true));
    EXPECT_TRUE(P(0).backlight_enabled);
}

TEST_F(ProfileEditorTest, ProgramRowsAreReadOnlyUntilAProgramRuns) {
    ASSERT_TRUE(OpenProfileEditor(&editor_, *model_, 0));
    editor_.tab = kTabProgram;
    EXPECT_TRUE(RowOf(EditorField::kProgramParams).readOnly);
    EXPECT_TRUE(RowOf(EditorField::kCloseProgram).readOnly);
    EditorValue run;
    run.check = true;
    run.text = u"\\Windows\\tlwprog.exe";
    ASSERT_TRUE(WriteEditorRow(&P(0), RowOf(EditorField::kRunProgram), run));
    EXPECT_FALSE(RowOf(EditorField::kProgramParams).readOnly);
    EditorValue params;
    params.text = std::u16string(127, u'p');  // one more than the field holds
    EXPECT_FALSE(WriteEditorRow(&P(0), RowOf(EditorField::kProgramParams), params));
    params.text = u"-quiet";
    ASSERT_TRUE(WriteEditorRow(&P(0), RowOf(EditorField::kProgramParams), params));
    EXPECT_EQ(P(0).program_params.View(), u"-quiet");
}

TEST(TimeText, ParsesAndFormatsHoursAndMinutes) {
    EXPECT_EQ(MinutesOfTimeText(u"07:05"), 425);
    EXPECT_EQ(MinutesOfTimeText(u"23:59"), 1439);
    for (std::u16string bad : {u"24:00", u"7:05", u"07-05", u"07:60", u"", u"ab:cd"})
        EXPECT_EQ(MinutesOfTimeText(bad), -1);
    EXPECT_EQ(TimeTextOfMinutes(425), u"07:05");
    EXPECT_EQ(TimeTextOfMinutes(0), u"00:00");
}

}  // namespace
}  // namespace tlw
