// Process tests of the engine's timing: time slots through wake-ups, the
// manual time-out, and an activation postponed by a call.
#include <gtest/gtest.h>

#include "engine_process_fixture.h"

namespace {

class ScheduleProcessTest : public EngineProcessTest {
protected:
    void SetUp() override {}
    // The configuration file with profile `index` given a manual time-out.
    void GiveTimeout(int index, const char* timeout) {
        std::string text = Tlwsim({"config", dir_, "read"}).output;
        std::string header = "[profile" + std::to_string(index) + "]\n";
        size_t at = text.find("eventType=0\n", text.find(header));
        ASSERT_NE(at, std::string::npos);
        text.insert(at + 12, std::string("timeout=") + timeout + "\n");
        std::string crlf;
        for (char c : text) {
            if (c == '\n') crlf += '\r';
            crlf += c;
        }
        std::filesystem::create_directories(std::filesystem::path(dir_) / "My Documents" / "Korvel");
        std::ofstream(std::filesystem::path(dir_) / "My Documents" / "Korvel" / "Tallowd.ini", std::ios::binary) << crlf;
        SecondStart({"2262"});  // TLWM_RELOAD, as the configuration program sends it
    }
    bool PendingWakeUp(const std::string& line) {
        return Tlwsim({"notify", dir_, "list"}).output.find(line) != std::string::npos;
    }
};

TEST_F(ScheduleProcessTest, TheDayProfileStartsAtSevenThroughItsWakeUp) {
    StartDevice("2010-01-04T06:58:00");
    EXPECT_EQ(Registry("RunningProfile"), "1\n");  // night
    EXPECT_TRUE(PendingWakeUp("2010-01-04T07:00:15 \\Windows\\Tallowd.exe 202"));
    ASSERT_EQ(Tlwsim({"time", dir_, "advance", "3m"}).exitCode, 0);
    EXPECT_EQ(Registry("RunningProfile"), "2\n");  // day
    EXPECT_TRUE(PendingWakeUp("2010-01-05T00:00:01 \\Windows\\Tallowd.exe 16"));
}

TEST_F(ScheduleProcessTest, ManualTimeOutEndsThroughItsWakeUp) {
    StartDevice("2010-01-04T10:00:20");
    GiveTimeout(3, "01:30");
    SecondStart({"103"});
    EXPECT_EQ(Registry("RunningProfile"), "3\n");
    EXPECT_EQ(Registry("ManualProfile"), "3\n");
    EXPECT_TRUE(PendingWakeUp("2010-01-04T11:30:20 \\Windows\\Tallowd.exe 500"));
    ASSERT_EQ(Tlwsim({"time", dir_, "advance", "1h29m"}).exitCode, 0);
    EXPECT_EQ(Registry("RunningProfile"), "3\n");
    ASSERT_EQ(Tlwsim({"time", dir_, "advance", "2m"}).exitCode, 0);
    EXPECT_EQ(Registry("RunningProfile"), "2\n");  // back to the time profile
    EXPECT_EQ(Registry("ManualProfile"), "700\n");
}

TEST_F(ScheduleProcessTest, PhoneOffDuringACallWaitsForTheCall) {
    StartDevice("2010-01-04T10:00:20");
    ASSERT_EQ(Tlwsim({"hw", dir_, "call=active"}).exitCode, 0);
    SecondStart({"104"});  // flight mode: phone off
    EXPECT_EQ(Registry("RunningProfile"), "2\n");
    EXPECT_TRUE(PendingWakeUp("2010-01-04T10:01:15 \\Windows\\Tallowd.exe 500"));
    ASSERT_EQ(Tlwsim({"hw", dir_, "call=none"}).exitCode, 0);
    ASSERT_EQ(Tlwsim({"time", dir_, "advance", "1m"}).exitCode, 0);
    EXPECT_EQ(Registry("RunningProfile"), "4\n");
}

}  // namespace
