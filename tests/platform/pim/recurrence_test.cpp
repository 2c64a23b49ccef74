// Recurring appointments: the occurrences each pattern gives (month ends,
// leap days, weeks, counts and end dates, the horizon), the patterns refused,
// and the calendar store listing a series as its occurrences among the other
// items.
#include "platform/pim/recurrence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/kernel/last_error.h"
#include "platform/pim/appointment.h"
#include "platform/pim/calendar_store.h"
#include "support/run_program.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

SystemTime At(const std::string& text) {
    SystemTime t;
    EXPECT_TRUE(ParseDeviceTime(text.c_str(), &t)) << text;
    return t;
}

Appointment Series(const char* start, const char* end, int32_t type, int32_t interval = 1) {
    Appointment a;
    a.oid = 7;
    a.subject = u"series";
    a.start = At(start);
    a.end = At(end);
    a.isRecurring = true;
    a.recurrence.type = type;
    a.recurrence.interval = interval;
    return a;
}

// The occurrences' starts and ends, "START/END" each.
std::vector<std::string> Occurrences(const Appointment& series, const char* horizon = "2030-01-01T00:00:00") {
    std::vector<Appointment> out;
    ExpandOccurrences(series, At(horizon), &out);
    std::vector<std::string> text;
    for (const Appointment& a : out) {
        EXPECT_EQ(a.oid, series.oid);
        EXPECT_EQ(a.subject, series.subject);
        text.push_back(FormatDeviceTime(a.start) + "/" + FormatDeviceTime(a.end));
    }
    return text;
}

// Just the start days, YYYY-MM-DD each.
std::vector<std::string> Days(const Appointment& series, const char* horizon = "2030-01-01T00:00:00") {
    std::vector<std::string> days;
    for (const std::string& o : Occurrences(series, horizon)) days.push_back(o.substr(0, 10));
    return days;
}

TEST(Recurrence, DailyKeepsTimeAndLengthAcrossMidnightAndStopsAtTheCount) {
    Appointment night = Series("2010-01-30T23:00:00", "2010-01-31T01:30:00", kRecursDaily, 2);
    night.recurrence.occurrences = 3;
    EXPECT_EQ(Occurrences(night), (std::vector<std::string>{"2010-01-30T23:00:00/2010-01-31T01:30:00",
                                                            "2010-02-01T23:00:00/2010-02-02T01:30:00",
                                                            "2010-02-03T23:00:00/2010-02-04T01:30:00"}));
}

TEST(Recurrence, WeeklyOnDaysStartsOnTheStartDayAndEndsOnTheEndDateIncluded) {
    // Starts on a Wednesday: the Monday before it is not an occurrence.
    Appointment meeting = Series("2010-01-06T10:00:00", "2010-01-06T11:00:00", kRecursWeekly);
    meeting.recurrence.daysOfWeek = kDayMonday | kDayWednesday;
    meeting.recurrence.hasEndDate = true;
    meeting.recurrence.patternEnd = At("2010-01-18T00:00:00");  // a Monday, which still counts
    EXPECT_EQ(Days(meeting), (std::vector<std::string>{"2010-01-06", "2010-01-11", "2010-01-13", "2010-01-18"}));

    // Every second week, Sunday and Saturday (weeks begin on Sunday).
    Appointment fortnight = Series("2010-01-03T09:00:00", "2010-01-03T09:15:00", kRecursWeekly, 2);
    fortnight.recurrence.daysOfWeek = kDaySunday | kDaySaturday;
    fortnight.recurrence.occurrences = 5;
    EXPECT_EQ(Days(fortnight),
              (std::vector<std::string>{"2010-01-03", "2010-01-09", "2010-01-17", "2010-01-23", "2010-01-31"}));

    // Without days, the start's weekday.
    Appointment plain = Series("2010-01-07T09:00:00", "2010-01-07T10:00:00", kRecursWeekly);
    plain.recurrence.occurrences = 2;
    EXPECT_EQ(Days(plain), (std::vector<std::string>{"2010-01-07", "2010-01-14"}));
}

TEST(Recurrence, MonthlyAndYearlyFallOnTheLastDayOfShorterMonths) {
    Appointment rent = Series("2011-12-31T08:00:00", "2011-12-31T08:30:00", kRecursMonthly);
    rent.recurrence.occurrences = 5;
    EXPECT_EQ(Days(rent),
              (std::vector<std::string>{"2011-12-31", "2012-01-31", "2012-02-29", "2012-03-31", "2012-04-30"}));

    Appointment quarterly = Series("2010-01-30T08:00:00", "2010-01-30T08:30:00", kRecursMonthly, 3);
    quarterly.recurrence.hasEndDate = true;
    quarterly.recurrence.patternEnd = At("2011-01-29T00:00:00");
    EXPECT_EQ(Days(quarterly), (std::vector<std::string>{"2010-01-30", "2010-04-30", "2010-07-30", "2010-10-30"}));

    Appointment leap = Series("2008-02-29T12:00:00", "2008-02-29T13:00:00", kRecursYearly);
    leap.recurrence.occurrences = 5;
    EXPECT_EQ(Days(leap),
              (std::vector<std::string>{"2008-02-29", "2009-02-28", "2010-02-28", "2011-02-28", "2012-02-29"}));
}

TEST(Recurrence, ADeletedOccurrenceIsLeftOutButKeepsItsPlaceInTheCount) {
    Appointment standup = Series("2010-01-04T09:00:00", "2010-01-04T09:15:00", kRecursDaily);
    standup.recurrence.occurrences = 4;
    standup.recurrence.deleted = {At("2010-01-05T00:00:00"), At("2010-01-09T00:00:00")};
    EXPECT_EQ(Days(standup), (std::vector<std::string>{"2010-01-04", "2010-01-06", "2010-01-07"}));
    EXPECT_TRUE(HasOccurrenceOn(standup, At("2010-01-06T18:00:00")));
    EXPECT_FALSE(HasOccurrenceOn(standup, At("2010-01-05T00:00:00")));  // deleted
    EXPECT_FALSE(HasOccurrenceOn(standup, At("2010-01-08T00:00:00")));  // past the count
    EXPECT_FALSE(HasOccurrenceOn(standup, At("2010-01-03T00:00:00")));  // before the start
}

TEST(Recurrence, ASeriesWithoutEndIsCutAtTheHorizon) {
    Appointment daily = Series("2010-01-01T09:00:00", "2010-01-01T10:00:00", kRecursDaily);
    EXPECT_EQ(Days(daily, "2010-01-04T09:00:00"), (std::vector<std::string>{"2010-01-01", "2010-01-02", "2010-01-03"}));
    EXPECT_EQ(Days(daily, "2010-01-04T09:00:01").size(), 4u);
    EXPECT_TRUE(Days(daily, "2009-12-31T00:00:00").empty());
    // A single appointment has no occurrences of its own.
    daily.isRecurring = false;
    EXPECT_TRUE(Days(daily).empty());
}

TEST(Recurrence, PatternsThatCannotBeStoredAreRefusedWithAReason) {
    auto problem = [](void (*change)(Appointment&)) {
        Appointment a = Series("2010-01-06T10:00:00", "2010-01-06T11:00:00", kRecursDaily);
        change(a);
        return CheckRecurrence(a);
    };
    EXPECT_TRUE(problem([](Appointment&) {}).empty());
    EXPECT_FALSE(problem([](Appointment& a) { a.recurrence.type = 3; }).empty());
    EXPECT_FALSE(problem([](Appointment& a) { a.recurrence.interval = 0; }).empty());
    EXPECT_FALSE(problem([](Appointment& a) { a.recurrence.interval = 1000; }).empty());
    EXPECT_FALSE(problem([](Appointment& a) { a.recurrence.daysOfWeek = kDayMonday; }).empty());  // not weekly
    EXPECT_FALSE(problem([](Appointment& a) {
                     a.recurrence.type = kRecursWeekly;
                     a.recurrence.daysOfWeek = 0x80;
                 }).empty());
    EXPECT_FALSE(problem([](Appointment& a) {
                     a.recurrence.occurrences = 2;
                     a.recurrence.hasEndDate = true;
                     a.recurrence.patternEnd = a.start;
                 }).empty());
    EXPECT_FALSE(problem([](Appointment& a) {
                     a.recurrence.hasEndDate = true;
                     a.recurrence.patternEnd = At("2010-01-05T23:59:59");
                 }).empty());
    // The store refuses them too, and keeps nothing.
    TempDevice device;
    Appointment bad = Series("2010-01-06T10:00:00", "2010-01-06T11:00:00", kRecursDaily, 0);
    int64_t oid = 0;
    EXPECT_EQ(PimAddAppointment(bad, &oid), kErrorInvalidParameter);
    std::vector<Appointment> all;
    ASSERT_EQ(PimListAppointments(&all), kErrorSuccess);
    EXPECT_TRUE(all.empty());

    uint32_t days = 0;
    EXPECT_TRUE(ParseDaysOfWeek("mo,We,SU", &days));
    EXPECT_EQ(days, kDaySunday | kDayMonday | kDayWednesday);
    EXPECT_EQ(FormatDaysOfWeek(days), "Su,Mo,We");
    for (const char* wrong : {"", "Mo,", "Mon", "Mo,Mo", "Xx"}) EXPECT_FALSE(ParseDaysOfWeek(wrong, &days)) << wrong;
}

class RecurringItemsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(UseVirtualClock(At("2010-01-11T08:00:00"))); }
    void TearDown() override { UseDeviceClock(); }
    // Subject and start of each item the find walks, in order.
    std::vector<std::string> Walk(const char16_t* restriction, bool include) {
        PimSession session;
        PimFolder folder;
        PimItems items;
        EXPECT_TRUE(PimLogOn(&session, {}));
        EXPECT_TRUE(PimGetDefaultFolder(&session, kPimFolderCalendar, &folder));
        EXPECT_TRUE(PimGetItems(folder, &items));
        EXPECT_TRUE(PimSortItems(&items, u"[Start]", false));
        PimIncludeRecurrences(&items, include);
        std::vector<std::string> out;
        Appointment a;
        for (bool have = PimFindItem(&items, restriction, &a); have && out.size() < 20; have = PimFindNextItem(&items, &a))
            out.push_back(tlw::Utf16ToUtf8(a.subject) + " " + FormatDeviceTime(a.start) + "-" +
                          FormatDeviceTime(a.end).substr(11));
        PimLogOff(&session);
        return out;
    }
    TempDevice device_;
};

TEST_F(RecurringItemsTest, OccurrencesTakeTheirPlaceByStartAndMeetTheRestrictionByTheirOwnTimes) {
    Appointment meeting = Series("2010-01-04T10:00:00", "2010-01-04T11:00:00", kRecursWeekly);
    meeting.subject = u"Meeting";
    meeting.recurrence.hasEndDate = true;
    meeting.recurrence.patternEnd = At("2010-01-25T00:00:00");
    int64_t oid = 0;
    ASSERT_EQ(PimAddAppointment(meeting, &oid), kErrorSuccess);
    Appointment single;
    single.subject = u"Dentist";
    single.start = At("2010-01-12T09:00:00");
    single.end = At("2010-01-12T09:30:00");
    ASSERT_EQ(PimAddAppointment(single, &oid), kErrorSuccess);

    // Day 40189 is 11 January 2010: the first week's occurrence has ended.
    const char16_t* fromToday = u"[AllDayEvent] = FALSE and [End] >= \"<40189\"";
    EXPECT_EQ(Walk(fromToday, true),
              (std::vector<std::string>{"Meeting 2010-01-11T10:00:00-11:00:00", "Dentist 2010-01-12T09:00:00-09:30:00",
                                        "Meeting 2010-01-18T10:00:00-11:00:00", "Meeting 2010-01-25T10:00:00-11:00:00"}));
    // Without recurrences the series is one item, with its first start.
    EXPECT_EQ(Walk(u"", false),
              (std::vector<std::string>{"Meeting 2010-01-04T10:00:00-11:00:00", "Dentist 2010-01-12T09:00:00-09:30:00"}));
    EXPECT_EQ(Walk(fromToday, false), (std::vector<std::string>{"Dentist 2010-01-12T09:00:00-09:30:00"}));

    // The pattern is stored with the appointment, changed with it and goes with it.
    std::vector<Appointment> all;
    ASSERT_EQ(PimListAppointments(&all), kErrorSuccess);
    ASSERT_EQ(all.size(), 2u);
    ASSERT_TRUE(all[0].isRecurring);
    EXPECT_EQ(all[0].recurrence.type, kRecursWeekly);
    EXPECT_EQ(FormatDeviceTime(all[0].recurrence.patternEnd), "2010-01-25T00:00:00");
    EXPECT_FALSE(all[1].isRecurring);
    Appointment changed = all[0];
    changed.recurrence = RecurrencePattern{};
    changed.recurrence.type = kRecursDaily;
    changed.recurrence.occurrences = 9;
    ASSERT_EQ(PimChangeAppointment(changed), kErrorSuccess);
    // Daily, 9 times from 4 January: the ninth is on the 12th.
    EXPECT_EQ(Walk(u"[Start] >= \"2010-01-12T00:00:00\"", true),
              (std::vector<std::string>{"Dentist 2010-01-12T09:00:00-09:30:00", "Meeting 2010-01-12T10:00:00-11:00:00"}));
    changed.isRecurring = false;
    ASSERT_EQ(PimChangeAppointment(changed), kErrorSuccess);
    EXPECT_EQ(Walk(u"", true).size(), 2u);
    ASSERT_EQ(PimDeleteAppointment(changed.oid), kErrorSuccess);
    EXPECT_EQ(Walk(u"", true), (std::vector<std::string>{"Dentist 2010-01-12T09:00:00-09:30:00"}));
}

TEST_F(RecurringItemsTest, ConsoleAddsAndListsThePattern) {
    std::string dir = device_.Root().string();
    ProgramResult added = TlwsimCommand("cal", dir, {"add", "2010-01-06T10:00:00", "2010-01-06T11:00:00",
                                                     "subject=Team", "repeat=weekly", "days=Mo,We", "until=2010-02-01"});
    ASSERT_EQ(added.exitCode, 0);
    ASSERT_EQ(TlwsimCommand("cal", dir, {"add", "2010-01-31T08:00:00", "2010-01-31T08:30:00", "subject=Rent",
                                         "repeat=monthly", "every=2", "count=3"})
                  .exitCode,
              0);
    EXPECT_EQ(TlwsimCommand("cal", dir, {"list"}).output,
              "1 2010-01-06T10:00:00 2010-01-06T11:00:00 busy=2 meeting=0 sensitivity=0 allday=0 categories= "
              "repeat=weekly every=1 days=Mo,We until=2010-02-01 subject=Team\n"
              "2 2010-01-31T08:00:00 2010-01-31T08:30:00 busy=2 meeting=0 sensitivity=0 allday=0 categories= "
              "repeat=monthly every=2 count=3 subject=Rent\n");
    for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
             {"count=2"},
             {"repeat=hourly"},
             {"repeat=daily", "days=Mo"},
             {"repeat=weekly", "days=Mo,Mo"},
             {"repeat=daily", "every=0"},
             {"repeat=daily", "until=2010-01-01"},
             {"repeat=daily", "until=2010-02-01", "count=2"}}) {
        std::vector<std::string> args = {"add", "2010-01-06T10:00:00", "2010-01-06T11:00:00"};
        args.insert(args.end(), bad.begin(), bad.end());
        ProgramResult r = TlwsimCommand("cal", dir, args, ErrorStream::kCaptured);
        EXPECT_NE(r.exitCode, 0) << bad[0];
        EXPECT_NE(r.errors.find("tlwsim:"), std::string::npos);
    }
    // The refused ones stored nothing.
    std::string list = TlwsimCommand("cal", dir, {"list"}).output;
    EXPECT_EQ(std::count(list.begin(), list.end(), '\n'), 2);

    // One occurrence deleted: the series stays, listed with the day it lost.
    ASSERT_EQ(TlwsimCommand("cal", dir, {"skip", "1", "2010-01-11"}).exitCode, 0);
    for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
             {"skip", "1", "2010-01-11"}, {"skip", "1", "2010-01-12"}, {"skip", "1", "2010-02-03"},
             {"skip", "9", "2010-01-13"}, {"skip", "1", "someday"}}) {
        ProgramResult r = TlwsimCommand("cal", dir, bad, ErrorStream::kCaptured);
        EXPECT_NE(r.exitCode, 0) << bad[1] << " " << bad[2];
    }
    list = TlwsimCommand("cal", dir, {"list"}).output;
    EXPECT_NE(list.find("until=2010-02-01 deleted=2010-01-11 subject=Team\n"), std::string::npos) << list;
    EXPECT_EQ(Walk(u"[Subject] = \"Team\" and [Start] < \"2010-01-19T00:00:00\"", true),
              (std::vector<std::string>{"Team 2010-01-06T10:00:00-11:00:00", "Team 2010-01-13T10:00:00-11:00:00",
                                        "Team 2010-01-18T10:00:00-11:00:00"}));
}

}  // namespace
