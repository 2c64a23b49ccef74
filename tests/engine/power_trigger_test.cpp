// The power and accessory trigger's three rules and last-match-wins.
#include <gtest/gtest.h>

#include "engine/power_trigger.h"
#include "engine_fixture.h"

namespace tlw::testing {
namespace {

class PowerTriggerTest : public EngineTest {
protected:
    // A `Power` profile with aspower (cradle, all, external) and headphones.
    Profile& Power(bool cradle, bool all, bool external, int32_t headphones) {
        Profile& p = AddProfile(kEventPower);
        p.aspower[0] = cradle;
        p.aspower[1] = all;
        p.aspower[2] = external;
        p.headphones = headphones;
        return p;
    }
    int32_t Select(bool power, bool cradled, bool accessory) {
        return SelectPowerProfile(engine->model.profiles, {power, cradled, accessory});
    }
};

TEST_F(PowerTriggerTest, AnyOfTheChosenConditions) {
    Power(true, false, false, 2);
    EXPECT_EQ(Select(false, true, false), 0);   // cradled without power
    EXPECT_EQ(Select(true, true, true), 0);
    EXPECT_EQ(Select(true, false, false), kNoDecision);
}

TEST_F(PowerTriggerTest, AllConditionsMustMatchExactly) {
    Power(true, true, false, 2);
    EXPECT_EQ(Select(false, true, false), 0);
    EXPECT_EQ(Select(true, true, false), kNoDecision);  // external power differs
}

TEST_F(PowerTriggerTest, NeitherCradleNorPowerSelectsByTheAccessoryAlone) {
    Power(false, false, false, 0);
    EXPECT_EQ(Select(false, false, false), 0);
    EXPECT_EQ(Select(false, false, true), kNoDecision);
    EXPECT_EQ(Select(true, false, false), kNoDecision);
    engine->model.profiles.profiles[0].headphones = 2;  // "either" is no condition at all
    EXPECT_EQ(Select(false, false, false), kNoDecision);
    engine->model.profiles.profiles[0].headphones = 1;
    EXPECT_EQ(Select(false, false, true), 0);
}

TEST_F(PowerTriggerTest, TheLastMatchingProfileWinsAndDisabledOnesDoNotCount) {
    Power(false, false, true, 2);   // 0: external power
    Power(true, false, true, 2);    // 1: cradle or power
    Power(false, false, true, 1);   // 2: power with a headset
    EXPECT_EQ(Select(true, false, false), 1);
    EXPECT_EQ(Select(true, false, true), 2);
    engine->model.profiles.profiles[2].enabled = false;
    EXPECT_EQ(Select(true, false, true), 1);
    AddProfile(kEventManual);       // other kinds never count
    EXPECT_EQ(Select(true, true, true), 1);
}

}  // namespace
}  // namespace tlw::testing
