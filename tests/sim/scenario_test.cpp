// The scenario reader of tlwsim play, without a device (expectations only:
// the console's command table is not linked here): the step's time, its
// text and words, and times that only look whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/scenario.h"

namespace {

TEST(ScenarioTest, StepsKeepTheirTextWithoutTheTime) {
    std::vector<sim::ScenarioStep> steps;
    std::string error;
    ASSERT_TRUE(sim::ParseScenario("# comment\r\n\r\n+1h30m\texpect  ac=on\r\n2010-01-04T08:00:00 expect \"Running Profile=Day\"\n",
                                   &steps, &error))
        << error;
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].line, 3);
    EXPECT_EQ(steps[0].when, sim::ScenarioStep::When::kAfter);
    EXPECT_EQ(steps[0].afterSeconds, 5400);
    EXPECT_EQ(steps[0].text, "expect  ac=on");
    EXPECT_EQ(steps[0].key, "ac");
    EXPECT_EQ(steps[0].value, "on");
    EXPECT_EQ(steps[1].when, sim::ScenarioStep::When::kAt);
    EXPECT_EQ(steps[1].at.hour, 8);
    EXPECT_TRUE(steps[1].expect);
    EXPECT_EQ(steps[1].key, "Running Profile");
    EXPECT_EQ(steps[1].value, "Day");
}

TEST(ScenarioTest, ATimeOrDurationWithANulByteIsRefused) {
    // The time parsers stop at a NUL; what stands after it must not make a
    // damaged word read as a whole time.
    std::vector<sim::ScenarioStep> steps;
    std::string error;
    EXPECT_FALSE(sim::ParseScenario(std::string("expect ac=on\n2010-01-04T08:00:00\0junk expect ac=off\n", 52), &steps, &error));
    EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
    EXPECT_FALSE(sim::ParseScenario(std::string("+5m\0x expect ac=off\n", 20), &steps, &error));
    EXPECT_EQ(error.rfind("line 1: ", 0), 0u) << error;
}

TEST(ScenarioTest, EveryCarriageReturnEndingALineIsDropped) {
    // A step reads the same in its file as alone: no carriage return stays
    // on its last word, and the step's text is the line without them.
    std::vector<sim::ScenarioStep> steps;
    std::string error;
    ASSERT_TRUE(sim::ParseScenario("+5m expect ac=on\r\r\n+1m expect ac=off\r\r", &steps, &error)) << error;
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].value, "on");
    EXPECT_EQ(steps[0].text, "expect ac=on");
    EXPECT_EQ(steps[1].value, "off");
}

}  // namespace
