// The calendar store: the restriction text, sorting and finding, the
// changes other programs make and the item notifications they send.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/kernel/last_error.h"
#include "platform/pim/calendar_store.h"
#include "platform/message/message_loop.h"
#include "platform/window/window.h"
#include "support/run_program.h"
#include "support/temp_device.h"

namespace {

plat::SystemTime At(const char* text) {
    plat::SystemTime t;
    EXPECT_TRUE(plat::ParseDeviceTime(text, &t)) << text;
    return t;
}

plat::Appointment Appt(const char* start, const char* end, const char16_t* subject, bool allDay = false) {
    plat::Appointment a;
    a.start = At(start);
    a.end = At(end);
    a.subject = subject;
    a.allDay = allDay;
    return a;
}

class CalendarStoreTest : public ::testing::Test {
protected:
    int64_t Add(const plat::Appointment& a) {
        int64_t oid = 0;
        EXPECT_EQ(plat::PimAddAppointment(a, &oid), plat::kErrorSuccess);
        return oid;
    }
    // The subjects a find with the restriction walks through, in order.
    std::vector<std::u16string> Walk(const char16_t* restriction, bool byEndDescending = false) {
        plat::PimSession session;
        plat::PimFolder folder;
        plat::PimItems items;
        EXPECT_TRUE(plat::PimLogOn(&session, {}));
        EXPECT_TRUE(plat::PimGetDefaultFolder(&session, plat::kPimFolderCalendar, &folder));
        EXPECT_TRUE(plat::PimGetItems(folder, &items));
        if (byEndDescending) {
            EXPECT_TRUE(plat::PimSortItems(&items, u"[End]", true));
        }
        std::vector<std::u16string> out;
        plat::Appointment a;
        for (bool have = plat::PimFindItem(&items, restriction, &a); have; have = plat::PimFindNextItem(&items, &a))
            out.push_back(a.subject);
        plat::PimLogOff(&session);
        return out;
    }
    TempDevice device;
};

TEST_F(CalendarStoreTest, FindWalksTheItemsInOrderThatMeetTheRestriction) {
    Add(Appt("2010-01-04T14:00:00", "2010-01-04T15:00:00", u"late"));
    Add(Appt("2010-01-03T09:00:00", "2010-01-03T10:00:00", u"yesterday"));
    Add(Appt("2010-01-04T00:00:00", "2010-01-05T00:00:00", u"holiday", true));
    Add(Appt("2010-01-04T09:00:00", "2010-01-04T12:00:00", u"early"));
    // Day 40182 is 4 January 2010: items not all-day that end on or after its start.
    EXPECT_EQ(Walk(u"[AllDayEvent] = FALSE and [End] >= \"<40182\""),
              (std::vector<std::u16string>{u"early", u"late"}));
    EXPECT_EQ(Walk(u"[Start] >= \"2010-01-04T10:00:00\" AND [Subject] <> \"holiday\""),
              (std::vector<std::u16string>{u"late"}));
    EXPECT_EQ(Walk(u"[BusyStatus] = 2", true),
              (std::vector<std::u16string>{u"holiday", u"late", u"early", u"yesterday"}));
    EXPECT_EQ(Walk(u""), (std::vector<std::u16string>{u"yesterday", u"holiday", u"early", u"late"}));
}

TEST_F(CalendarStoreTest, RestrictionsItCannotReadAreRefused) {
    for (const char16_t* bad : {u"[End] >= \"<x\"", u"[Nope] = 1", u"[AllDayEvent] = MAYBE", u"[End] >= \"<40182\" or [Start] < \"<40183\"",
                                u"[Subject] < \"a\"", u"[Start] >= \"2010-01-04", u"[BusyStatus] 2"}) {
        plat::Restriction r;
        std::string error;
        EXPECT_FALSE(plat::ParseRestriction(bad, &r, &error));
        EXPECT_FALSE(error.empty());
    }
    plat::PimSession session;
    plat::PimFolder folder;
    plat::PimItems items;
    ASSERT_TRUE(plat::PimLogOn(&session, {}));
    ASSERT_TRUE(plat::PimGetDefaultFolder(&session, plat::kPimFolderCalendar, &folder));
    ASSERT_TRUE(plat::PimGetItems(folder, &items));
    plat::Appointment a;
    EXPECT_FALSE(plat::PimFindItem(&items, u"[End >= 1", &a));
    EXPECT_EQ(plat::GetLastError(), plat::kErrorInvalidParameter);
    EXPECT_FALSE(plat::PimFindNextItem(&items, &a));  // no find has run
    EXPECT_FALSE(plat::PimGetDefaultFolder(&session, 10, &folder));  // only the calendar exists
    plat::PimLogOff(&session);
    EXPECT_FALSE(plat::PimGetDefaultFolder(&session, plat::kPimFolderCalendar, &folder));
}

TEST_F(CalendarStoreTest, ChangesAreCheckedAndIdentifiersNeverReused) {
    plat::Appointment backwards = Appt("2010-01-04T10:00:00", "2010-01-04T09:00:00", u"x");
    int64_t oid = 0;
    EXPECT_EQ(plat::PimAddAppointment(backwards, &oid), plat::kErrorInvalidParameter);
    plat::Appointment busy = Appt("2010-01-04T09:00:00", "2010-01-04T10:00:00", u"x");
    busy.busyStatus = 4;
    EXPECT_EQ(plat::PimAddAppointment(busy, &oid), plat::kErrorInvalidParameter);

    int64_t first = Add(Appt("2010-01-04T09:00:00", "2010-01-04T10:00:00", u"one"));
    int64_t second = Add(Appt("2010-01-04T11:00:00", "2010-01-04T12:00:00", u"two"));
    EXPECT_EQ(plat::PimDeleteAppointment(second), plat::kErrorSuccess);
    EXPECT_EQ(plat::PimDeleteAppointment(second), plat::kErrorInvalidParameter);
    int64_t third = Add(Appt("2010-01-04T11:00:00", "2010-01-04T12:00:00", u"three"));
    EXPECT_GT(third, second);

    plat::Appointment changed = Appt("2010-01-04T08:00:00", "2010-01-04T08:30:00", u"one moved");
    changed.oid = first;
    changed.categories = u"Work, Travel";
    changed.sensitivity = 2;
    EXPECT_EQ(plat::PimChangeAppointment(changed), plat::kErrorSuccess);
    std::vector<plat::Appointment> all;
    ASSERT_EQ(plat::PimListAppointments(&all), plat::kErrorSuccess);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].subject, u"one moved");
    EXPECT_EQ(all[0].categories, u"Work, Travel");
    EXPECT_EQ(all[0].sensitivity, 2);
    EXPECT_EQ(plat::PimClearAppointments(), plat::kErrorSuccess);
    ASSERT_EQ(plat::PimListAppointments(&all), plat::kErrorSuccess);
    EXPECT_TRUE(all.empty());
}

// Item notifications of the registered window, by message and item.
std::vector<std::pair<uint32_t, plat::WParam>> g_items;

plat::LResult ItemProc(plat::Hwnd hwnd, uint32_t message, plat::WParam wParam, plat::LParam lParam) {
    if (message >= plat::kPimItemCreated && message <= plat::kPimItemChanged) g_items.emplace_back(message, wParam);
    return plat::DefWindowProc(hwnd, message, wParam, lParam);
}

TEST_F(CalendarStoreTest, AnotherProgramsChangesReachTheRegisteredWindow) {
    plat::WndClass wc;
    wc.className = u"CalendarWatch";
    wc.proc = ItemProc;
    ASSERT_TRUE(plat::RegisterClass(wc));
    plat::Hwnd window = plat::CreateWindow(u"CalendarWatch", u"", 0, 0, 0, 10, 10, {});
    ASSERT_TRUE(window);
    plat::PimSession session;
    plat::PimFolder folder;
    ASSERT_TRUE(plat::PimLogOn(&session, window));
    ASSERT_TRUE(plat::PimGetDefaultFolder(&session, plat::kPimFolderCalendar, &folder));
    ASSERT_TRUE(plat::PimSetFolderProperty(&folder, plat::kPimPropFolderNotifications, 1));
    g_items.clear();

    Add(Appt("2010-01-04T09:00:00", "2010-01-04T10:00:00", u"own change"));  // not told to itself
    std::string dir = device.Root().string();
    ProgramResult added = TlwsimCommand("cal", dir, {"add", "2010-01-04T11:00:00", "2010-01-04T12:00:00", "subject=Team"});
    ASSERT_EQ(added.exitCode, 0);
    int64_t oid = std::stoll(added.output);
    ASSERT_EQ(TlwsimCommand("cal", dir, {"del", std::to_string(oid)}).exitCode, 0);
    ASSERT_TRUE(WaitUntil([] {
        plat::PumpMessagesUntilIdle();
        return g_items.size() >= 2;
    }));
    EXPECT_EQ(g_items, (std::vector<std::pair<uint32_t, plat::WParam>>{
                           {plat::kPimItemCreated, static_cast<plat::WParam>(oid)},
                           {plat::kPimItemDeleted, static_cast<plat::WParam>(oid)}}));

    // After log-off the window hears nothing more.
    plat::PimLogOff(&session);
    ASSERT_EQ(TlwsimCommand("cal", dir, {"clear"}).exitCode, 0);
    plat::PumpMessagesUntilIdle();
    EXPECT_EQ(g_items.size(), 2u);
    plat::DestroyWindow(window);
    plat::UnregisterClass(u"CalendarWatch");
}

TEST_F(CalendarStoreTest, ConsoleListsEveryFieldAndRefusesBadInput) {
    std::string dir = device.Root().string();
    ASSERT_EQ(TlwsimCommand("cal", dir, {"add", "2010-01-04T11:00:00", "2010-01-04T12:00:00", "subject=Board review",
                                         "busy=3", "meeting=1", "sensitivity=2", "categories=Work,Board"})
                  .exitCode,
              0);
    ProgramResult list = TlwsimCommand("cal", dir, {"list"});
    EXPECT_EQ(list.output,
              "1 2010-01-04T11:00:00 2010-01-04T12:00:00 busy=3 meeting=1 sensitivity=2 allday=0 "
              "categories=Work,Board subject=Board review\n");
    for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
             {"add", "2010-01-04T11:00:00", "2010-01-04T10:00:00"},
             {"add", "2010-01-04T11:00:00", "2010-01-04T12:00:00", "busy=4"},
             {"add", "2010-01-04T11:00:00", "2010-01-04T12:00:00", "colour=red"},
             {"add", "tomorrow", "2010-01-04T12:00:00"},
             {"del", "99"},
             {"del", "x"}}) {
        ProgramResult r = TlwsimCommand("cal", dir, bad, ErrorStream::kCaptured);
        EXPECT_NE(r.exitCode, 0) << bad[0];
        EXPECT_NE(r.errors.find("tlwsim:"), std::string::npos);
    }
    EXPECT_EQ(TlwsimCommand("cal", dir, {"list"}).output, list.output);  // nothing lost
}

}  // namespace
