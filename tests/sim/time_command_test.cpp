// `tlwsim time`: the console's view of the device clock, run as a real
// process against a temporary device.
#include <gtest/gtest.h>

#include <string>

#include "platform/kernel/clock.h"
#include "support/run_program.h"
#include "support/temp_device.h"

namespace {

class TimeCommandTest : public ::testing::Test {
protected:
    // Runs "tlwsim time DIR ARGS...".
    ProgramResult Time(std::initializer_list<std::string> args = {}) {
        return TlwsimCommand("time", device_.Root().string(), args, ErrorStream::kCaptured);
    }
    TempDevice device_;
};

TEST_F(TimeCommandTest, FrozenClockIsSetAdvancedAndKeptBetweenRuns) {
    ProgramResult r = Time({"freeze"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.output.find(" (frozen)\n"), std::string::npos) << r.output;
    EXPECT_EQ(Time({"set", "2010-01-01T12:00:00"}).output, "2010-01-01T12:00:00 (frozen)\n");
    EXPECT_EQ(Time({"advance", "1h30m"}).output, "2010-01-01T13:30:00 (frozen)\n");
    EXPECT_EQ(Time({"advance", "2d"}).output, "2010-01-03T13:30:00 (frozen)\n");
    EXPECT_EQ(Time().output, "2010-01-03T13:30:00 (frozen)\n");
    // This process sees what the console did.
    EXPECT_TRUE(plat::ClockIsFrozen());
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2010-01-03T13:30:00");
}

TEST_F(TimeCommandTest, ThawedClockRunsOnFromItsTime) {
    ASSERT_EQ(Time({"freeze"}).exitCode, 0);
    ASSERT_EQ(Time({"set", "2010-06-01T08:00:00"}).exitCode, 0);
    ProgramResult r = Time({"thaw"});
    EXPECT_EQ(r.exitCode, 0);
    ASSERT_EQ(r.output.size(), 20u) << r.output;
    EXPECT_EQ(r.output.substr(0, 17), "2010-06-01T08:00:");
    EXPECT_FALSE(plat::ClockIsFrozen());
    r = Time({"set", "2011-02-03T04:05:06"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.output.substr(0, 17), "2011-02-03T04:05:") << r.output;
    EXPECT_EQ(r.output.find("frozen"), std::string::npos);
}

TEST_F(TimeCommandTest, BadValuesFailAndLeaveTheClock) {
    ASSERT_EQ(Time({"freeze"}).exitCode, 0);
    ASSERT_EQ(Time({"set", "2010-01-01T12:00:00"}).exitCode, 0);
    EXPECT_EQ(Time({"set", "2010-02-30T00:00:00"}).exitCode, 1);
    EXPECT_EQ(Time({"set", "tomorrow"}).exitCode, 1);
    EXPECT_EQ(Time({"advance", "1.5h"}).exitCode, 1);
    EXPECT_EQ(Time({"advance", "99999999999999999999s"}).exitCode, 1);
    EXPECT_EQ(Time({"advance", "99999999d"}).exitCode, 1);
    EXPECT_EQ(Time({"set"}).exitCode, 2);
    EXPECT_EQ(Time({"freeze", "now"}).exitCode, 2);
    EXPECT_EQ(Time({"rewind", "1h"}).exitCode, 2);
    EXPECT_EQ(Time().output, "2010-01-01T12:00:00 (frozen)\n");
}

TEST(TimeCommand, RefusesAFolderThatIsNoDevice) {
    EXPECT_EQ(Tlwsim({"time", "/nonexistent-tlw-device"}, ErrorStream::kCaptured).exitCode, 1);
    EXPECT_EQ(Tlwsim({"time"}, ErrorStream::kCaptured).exitCode, 2);
}

}  // namespace
