// The power manager of the simulated phone: requests, unattended mode, the
// wake-up event and the journal lines.
#include "platform/power/power_state.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/kernel/clock.h"
#include "platform/storage/journal.h"
#include "platform/kernel/last_error.h"
#include "platform/notify/user_notify.h"
#include "support/journal_effects.h"
#include "support/store_sql.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

class PowerStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        SystemTime start{2010, 3, 0, 1, 12, 0, 0, 0};
        ASSERT_TRUE(UseVirtualClock(start));
    }
    void TearDown() override { UseDeviceClock(); }

    uint32_t Flags() {
        uint32_t flags = 0;
        EXPECT_EQ(GetSystemPowerState(nullptr, &flags), kErrorSuccess);
        return flags;
    }
    std::u16string Name() {
        std::u16string name;
        EXPECT_EQ(GetSystemPowerState(&name, nullptr), kErrorSuccess);
        return name;
    }

    TempDevice device_;
};

TEST_F(PowerStateTest, NewDeviceIsOnWithBacklight) {
    EXPECT_EQ(Flags(), kPowerStateOn | kPowerStateBacklightOn);
    EXPECT_EQ(Name(), u"on");
}

TEST_F(PowerStateTest, RequestsChangeTheStateAndAreJournalled) {
    EXPECT_EQ(SetSystemPowerState({}, kPowerStateIdle, 0), kErrorSuccess);
    EXPECT_EQ(Flags(), kPowerStateIdle);
    EXPECT_EQ(SetSystemPowerState({}, kPowerStateSuspend, kPowerForce), kErrorSuccess);
    EXPECT_EQ(Flags(), kPowerStateSuspend);
    EXPECT_EQ(Name(), u"suspend");
    EXPECT_EQ(SetSystemPowerState(u"On", 0, 0), kErrorSuccess);  // by name, any case
    EXPECT_EQ(Flags() & kPowerStateMask, kPowerStateOn | kPowerStateBacklightOn);
    EXPECT_EQ(JournalEffects(), (std::vector<std::string>{"power request idle", "power request suspend forced",
                                                          "power request on"}));
}

TEST_F(PowerStateTest, UnknownRequestsAreRefused) {
    EXPECT_EQ(SetSystemPowerState({}, 0, 0), kErrorInvalidParameter);
    EXPECT_EQ(SetSystemPowerState({}, kPowerStateSuspend | kPowerStateIdle, 0), kErrorInvalidParameter);
    EXPECT_EQ(SetSystemPowerState({}, kPowerStateUnattended, 0), kErrorInvalidParameter);
    EXPECT_EQ(SetSystemPowerState(u"unattended", 0, 0), kErrorInvalidParameter);
    EXPECT_EQ(SetSystemPowerState(u"sleep", kPowerStateSuspend, 0), kErrorInvalidParameter);
    EXPECT_FALSE(PowerPolicyNotify(4, 1));
    EXPECT_EQ(GetLastError(), kErrorInvalidParameter);
    EXPECT_FALSE(SetDevicePower(DevicePower::kUnattended));
    EXPECT_EQ(Flags(), kPowerStateOn | kPowerStateBacklightOn);
    EXPECT_TRUE(JournalRead().empty());
}

TEST_F(PowerStateTest, UnattendedModeHoldsOffSuspendUntilReleased) {
    EXPECT_TRUE(PowerPolicyNotify(kPpnUnattendedMode, 1));
    EXPECT_TRUE(PowerPolicyNotify(kPpnUnattendedMode, 1));  // nested
    EXPECT_EQ(SetSystemPowerState({}, kPowerStateSuspend, 0), kErrorSuccess);
    EXPECT_EQ(Flags(), kPowerStateUnattended);
    // Not awake by the engine's test, yet not asleep either.
    EXPECT_NE(Flags() & kPowerStateMask, kPowerStateOn);
    EXPECT_TRUE(PowerPolicyNotify(kPpnUnattendedMode, 0));
    EXPECT_EQ(Flags(), kPowerStateUnattended);
    EXPECT_TRUE(PowerPolicyNotify(kPpnUnattendedMode, 0));
    EXPECT_EQ(Flags(), kPowerStateSuspend);
    // A release without a hold changes nothing.
    EXPECT_TRUE(PowerPolicyNotify(kPpnUnattendedMode, 0));
    EXPECT_EQ(Flags(), kPowerStateSuspend);
    EXPECT_EQ(JournalEffects(), (std::vector<std::string>{
                                    "unattended mode on", "unattended mode on",
                                    "power request suspend -> unattended", "unattended mode off",
                                    "unattended mode off", "unattended mode off"}));
}

TEST_F(PowerStateTest, HoldOfAnEndedProcessDoesNotKeepTheDeviceRunning) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(PowerPolicyNotify(kPpnUnattendedMode, 1) ? 0 : 1);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(SetSystemPowerState({}, kPowerStateSuspend, 0), kErrorSuccess);
    EXPECT_EQ(Flags(), kPowerStateSuspend);
    PowerState state;
    ASSERT_TRUE(ReadPowerState(&state));
    EXPECT_TRUE(state.unattendedHolders.empty());
}

TEST_F(PowerStateTest, LeavingSuspendFiresTheWakeUpNotifications) {
    NotificationTrigger wake;
    wake.type = kNotificationTriggerEvent;
    wake.event = kNotificationEventWakeup;
    wake.application = u"\\Windows\\Tallowd.exe";
    wake.arguments = u"40";
    ASSERT_NE(SetUserNotification(wake), 0u);
    // Already on: no wake-up.
    EXPECT_EQ(SetSystemPowerState({}, kPowerStateOn, 0), kErrorSuccess);
    EXPECT_TRUE(SetDevicePower(DevicePower::kSuspend));
    EXPECT_TRUE(SetDevicePower(DevicePower::kOn));  // the power key
    EXPECT_EQ(SetSystemPowerState({}, kPowerStateSuspend, 0), kErrorSuccess);
    EXPECT_EQ(SetSystemPowerState({}, kPowerStateIdle, 0), kErrorSuccess);
    std::vector<std::string> effects = JournalEffects();
    ASSERT_EQ(effects.size(), 7u);
    EXPECT_EQ(effects[0], "power request on");
    EXPECT_EQ(effects[1], "power suspend");
    EXPECT_EQ(effects[2], "power on");
    EXPECT_EQ(effects[3].rfind("start failed \\Windows\\Tallowd.exe 40", 0), 0u) << effects[3];
    EXPECT_EQ(effects[4], "power request suspend");
    EXPECT_EQ(effects[5], "power request idle");
    EXPECT_EQ(effects[6].rfind("start failed \\Windows\\Tallowd.exe 40", 0), 0u) << effects[6];
}

TEST_F(PowerStateTest, DamagedStateReadsAsFailureAndIsReplacedByTheNextChange) {
    StoreExec(device_.Root(), "INSERT OR REPLACE INTO power_state(id, power) VALUES(1, 'sideways')");
    PowerState state;
    EXPECT_FALSE(ReadPowerState(&state));
    EXPECT_NE(GetSystemPowerState(nullptr, nullptr), kErrorSuccess);
    EXPECT_TRUE(SetDevicePower(DevicePower::kIdle));
    ASSERT_TRUE(ReadPowerState(&state));
    EXPECT_EQ(state.power, DevicePower::kIdle);
}

}  // namespace
