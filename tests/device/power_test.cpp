// Device power actions: what counts as awake, the requests each action
// makes, and the soft reset refused without the program's registry key.
#include <gtest/gtest.h>

#include "common/device/device_operations.h"
#include "platform/power/power_state.h"
#include "support/journal_effects.h"
#include "support/temp_device.h"

namespace {

using namespace tlw;

plat::DevicePower Power() {
    plat::PowerState s;
    plat::ReadPowerState(&s);
    return s.power;
}

TEST(PowerActionTest, ActionsRequestOnlyWhatTheStateNeeds) {
    TempDevice device;
    EXPECT_TRUE(SetPowerState(kPowerOn));  // already on: no request
    EXPECT_TRUE(JournalEffects().empty());
    EXPECT_TRUE(SetPowerState(kPowerIdle));
    EXPECT_EQ(Power(), plat::DevicePower::kIdle);
    EXPECT_FALSE(SetPowerState(kPowerSuspend));  // idle is not awake: no suspend
    EXPECT_EQ(Power(), plat::DevicePower::kIdle);
    EXPECT_FALSE(SetPowerState(kPowerOn));
    EXPECT_EQ(Power(), plat::DevicePower::kOn);
    EXPECT_TRUE(SetPowerState(kPowerSuspend));
    EXPECT_EQ(Power(), plat::DevicePower::kSuspend);
    EXPECT_EQ(JournalEffects(), (std::vector<std::string>{"power request idle", "power request on",
                                                          "power request suspend"}));
}

TEST(PowerActionTest, NoResetWithoutTheProgramsKey) {
    TempDevice device;
    SetPowerState(kPowerSoftReset);
    EXPECT_TRUE(JournalEffects().empty());
    EXPECT_EQ(Power(), plat::DevicePower::kOn);
}

}  // namespace
