// The time-slot arithmetic of the weekly schedule.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/time_schedule.h"
#include "engine/wake_ups.h"
#include "engine_fixture.h"

namespace tlw::testing {
namespace {

plat::SystemTime At(const char* text) {
    plat::SystemTime t;
    EXPECT_TRUE(plat::ParseDeviceTime(text, &t));
    return t;
}

class TimeScheduleTest : public EngineTest {};

TEST_F(TimeScheduleTest, NextSlotCountsFromTenSecondsOnAndSecondFifteen) {
    AddTimeProfile(u"08:00");
    SlotChoice c = NextSlotToday(engine->model.profiles, At("2010-01-04T07:59:55"), false);
    ASSERT_EQ(c.profile, 0);  // now becomes 08:00:05; the slot starts 08:00:15
    EXPECT_EQ(c.start.hour, 8);
    EXPECT_EQ(c.start.second, 15);
    // Ten seconds later the slot has begun (08:00:15 is not after 08:00:15).
    EXPECT_EQ(NextSlotToday(engine->model.profiles, At("2010-01-04T08:00:05"), false).profile, kNoDecision);
    // From the minute's start (midnight rescheduling) the current minute's slot counts.
    EXPECT_EQ(NextSlotToday(engine->model.profiles, At("2010-01-04T08:00:40"), true).profile, 0);
}

TEST_F(TimeScheduleTest, TiesKeepTheFirstProfileAndDisabledOnesDoNotCount) {
    AddTimeProfile(u"09:00").enabled = false;
    AddTimeProfile(u"09:00");
    AddTimeProfile(u"09:00");
    AddTimeProfile(u"08:30").schedule[0][0] = false;  // not on Mondays
    EXPECT_EQ(NextSlotToday(engine->model.profiles, At("2010-01-04T07:00:00"), false).profile, 1);
    EXPECT_EQ(SlotInEffectNow(engine->model.profiles, At("2010-01-04T10:00:00")), 1);
}

TEST_F(TimeScheduleTest, InEffectFallsBackToYesterdaysLatestSlot) {
    Profile& night = AddTimeProfile(u"23:00");
    for (int day = 0; day < kWeekDays; ++day) night.schedule[day][0] = day == 6;  // Sundays only
    AddTimeProfile(u"07:00");
    // Monday 00:30: nothing today before 00:30, Sunday's 23:00 slot is in effect.
    EXPECT_EQ(SlotInEffectNow(engine->model.profiles, At("2010-01-04T00:30:00")), 0);
    // Monday 07:00:40: today's 07:00 slot.
    EXPECT_EQ(SlotInEffectNow(engine->model.profiles, At("2010-01-04T07:00:40")), 1);
    // Tuesday 06:59: Monday's slots, latest clock time first: only 07:00 is later than 06:59.
    EXPECT_EQ(SlotInEffectNow(engine->model.profiles, At("2010-01-05T06:59:00")), 1);
}

TEST_F(TimeScheduleTest, NothingInEffectWhenYesterdaysSlotIsEarlierThanNow) {
    Profile& early = AddTimeProfile(u"06:00");
    for (int day = 0; day < kWeekDays; ++day) early.schedule[day][0] = day == 6;
    EXPECT_EQ(SlotInEffectNow(engine->model.profiles, At("2010-01-04T07:00:00")), kNoDecision);
}

TEST_F(TimeScheduleTest, MidnightSlotAndMalformedTimes) {
    AddTimeProfile(u"00:00");
    AddTimeProfile(u"xx:yy");  // reads as 00:00 as well
    EXPECT_EQ(SlotInEffectNow(engine->model.profiles, At("2010-01-04T00:00:30")), 0);
    EXPECT_EQ(DayIndex(At("2010-01-03T12:00:00")), 6);  // Sunday
    EXPECT_EQ(DayIndex(At("2010-01-04T12:00:00")), 0);  // Monday
}

TEST_F(TimeScheduleTest, RescheduleKeepsOneMidnightAndOneSlotWakeUp) {
    AddTimeProfile(u"07:00");
    AddTimeProfile(u"22:00");
    SetClock("2010-01-04T06:00:00");
    RescheduleTimeWakeUps(*engine, false);
    RescheduleTimeWakeUps(*engine, false);
    EXPECT_EQ(WakeUps(), (std::vector<std::string>{"200@07:00:15", "16@00:00:01"}));
    SetClock("2010-01-04T23:00:00");
    RescheduleTimeWakeUps(*engine, false);
    EXPECT_EQ(WakeUps(), (std::vector<std::string>{"16@00:00:01"}));
}

// The handles of the engine's pending time wake-ups, in listing order.
std::vector<plat::NotificationHandle> TimeWakeUpHandles() {
    std::vector<plat::UserNotificationInfo> all;
    plat::ListUserNotifications(&all);
    std::vector<plat::NotificationHandle> out;
    for (const auto& n : all) out.push_back(n.handle);
    return out;
}

TEST_F(TimeScheduleTest, RescheduleLeavesPendingWakeUpsThatStayTheSame) {
    AddTimeProfile(u"07:00");
    Profile& evening = AddTimeProfile(u"22:00");
    SetClock("2010-01-04T06:00:00");
    RescheduleTimeWakeUps(*engine, false);
    std::vector<plat::NotificationHandle> first = TimeWakeUpHandles();
    ASSERT_EQ(first.size(), 2u);
    // The same day and schedule: the very same notifications stay pending.
    SetClock("2010-01-04T06:30:00");
    RescheduleTimeWakeUps(*engine, false);
    EXPECT_EQ(TimeWakeUpHandles(), first);
    // A changed next slot replaces only the slot's wake-up.
    evening.time[0] = u"06:45";
    RescheduleTimeWakeUps(*engine, false);
    EXPECT_EQ(WakeUps(), (std::vector<std::string>{"201@06:45:15", "16@00:00:01"}));
    std::vector<plat::NotificationHandle> second = TimeWakeUpHandles();
    EXPECT_NE(second[0], first[0]);
    EXPECT_EQ(second[1], first[1]);
    // A duplicate of a wanted wake-up (set by an older engine) goes; one stays.
    plat::SystemTime midnight;
    ASSERT_TRUE(plat::ParseDeviceTime("2010-01-05T00:00:01", &midnight));
    ASSERT_NE(ScheduleWakeUp(*engine, midnight, u"16"), 0u);
    RescheduleTimeWakeUps(*engine, false);
    EXPECT_EQ(WakeUps(), (std::vector<std::string>{"201@06:45:15", "16@00:00:01"}));
    // A day later both fall on other days: both are set anew, none is left over.
    std::vector<plat::NotificationHandle> third = TimeWakeUpHandles();
    SetClock("2010-01-05T06:00:00");
    RescheduleTimeWakeUps(*engine, false);
    EXPECT_EQ(WakeUps(), (std::vector<std::string>{"201@06:45:15", "16@00:00:01"}));
    std::vector<plat::NotificationHandle> fourth = TimeWakeUpHandles();
    ASSERT_EQ(fourth.size(), 2u);
    EXPECT_EQ(std::count(third.begin(), third.end(), fourth[0]) + std::count(third.begin(), third.end(), fourth[1]), 0);
}

}  // namespace
}  // namespace tlw::testing
