// Backlight brightness across the device families: the generic phone's
// brightness values, change events and driver codes, a TOSHIBA's and an
// LGE's scales, the iPAQ and HTC utilities (and an HTC told not to use its
// utility), the level stored for the next wake-up while the device sleeps,
// and the power time-outs.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/config/registry_key.h"
#include "common/device/device_operations.h"
#include "common/device/ipaq_utility.h"
#include "device_fixture.h"
#include "platform/hardware/hardware.h"
#include "platform/notify/user_notify.h"
#include "platform/power/power_state.h"

namespace {

using namespace tlw;

constexpr char16_t kEngine[] = u"\\Windows\\Tallowd.exe";
constexpr char16_t kBacklight[] = u"ControlPanel\\Backlight";

class BacklightTest : public ModelDevice {
protected:
    plat::HardwareState Hardware() {
        plat::HardwareState h;
        plat::ReadHardwareState(&h);
        return h;
    }
    uint32_t Saved() { return UserDword(kTallowinKey, u"BrightNess"); }
    // The notifications that wake the engine, as "event N: APP ARGS".
    std::vector<std::string> WakeUps() {
        std::vector<plat::UserNotificationInfo> all;
        plat::ListUserNotifications(&all);
        std::vector<std::string> out;
        for (const auto& n : all)
            out.push_back("event " + std::to_string(n.trigger.event) + ": " +
                          std::string(n.trigger.application.begin(), n.trigger.application.end()) + " " +
                          std::string(n.trigger.arguments.begin(), n.trigger.arguments.end()));
        return out;
    }
    static size_t Count(const std::vector<std::string>& effects, const std::string& prefix) {
        return std::count_if(effects.begin(), effects.end(),
                             [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
    }
    // The effects of one generic application of device level N, in order.
    static std::vector<std::string> GenericEffects(uint32_t n) {
        std::vector<std::string> e;
        for (const char* name : {"BackLightChangeEvent", "HTC_BackLightChangeEvent", "EtenBackLightChangedEvent",
                                 "SDKBackLightChangeEvent", "BacklightNotifyEvent", "BackLightNotifyEvent",
                                 "ackLightChangeEvent", "BackLightLevelChangeEvent"})
            e.push_back(std::string("event ") + name + " set");
        for (const char* code : {"0x00000002", "0x00000007", "0x00000008", "0x00000010", "0x0000000C", "0x00000014",
                                 "0x00000018", "0x00000020", "0x01040008", "0x86662198", "0x8666219C", "0xA201A004"})
            e.push_back(std::string("BKL1: control ") + code + " input " + std::to_string(n));
        return e;
    }
};

TEST_F(BacklightTest, GenericPhoneWritesEveryValueSignalsAndDrivesTheDriver) {
    UseModel("generic-qvga");
    EXPECT_EQ(GetBacklightLevel(false, 4), 3);
    SetBacklight(1, kEngine, false, 4);
    EXPECT_EQ(Saved(), 1u);
    EXPECT_EQ(UserDword(kBacklight, u"BatteryBrightness"), 1u);
    EXPECT_EQ(UserDword(kBacklight, u"ACBrightness"), 1u);
    EXPECT_EQ(Dword(plat::kHkeyCurrentUser, kBacklight, u"CurBrightness"), 0xDEADBEEFu);  // not there, not made
    EXPECT_EQ(NewEffects(), GenericEffects(1));
    EXPECT_EQ(Hardware().brightness, 1u);
    EXPECT_EQ(GetBacklightLevel(false, 4), 1);
    EXPECT_TRUE(WakeUps().empty());
}

TEST_F(BacklightTest, TheLevelAlreadyShownChangesNothing) {
    UseModel("generic-qvga");
    SetBacklight(3, kEngine, false, 4);
    EXPECT_EQ(Dword(plat::kHkeyCurrentUser, kTallowinKey, u"BrightNess"), 0xDEADBEEFu);
    EXPECT_TRUE(NewEffects().empty());
    // Disagreeing values make the level unknown (100), so any level applies.
    plat::RegWriteDword(plat::kHkeyCurrentUser, kBacklight, u"ACBrightness", 2);
    EXPECT_EQ(GetBacklightLevel(false, 4), 100);
    SetBacklight(3, kEngine, false, 4);
    EXPECT_EQ(UserDword(kBacklight, u"ACBrightness"), 3u);
}

TEST_F(BacklightTest, WhileAsleepTheLevelWaitsForTheWakeUp) {
    UseModel("generic-qvga");
    ASSERT_TRUE(plat::SetDevicePower(plat::DevicePower::kSuspend));
    NewEffects();
    // An older wake-up of the engine and notifications of others.
    plat::NotificationTrigger old;
    old.type = plat::kNotificationTriggerEvent;
    old.event = plat::kNotificationEventWakeup;
    old.application = kEngine;
    old.arguments = u"40";
    ASSERT_NE(plat::SetUserNotification(old), 0u);
    plat::NotificationTrigger other = old;
    other.application = u"\\Windows\\Other.exe";
    ASSERT_NE(plat::SetUserNotification(other), 0u);
    plat::NotificationTrigger power = old;
    power.event = plat::kNotificationEventAcPowerOn;
    ASSERT_NE(plat::SetUserNotification(power), 0u);

    SetBacklight(1, kEngine, false, 4);
    SetBacklight(2, kEngine, false, 4);
    EXPECT_EQ(Saved(), 2u);
    EXPECT_EQ(UserDword(kBacklight, u"BatteryBrightness"), 3u);  // not yet
    EXPECT_EQ(Hardware().brightness, 3u);
    EXPECT_TRUE(NewEffects().empty());
    std::vector<std::string> wakeUps = WakeUps();
    EXPECT_EQ(Count(wakeUps, "event 11: \\Windows\\Tallowd.exe 40"), 1u);
    EXPECT_EQ(Count(wakeUps, "event 11: \\Windows\\Other.exe 40"), 1u);
    EXPECT_EQ(Count(wakeUps, "event 3: \\Windows\\Tallowd.exe 40"), 1u);

    // Applying cannot happen while asleep either.
    ApplyBacklight(kEngine, false, 4);
    EXPECT_EQ(UserDword(kBacklight, u"BatteryBrightness"), 3u);
    EXPECT_EQ(Count(WakeUps(), "event 11: \\Windows\\Tallowd.exe"), 1u);
}

TEST_F(BacklightTest, ToshibaKeepsLevelTimes43) {
    UseModel("toshiba");
    EXPECT_EQ(GetBacklightLevel(true, 5), 2);  // 129 / 43 - 1
    SetBacklight(3, kEngine, true, 5);
    EXPECT_EQ(UserDword(kBacklight, u"Brightness"), 172u);
    std::vector<std::string> effects = NewEffects();
    EXPECT_EQ(effects, GenericEffects(4));
    EXPECT_EQ(GetBacklightLevel(true, 5), 3);
}

TEST_F(BacklightTest, LgeDoublesTheLevel) {
    UseModel("lge");
    EXPECT_EQ(GetBacklightLevel(false, 4), 3);  // 6 / 2
    SetBacklight(2, kEngine, false, 4);
    EXPECT_EQ(UserDword(kBacklight, u"BatteryBrightness"), 4u);
    EXPECT_EQ(UserDword(kBacklight, u"ACBrightness"), 4u);
    EXPECT_EQ(NewEffects(), GenericEffects(4));
    EXPECT_EQ(GetBacklightLevel(false, 4), 2);
}

TEST_F(BacklightTest, BacklightLevelTakesLevelTimes25AndItsOwnCode) {
    UseModel("generic-qvga");
    plat::RegWriteDword(plat::kHkeyCurrentUser, kBacklight, u"BacklightLevel", 75);
    SetBacklight(2, kEngine, false, 4);
    EXPECT_EQ(UserDword(kBacklight, u"BacklightLevel"), 50u);
    EXPECT_EQ(UserDword(kBacklight, u"BatteryBrightness"), 2u);
    std::vector<std::string> expected = GenericEffects(2);
    expected.push_back("BKL1: control 0x24321101 input 50");
    EXPECT_EQ(NewEffects(), expected);
    EXPECT_EQ(Hardware().brightness, 2u);  // the driver scales the last code back down
    // Read back on the others' scale, the level agrees with itself.
    EXPECT_EQ(GetBacklightLevel(false, 4), 2);
    SetBacklight(2, kEngine, false, 4);
    EXPECT_TRUE(NewEffects().empty());
}

TEST_F(BacklightTest, IpaqGoesThroughItsUtility) {
    UseModel("ipaq");
    EXPECT_EQ(GetBacklightLevel(false, 5), 2);  // 4 x 14 / 20
    SetBacklight(4, kEngine, false, 5);
    std::vector<std::string> effects = NewEffects();
    EXPECT_EQ(Count(effects, "load library iPAQUtil.dll"), effects.size() - 2);  // no driver, no events
    EXPECT_EQ(std::vector<std::string>(effects.end() - 2, effects.end()),
              (std::vector<std::string>{"iPAQUtil battery brightness 20", "iPAQUtil power brightness 20"}));
    EXPECT_EQ(Hardware().brightness, 20u);
    EXPECT_EQ(Hardware().brightnessExternal, 20u);
    EXPECT_EQ(GetBacklightLevel(false, 5), 4);
}

TEST_F(BacklightTest, IpaqWithOneLevelDoesNotDivideByZero) {
    UseModel("ipaq");
    SetBacklight(0, kEngine, true, 1);  // stored 0, device level 1 of a one-step scale
    EXPECT_EQ(Hardware().brightness, 20u);
    SetBacklight(0, kEngine, false, 0);  // a level count never set
    EXPECT_EQ(Hardware().brightness, 0u);
}

TEST_F(BacklightTest, IpaqRefusalStaysInsideTheDeviceLayer) {
    UseModel("ipaq");
    EXPECT_NO_THROW(SetBacklight(5, kEngine, false, 2));  // 100 on a 0 ... 20 scale
    EXPECT_EQ(Saved(), 5u);
    EXPECT_EQ(Hardware().brightness, 14u);
    try {
        Dizudo::iPAQ::Utility::SetOnExternalBrightness(21);
        ADD_FAILURE() << "a refused level must throw";
    } catch (const Dizudo::iPAQ::Utility::iPAQUtilException& e) {
        EXPECT_STREQ(e.what(), "Get Backlight::OnExternal::Brightness failed");
    }
    EXPECT_THROW(Dizudo::iPAQ::Utility::SetOnBatteryBrightness(21), Dizudo::iPAQ::Utility::iPAQUtilException);
}

TEST_F(BacklightTest, HtcUsesItsUtilityUnlessToldNotTo) {
    UseModel("htc");
    SetBacklight(1, kEngine, false, 4);
    EXPECT_EQ(NewEffects(), (std::vector<std::string>{"load library htcutil.dll", "htcutil power brightness 1",
                                                      "htcutil battery brightness 1"}));
    EXPECT_EQ(UserDword(kBacklight, u"BatteryBrightness"), 3u);  // the utility keeps its own

    plat::RegWriteDword(plat::kHkeyCurrentUser, kTallowinKey, u"NotUseHTCutil", 1);
    SetBacklight(2, kEngine, false, 4);
    EXPECT_EQ(UserDword(kBacklight, u"BatteryBrightness"), 2u);
    EXPECT_EQ(NewEffects(), GenericEffects(2));
}

TEST_F(BacklightTest, TimeoutsGoToTheirKeysAndSuspendOnesReloadThePowerManager) {
    UseModel("generic-qvga");
    SetBacklightTimeoutBattery(10);
    SetBacklightTimeoutExternal(0);
    EXPECT_EQ(UserDword(u"ControlPanel\\BackLight", u"BatteryTimeout"), 10u);
    EXPECT_EQ(UserDword(u"ControlPanel\\BackLight", u"ACTimeout"), 0u);
    EXPECT_TRUE(NewEffects().empty());
    SetSuspendTimeoutBattery(300);
    SetSuspendTimeoutExternal(900);
    constexpr char16_t kTimeouts[] = u"System\\CurrentControlSet\\Control\\Power\\Timeouts";
    EXPECT_EQ(Dword(plat::kHkeyLocalMachine, kTimeouts, u"BattSuspendTimeout"), 300u);
    EXPECT_EQ(Dword(plat::kHkeyLocalMachine, kTimeouts, u"ACSuspendTimeout"), 900u);
    EXPECT_EQ(NewEffects(), (std::vector<std::string>{"event PowerManager/ReloadActivityTimeouts set",
                                                      "event PowerManager/ReloadActivityTimeouts set"}));
    // A phone without the key keeps no time-out.
    plat::RegDeleteKey(plat::kHkeyCurrentUser, u"ControlPanel\\BackLight");
    SetBacklightTimeoutBattery(60);
    EXPECT_EQ(Dword(plat::kHkeyCurrentUser, u"ControlPanel\\BackLight", u"BatteryTimeout"), 0xDEADBEEFu);
}

}  // namespace
