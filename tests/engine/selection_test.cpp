// The decision procedure's precedence between manual choice, the trigger
// kinds, the `override` flag and the lock.
#include <gtest/gtest.h>

#include "engine/engine_messages.h"
#include "engine_fixture.h"

namespace tlw::testing {
namespace {

class SelectionTest : public EngineTest {
protected:
    int32_t Running() { return ReadRunningProfile(); }
    // Makes profile i run as a manual choice.
    void RunManually(int32_t i) {
        Process(kParamManualBase + i);
        ASSERT_EQ(Running(), i);
        ASSERT_EQ(ReadManualProfile(), i);
    }
};

TEST_F(SelectionTest, NoProfilesEndsWithNoProfileAndUnlocks) {
    WriteLocked(true);
    Process(kParamReevaluate);
    EXPECT_EQ(Running(), kNoProfile);
    EXPECT_FALSE(ReadLocked());
    std::u16string name;
    ReadTallowinString(kRunningProfileNameValue, &name);
    EXPECT_EQ(name, u"---");
}

TEST_F(SelectionTest, TimeSlotAgainstManualNeedsOverride) {
    AddProfile(kEventManual);
    AddTimeProfile(u"07:00");
    AddTimeProfile(u"08:00", true);
    RunManually(0);
    Process(kParamTimeSlotBase + 1);
    EXPECT_EQ(Running(), 0);
    EXPECT_EQ(ReadManualProfile(), 0);
    Process(kParamTimeSlotBase + 2);
    EXPECT_EQ(Running(), 2);
    EXPECT_EQ(ReadManualProfile(), kNoProfile);  // the manual choice is cancelled
}

TEST_F(SelectionTest, TriggerKindsRankAgainstEachOther) {
    AddProfile(kEventOutlook);          // 0
    AddProfile(kEventPower);            // 1
    AddProfile(kEventLocation);         // 2
    AddProfile(kEventOutlook, true);    // 3
    AddProfile(kEventPower, true);      // 4

    // Power running: a calendar appointment needs override.
    fake.power = 1;
    Process(kParamPowerChange);
    ASSERT_EQ(Running(), 1);
    fake.calendar = 0;
    Process(kParamCalendarDue);
    EXPECT_EQ(Running(), 1);
    fake.calendar = 3;
    Process(kParamCalendarDue);
    EXPECT_EQ(Running(), 3);

    // Calendar running: a power profile needs override.
    fake.power = 1;
    Process(kParamPowerChange);
    EXPECT_EQ(Running(), 3);
    fake.power = 4;
    Process(kParamPowerChange);
    EXPECT_EQ(Running(), 4);

    // Power running: a location profile needs override.
    fake.location = 2;
    Process(kParamLocation);
    EXPECT_EQ(Running(), 4);
}

TEST_F(SelectionTest, LostTriggersFallBackToReducedEvaluations) {
    AddProfile(kEventPower);      // 0
    AddProfile(kEventLocation);   // 1
    AddTimeProfile(u"07:00");     // 2
    // Power lost (nothing found, no manual choice): evaluation without power.
    fake.power = 0;
    Process(kParamPowerChange);
    ASSERT_EQ(Running(), 0);
    fake.power = kNoDecision;
    Process(kParamPowerChange);
    EXPECT_EQ(Running(), 2);  // the time slot in effect

    // Location lost while a location profile runs: evaluation without location.
    fake.location = 1;
    Process(kParamLocation);
    ASSERT_EQ(Running(), 1);
    fake.power = 0;  // would win, but a 703 evaluation still consults power
    Process(kParamSkipLocation);
    EXPECT_EQ(Running(), 0);
}

TEST_F(SelectionTest, ReevaluationCancelsManualWhenTimeProfilesExist) {
    AddProfile(kEventManual);
    AddTimeProfile(u"07:00");
    RunManually(0);
    Process(kParamReevaluate);
    EXPECT_EQ(ReadManualProfile(), kNoProfile);
    EXPECT_EQ(Running(), 1);
}

TEST_F(SelectionTest, KeepManualEvaluationDropsACalendarProfile) {
    AddProfile(kEventManual);
    AddProfile(kEventOutlook, true);
    RunManually(0);
    fake.calendar = 1;
    Process(kParamKeepManual);
    EXPECT_EQ(Running(), 0);
    EXPECT_EQ(ReadManualProfile(), 0);
    Process(kParamReevaluate);  // a plain re-evaluation takes the calendar profile
    EXPECT_EQ(Running(), 1);
}

TEST_F(SelectionTest, WithoutTimeProfilesTheLastManualProfileReturns) {
    AddProfile(kEventManual);
    AddProfile(kEventManual);
    AddProfile(kEventPower);
    RunManually(1);
    fake.power = 2;
    engine->model.profiles.profiles[2].override = true;
    Process(kParamPowerChange);
    ASSERT_EQ(Running(), 2);
    fake.power = kNoDecision;
    Process(kParamReevaluate);
    EXPECT_EQ(Running(), 1);
    EXPECT_EQ(ReadManualProfile(), 1);
    // A stale index (the table shrank) is no profile.
    WriteLastManualProfile(7);
    WriteManualProfile(kNoProfile);
    Process(kParamReevaluate);
    EXPECT_EQ(Running(), kNoProfile);
}

TEST_F(SelectionTest, NestedEvaluationsSkipTheirTrigger) {
    AddProfile(kEventOutlook);  // 0
    AddProfile(kEventPower);    // 1
    AddProfile(kEventLocation); // 2
    fake = {0, 1, 2};
    Process(kParamSkipCalendar);
    EXPECT_EQ(Running(), 1);
    Process(kParamSkipPower);
    EXPECT_EQ(Running(), 0);
    fake.calendar = kNoDecision;
    Process(kParamCalendarChanged);  // calendar ended: 701 follows
    EXPECT_EQ(Running(), 1);
}

TEST_F(SelectionTest, LockKeepsTheRunningProfileAndRecordsManualChoices) {
    AddProfile(kEventManual);
    AddProfile(kEventManual);
    AddTimeProfile(u"07:00");
    RunManually(0);
    WriteLocked(true);
    Process(kParamManualBase + 1);
    EXPECT_EQ(ReadManualProfile(), 1);
    EXPECT_EQ(Running(), 0);
    Process(kParamTimeSlotBase + 2);
    EXPECT_EQ(Running(), 0);
    // Unlocking (command 925) re-evaluates.
    Command(925);
    EXPECT_FALSE(ReadLocked());
    EXPECT_NE(Running(), 0);
}

TEST_F(SelectionTest, LockOnActivationLocksAfterTheProfileRuns) {
    AddProfile(kEventManual).lockOnActivation = true;
    AddTimeProfile(u"07:00", true);
    Process(kParamManualBase);
    EXPECT_TRUE(ReadLocked());
    EXPECT_FALSE(engine->model.profiles.profiles[0].lockOnActivation);
    Process(kParamTimeSlotBase + 1);
    EXPECT_EQ(Running(), 0);
}

TEST_F(SelectionTest, IndexesPastTheTableChooseNothing) {
    AddProfile(kEventManual);
    Process(kParamManualBase + 42);
    EXPECT_EQ(ReadManualProfile(), kNoProfile);

    // A time slot of a profile the table does not hold (five profiles,
    // slot 50) leaves the running profile alone.
    AddTimeProfile(u"07:00");
    for (int i = 0; i < 3; ++i) AddProfile(kEventManual);
    Process(kParamReevaluate);
    ASSERT_EQ(Running(), 1);
    Process(kParamTimeSlotBase + 50);
    EXPECT_EQ(Running(), 1);
    Process(kParamTimeSlotBase + 5);  // just past the end
    EXPECT_EQ(Running(), 1);
    // Nor does it cancel a manual choice.
    RunManually(2);
    Process(kParamTimeSlotBase + 5);
    EXPECT_EQ(Running(), 2);
    EXPECT_EQ(ReadManualProfile(), 2);
    std::u16string name;
    ReadTallowinString(kRunningProfileNameValue, &name);
    EXPECT_EQ(name, u"P2");
}

}  // namespace
}  // namespace tlw::testing
