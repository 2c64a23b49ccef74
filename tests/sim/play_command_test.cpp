// tlwsim play: a scenario is checked before it runs, moves the clock step by
// step, and reports a failed expectation with its line and exit code 1.
#include <gtest/gtest.h>

#include <fstream>

#include "support/run_program.h"
#include "support/sim_device.h"

namespace {

class PlayCommandTest : public ::testing::Test {
protected:
    ProgramResult Play(const std::string& scenario) {
        std::string file = (device.Base() / "test.scenario").string();
        std::ofstream(file) << scenario;
        return TlwsimCommand("play", device.Dir(), {file}, ErrorStream::kCaptured);
    }
    SimDevice device{{"--time", "2010-01-04T08:00:00", "--frozen"}};
};

TEST_F(PlayCommandTest, AScenarioItCannotReadRunsNothing) {
    for (const char* bad : {"hw ac=on\n+5x hw ac=off\n", "# c\n\nwibble ac=on\n", "2010-13-01T00:00:00 hw ac=on\n",
                            "expect ac\n", "play x\n", "+1m\n", "hw \"ac=on\n"}) {
        ProgramResult r = Play(bad);
        EXPECT_EQ(r.exitCode, 1) << bad;
        EXPECT_NE(r.errors.find("line "), std::string::npos) << r.errors;
        EXPECT_EQ(TlwsimCommand("hw", device.Dir()).output.find("ac=on"), std::string::npos) << bad;
    }
}

TEST_F(PlayCommandTest, StepsMoveTheClockAndFailedExpectationsGiveTheirLine) {
    ProgramResult r = Play("# power\n+10m hw ac=on\nexpect ac=on\n2010-01-04T09:00:00 expect ac=off\nexpect nothing=1\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.output.find("2010-01-04T08:10:00  hw ac=on"), std::string::npos) << r.output;
    EXPECT_NE(r.errors.find("line 4: expect ac=off: FAILED: ac is 'on'"), std::string::npos) << r.errors;
    EXPECT_NE(r.errors.find("line 5:"), std::string::npos) << r.errors;
    EXPECT_NE(r.output.find("4 steps, 2 failed"), std::string::npos) << r.output;
    EXPECT_EQ(TlwsimCommand("time", device.Dir()).output, "2010-01-04T09:00:00 (frozen)\n");
    // A time before the device's stops the scenario there.
    r = Play("2010-01-04T08:30:00 hw ac=off\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.errors.find("is before the device time"), std::string::npos);
}

}  // namespace
