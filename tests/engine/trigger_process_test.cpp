// Process tests of the triggers on a running engine: a calendar appointment
// against a manual choice, power and cradle through their debounce, and the
// office cell tower through the sensing cycle.
#include <gtest/gtest.h>

#include "engine_process_fixture.h"

namespace {

// One profile section of a configuration file, with settings that leave
// the device as it is.
std::string Section(int index, const std::string& name, int eventType, const std::string& triggerKeys,
                    bool override, const std::string& radio = "2,2,2") {
    return "[profile" + std::to_string(index) + "]\nname=" + name + "\nenabled=1\neventType=" +
           std::to_string(eventType) + "\n" + triggerKeys + "show=1\noverride=" + (override ? "1" : "0") +
           "\nvolMaster=2\nradio=" + radio + "\npush_email=2\ndata_call=0\npower_timeouts=9,9,9,9\nrotate=3\npda_power=3\n\n";
}

constexpr const char* kAllDay = "schedule0=1,1,1,1,1,1,1\ntime0=00:00\n";

class TriggerProcessTest : public EngineProcessTest {
protected:
    void SetUp() override {}
    // Writes the configuration (sections joined, LF turned into CR LF) and
    // has the engine reload it, as the configuration program does.
    void Configure(const std::string& body) {
        std::string text = ";Tallowin configuration file\n;VERSION 2.0\n\n" + body;
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
    int Count(const std::string& text) {
        std::string log = Log();
        int n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
        return n;
    }

    // A manual profile, a busy-appointment profile and a day-long time slot;
    // the manual one is chosen by hand at 09:30 and a busy appointment is
    // entered for 10:00 to 11:00.
    void ManualThenMeeting(bool meetingOverrides) {
        StartDevice("2010-01-04T09:00:00");
        Configure(Section(0, "Quiet", 0, "", false) + Section(1, "Meeting", 2, "state=0,0,1,0,0\n", meetingOverrides) +
                  Section(2, "Day", 1, kAllDay, false));
        ASSERT_EQ(Registry("RunningProfile"), "2\n");
        ASSERT_EQ(Tlwsim({"time", dir_, "set", "2010-01-04T09:30:00"}).exitCode, 0);
        SecondStart({"100"});
        ASSERT_EQ(Registry("RunningProfile"), "0\n");
        ASSERT_EQ(Tlwsim({"cal", dir_, "add", "2010-01-04T10:00:00", "2010-01-04T11:00:00", "subject=Review"}).exitCode, 0);
        ASSERT_TRUE(WaitUntil([&] { return Log().find("Param:35,") != std::string::npos; }));
        ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
        EXPECT_NE(Tlwsim({"notify", dir_, "list"}).output.find("2010-01-04T10:00:30 \\Windows\\Tallowd.exe 30"),
                  std::string::npos);
        ASSERT_EQ(Tlwsim({"time", dir_, "set", "2010-01-04T10:05:00"}).exitCode, 0);
        ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    }
};

TEST_F(TriggerProcessTest, BusyAppointmentDoesNotDisplaceAManualProfileWithoutOverride) {
    ManualThenMeeting(false);
    EXPECT_NE(Log().find("Param:30,"), std::string::npos);
    EXPECT_EQ(Registry("RunningProfile"), "0\n");
    EXPECT_EQ(Registry("ManualProfile"), "0\n");
}

TEST_F(TriggerProcessTest, BusyAppointmentWithOverrideReplacesTheManualProfile) {
    ManualThenMeeting(true);
    EXPECT_EQ(Registry("RunningProfile"), "1\n");
    EXPECT_EQ(Registry("ManualProfile"), "700\n");
    // Its end brings the day profile back.
    EXPECT_NE(Tlwsim({"notify", dir_, "list"}).output.find("2010-01-04T11:00:30 \\Windows\\Tallowd.exe 34"),
              std::string::npos);
    ASSERT_EQ(Tlwsim({"time", dir_, "set", "2010-01-04T11:01:00"}).exitCode, 0);
    ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    EXPECT_EQ(Registry("RunningProfile"), "2\n");
}

TEST_F(TriggerProcessTest, PowerAndCradlePluggedInGiveOneEvaluationAfterTheDebounce) {
    StartDevice("2010-01-04T09:00:00");
    Configure(Section(0, "Day", 1, kAllDay, false) + Section(1, "Car", 3, "aspower=1,0,1\nheadphones=2\n", false));
    ASSERT_EQ(Registry("RunningProfile"), "0\n");
    int before = Count("Param:10,");
    ASSERT_EQ(Tlwsim({"hw", dir_, "ac=on", "cradle=on"}).exitCode, 0);
    ASSERT_TRUE(WaitUntil([&] { return Log().find("Power change Notified.") != std::string::npos; }));
    ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    ASSERT_EQ(Tlwsim({"time", dir_, "advance", "4s"}).exitCode, 0);
    ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    EXPECT_EQ(Count("Param:10,"), before);
    ASSERT_EQ(Tlwsim({"time", dir_, "advance", "1m"}).exitCode, 0);
    ASSERT_TRUE(WaitUntil([&] { return Registry("RunningProfile") == "1\n"; }));
    ASSERT_EQ(Tlwsim({"time", dir_, "advance", "1m"}).exitCode, 0);
    ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    EXPECT_EQ(Count("Param:10,"), before + 1);
    EXPECT_NE(Log().find("Power profile: 1"), std::string::npos);
}

TEST_F(TriggerProcessTest, TheOfficeCellTowerBringsTheOfficeProfileWithinOneSensingCycle) {
    StartDevice("2010-01-04T08:00:00");
    ASSERT_EQ(Tlwsim({"hw", dir_, "phone=on", "cell=0x1A2B:0x0101"}).exitCode, 0);
    // The office is cell 0x1A2B:0x0202 (LAC in the high word).
    Configure(Section(0, "Day", 1, kAllDay, false) + Section(1, "Office", 4, "", false) +
              "[Locations]\nlocationname0=Office\nlocation0=439026178\n\n");
    ASSERT_EQ(Registry("RunningProfile"), "0\n");
    ASSERT_EQ(Tlwsim({"hw", dir_, "cell=0x1A2B:0x0202"}).exitCode, 0);
    ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    ASSERT_EQ(Tlwsim({"time", dir_, "advance", "10m"}).exitCode, 0);
    ASSERT_TRUE(WaitUntil([&] { return Registry("RunningProfile") == "1\n"; })) << Log();
    EXPECT_NE(Log().find("Cell tower 439026178 in profile: 1"), std::string::npos);
    // Leaving the office's cell hands the choice back to the schedule.
    ASSERT_EQ(Tlwsim({"hw", dir_, "cell=0x1A2B:0x0101"}).exitCode, 0);
    ASSERT_EQ(Tlwsim({"time", dir_, "advance", "10m"}).exitCode, 0);
    ASSERT_TRUE(WaitUntil([&] { return Registry("RunningProfile") == "0\n"; })) << Log();
    EXPECT_NE(Log().find("Cell tower 439025921 NOT in any profile"), std::string::npos);
    EXPECT_NE(Log().find("Param:703,"), std::string::npos);
}

TEST_F(TriggerProcessTest, AnOfferedCallIsAnsweredByAProfileThatAnswersCalls) {
    StartDevice("2010-01-04T09:00:00");
    Configure(Section(0, "Hands-free", 1, kAllDay, false, "2,2,3"));
    ASSERT_EQ(Registry("RunningProfile"), "0\n");
    // The line is opened for monitoring when the phone radio comes on.
    ASSERT_EQ(Tlwsim({"hw", dir_, "phone=off"}).exitCode, 0);
    ASSERT_EQ(Tlwsim({"sync", dir_}).exitCode, 0);
    ASSERT_EQ(Tlwsim({"hw", dir_, "phone=on"}).exitCode, 0);
    ASSERT_TRUE(WaitUntil([&] { return Journal().find("line 0 open, owner, media 0x4") != std::string::npos; }));
    EXPECT_NE(Journal().find("line priority Tallowd.exe media 0x4 = 1"), std::string::npos);
    ASSERT_EQ(Tlwsim({"hw", dir_, "call=offered"}).exitCode, 0);
    // Five seconds later the Talk key answers it; the connected call brings parameter 50.
    ASSERT_TRUE(WaitUntil([&] { return Journal().find("call answered") != std::string::npos; }, 30000));
    ASSERT_TRUE(WaitUntil([&] { return Log().find("Param:50,") != std::string::npos; }, 30000));
    EXPECT_NE(Log().find("Param:51,"), std::string::npos);
    EXPECT_TRUE(WaitUntil([&] { return Journal().find("ossvcs 218 (1)") != std::string::npos; }));
    EXPECT_EQ(Tlwsim({"hw", dir_}).output.find("call=active") != std::string::npos, true);
    EXPECT_EQ(Registry("RunningProfile"), "0\n");  // neither changes the profile
}

}  // namespace
