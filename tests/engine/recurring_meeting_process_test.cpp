// Process test of the calendar trigger with a recurring appointment: the
// engine finds the weekly meeting's next occurrence, not only its first.
#include <gtest/gtest.h>

#include "engine_process_fixture.h"

namespace {

class RecurringMeetingProcessTest : public EngineProcessTest {
protected:
    void SetUp() override {}
    // A meeting profile for busy appointments and a day-long time slot.
    void Configure() {
        std::string text =
            ";Tallowin configuration file\n;VERSION 2.0\n\n"
            "[profile0]\nname=Meeting\nenabled=1\neventType=2\nstate=0,0,1,0,0\nshow=1\noverride=1\n"
            "volMaster=2\nradio=2,2,2\npush_email=2\ndata_call=0\npower_timeouts=9,9,9,9\nrotate=3\npda_power=3\n\n"
            "[profile1]\nname=Day\nenabled=1\neventType=1\nschedule0=1,1,1,1,1,1,1\ntime0=00:00\nshow=1\n"
            "override=0\nvolMaster=2\nradio=2,2,2\npush_email=2\ndata_call=0\npower_timeouts=9,9,9,9\nrotate=3\n"
            "pda_power=3\n\n";
        std::string crlf;
        for (char c : text) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        std::filesystem::path folder = std::filesystem::path(dir_) / "My Documents" / "Korvel";
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "Tallowd.ini", std::ios::binary) << crlf;
        SecondStart({"2262"});
    }
    void SetTime(const char* time) {
        ASSERT_EQ(Tlwsim({"time", dir_, "set", time}).exitCode, 0);
        ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    }
    bool Pending(const std::string& line) {
        return Tlwsim({"notify", dir_, "list"}).output.find(line) != std::string::npos;
    }
};

TEST_F(RecurringMeetingProcessTest, AWeeklyMeetingSelectsItsProfileOnTheSecondWeeksOccurrence) {
    // Tuesday of the first week: the first occurrence (Monday) is over.
    StartDevice("2010-01-05T09:00:00");
    Configure();
    ASSERT_EQ(Registry("RunningProfile"), "1\n");
    ASSERT_EQ(Tlwsim({"cal", dir_, "add", "2010-01-04T10:00:00", "2010-01-04T11:00:00", "subject=Meeting",
                      "meeting=1", "repeat=weekly", "count=4"})
                  .exitCode,
              0);
    // The engine hears of the new item and wakes for the next Monday's start.
    ASSERT_TRUE(WaitUntil([&] { return Pending("2010-01-11T10:00:30 \\Windows\\Tallowd.exe 30"); }));
    EXPECT_EQ(Registry("RunningProfile"), "1\n");

    SetTime("2010-01-11T10:05:00");
    EXPECT_EQ(Registry("RunningProfile"), "0\n");
    EXPECT_TRUE(Pending("2010-01-11T11:00:30 \\Windows\\Tallowd.exe 34"));

    // Its end brings the day back, and the third week's start is next.
    SetTime("2010-01-11T11:01:00");
    EXPECT_EQ(Registry("RunningProfile"), "1\n");
    EXPECT_TRUE(Pending("2010-01-18T10:00:30 \\Windows\\Tallowd.exe 30"));
}

}  // namespace
