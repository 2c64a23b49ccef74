// `tlwsim time`: the console's view of the device clock, run as a real
// process against a temporary device.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "platform/clock.h"
#include "support/temp_device.h"

namespace {

// What one run of the console printed and returned.
struct RunResult {
    int code = -1;       // exit code
    std::string output;  // standard output
};

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

RunResult RunConsole(const std::string& arguments) {
    RunResult result;
    std::string command = std::string(TLW_BIN_DIR) + "/tlwsim " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) result.output.append(buffer, n);
    int status = pclose(pipe);
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

class TimeCommandTest : public ::testing::Test {
protected:
    RunResult Time(const std::string& action = "") {
        return RunConsole("time " + Quote(device_.Root().string()) + (action.empty() ? "" : " " + action));
    }
    TempDevice device_;
};

TEST_F(TimeCommandTest, FrozenClockIsSetAdvancedAndKeptBetweenRuns) {
    RunResult r = Time("freeze");
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.output.find(" (frozen)\n"), std::string::npos) << r.output;
    EXPECT_EQ(Time("set 2010-01-01T12:00:00").output, "2010-01-01T12:00:00 (frozen)\n");
    EXPECT_EQ(Time("advance 1h30m").output, "2010-01-01T13:30:00 (frozen)\n");
    EXPECT_EQ(Time("advance 2d").output, "2010-01-03T13:30:00 (frozen)\n");
    EXPECT_EQ(Time().output, "2010-01-03T13:30:00 (frozen)\n");
    // This process sees what the console did.
    EXPECT_TRUE(plat::ClockIsFrozen());
    EXPECT_EQ(plat::FormatDeviceTime(plat::GetLocalTime()), "2010-01-03T13:30:00");
}

TEST_F(TimeCommandTest, ThawedClockRunsOnFromItsTime) {
    ASSERT_EQ(Time("freeze").code, 0);
    ASSERT_EQ(Time("set 2010-06-01T08:00:00").code, 0);
    RunResult r = Time("thaw");
    EXPECT_EQ(r.code, 0);
    ASSERT_EQ(r.output.size(), 20u) << r.output;
    EXPECT_EQ(r.output.substr(0, 17), "2010-06-01T08:00:");
    EXPECT_FALSE(plat::ClockIsFrozen());
    r = Time("set 2011-02-03T04:05:06");
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.output.substr(0, 17), "2011-02-03T04:05:") << r.output;
    EXPECT_EQ(r.output.find("frozen"), std::string::npos);
}

TEST_F(TimeCommandTest, BadValuesFailAndLeaveTheClock) {
    ASSERT_EQ(Time("freeze").code, 0);
    ASSERT_EQ(Time("set 2010-01-01T12:00:00").code, 0);
    EXPECT_EQ(Time("set 2010-02-30T00:00:00").code, 1);
    EXPECT_EQ(Time("set tomorrow").code, 1);
    EXPECT_EQ(Time("advance 1.5h").code, 1);
    EXPECT_EQ(Time("advance 99999999999999999999s").code, 1);
    EXPECT_EQ(Time("advance 99999999d").code, 1);
    EXPECT_EQ(Time("set").code, 2);
    EXPECT_EQ(Time("freeze now").code, 2);
    EXPECT_EQ(Time("rewind 1h").code, 2);
    EXPECT_EQ(Time().output, "2010-01-01T12:00:00 (frozen)\n");
}

TEST(TimeCommand, RefusesAFolderThatIsNoDevice) {
    EXPECT_EQ(RunConsole("time /nonexistent-tlw-device").code, 1);
    EXPECT_EQ(RunConsole("time").code, 2);
}

}  // namespace
