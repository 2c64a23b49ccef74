// The calendar trigger: which `Outlook` profile an appointment fits, the
// profile of the appointments in progress and the wake-up at the next change.
#include <gtest/gtest.h>

#include "engine/calendar_trigger.h"
#include "engine_fixture.h"
#include "platform/pim/calendar_store.h"

namespace tlw::testing {
namespace {

class CalendarTriggerTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        engine->language.text[kTextAnyCategory] = u"(any)";
    }
    // An `Outlook` profile selected by busy status index `state`.
    Profile& Outlook(int state) {
        Profile& p = AddProfile(kEventOutlook);
        p.state[state] = true;
        p.category = u"(any)";
        return p;
    }
    static plat::Appointment Appt(const char* start, const char* end, int32_t busy = plat::kBusyBusy) {
        plat::Appointment a;
        EXPECT_TRUE(plat::ParseDeviceTime(start, &a.start));
        EXPECT_TRUE(plat::ParseDeviceTime(end, &a.end));
        a.busyStatus = busy;
        return a;
    }
    void Store(const plat::Appointment& a) {
        int64_t oid = 0;
        ASSERT_EQ(plat::PimAddAppointment(a, &oid), 0u);
    }
};

TEST_F(CalendarTriggerTest, AppointmentFitsByStateMeetingSensitivityAndCategory) {
    Profile& meetingsOnly = Outlook(2);   // 0: busy, meetings only
    meetingsOnly.state[0] = true;
    Profile& privateOnly = Outlook(2);    // 1: busy, sensitivity 2 (private)
    privateOnly.sensitivity = 3;
    Profile& work = Outlook(2);           // 2: busy, category Work
    work.category = u"Work";
    Outlook(4);                           // 3: free
    Profile& disabled = Outlook(1);       // 4: tentative, disabled
    disabled.enabled = false;
    Outlook(2);                           // 5: busy, anything

    plat::Appointment a = Appt("2010-01-04T09:00:00", "2010-01-04T10:00:00");
    EXPECT_EQ(MatchAppointment(*engine, a), 5);  // plain, normal, no category
    a.meetingStatus = plat::kMeetingReceived;
    EXPECT_EQ(MatchAppointment(*engine, a), 0);
    a.meetingStatus = plat::kMeetingNone;
    a.sensitivity = 2;
    EXPECT_EQ(MatchAppointment(*engine, a), 1);
    a.sensitivity = 3;
    a.categories = u"Travel, Work";
    EXPECT_EQ(MatchAppointment(*engine, a), 2);
    a.categories = u"work";  // categories match with case
    EXPECT_EQ(MatchAppointment(*engine, a), 5);
    a.busyStatus = plat::kBusyFree;
    EXPECT_EQ(MatchAppointment(*engine, a), 3);
    a.busyStatus = plat::kBusyTentative;
    EXPECT_EQ(MatchAppointment(*engine, a), kNoDecision);
    a.busyStatus = 9;  // an unknown status counts as busy
    EXPECT_EQ(MatchAppointment(*engine, a), 5);
}

TEST_F(CalendarTriggerTest, OverlappingAppointmentsGiveTheLaterOnesProfileAndWakeAtTheEarlierEnd) {
    Outlook(2);                       // 0: busy
    Outlook(3);                       // 1: out of office
    SetClock("2010-01-04T10:15:00");
    Store(Appt("2010-01-04T08:00:00", "2010-01-04T09:00:00"));  // over
    Store(Appt("2010-01-04T10:00:00", "2010-01-04T12:00:00"));
    Store(Appt("2010-01-04T10:10:00", "2010-01-04T11:00:00", plat::kBusyOutOfOffice));
    EXPECT_EQ(EvaluateCalendar(*engine), 1);
    EXPECT_EQ(WakeUps(), (std::vector<std::string>{"34@11:00:30"}));

    // Re-evaluating replaces the wake-up instead of adding one.
    SetClock("2010-01-04T11:00:30");
    EXPECT_EQ(EvaluateCalendar(*engine), 0);
    EXPECT_EQ(WakeUps(), (std::vector<std::string>{"34@12:00:30"}));
}

TEST_F(CalendarTriggerTest, UnmatchedAppointmentInProgressWakesAtTheNextStart) {
    Outlook(2);
    SetClock("2010-01-04T10:15:00");
    Store(Appt("2010-01-04T10:00:00", "2010-01-04T11:00:00", plat::kBusyFree));  // no free profile
    Store(Appt("2010-01-04T10:30:00", "2010-01-04T11:30:00"));
    EXPECT_EQ(EvaluateCalendar(*engine), kNoDecision);
    EXPECT_EQ(WakeUps(), (std::vector<std::string>{"30@10:30:30"}));
}

TEST_F(CalendarTriggerTest, AllDayEventsAndAnEmptyDaySelectNothing) {
    Outlook(2);
    SetClock("2010-01-04T10:15:00");
    plat::Appointment holiday = Appt("2010-01-04T00:00:00", "2010-01-05T00:00:00");
    holiday.allDay = true;
    Store(holiday);
    EXPECT_EQ(EvaluateCalendar(*engine), kNoDecision);
    EXPECT_TRUE(WakeUps().empty());
    Store(Appt("2010-01-05T09:00:00", "2010-01-05T10:00:00"));
    EXPECT_EQ(EvaluateCalendar(*engine), kNoDecision);
    EXPECT_EQ(WakeUps(), (std::vector<std::string>{"30@09:00:30"}));
}

TEST_F(CalendarTriggerTest, WithoutCalendarProfilesNothingIsReadOrScheduled) {
    Outlook(2).enabled = false;
    Store(Appt("2010-01-04T10:00:00", "2010-01-04T11:00:00"));
    EXPECT_EQ(EvaluateCalendar(*engine), kNoDecision);
    EXPECT_TRUE(WakeUps().empty());
}

}  // namespace
}  // namespace tlw::testing
