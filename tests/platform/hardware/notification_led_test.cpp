// The notification-LED interface: the LED count, settings read back as
// set, the hardware state and journal, and refused requests.
#include <gtest/gtest.h>

#include "platform/hardware/hardware.h"
#include "platform/hardware/notification_led.h"
#include "support/journal_effects.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

int32_t LedMode(uint32_t led) {
    NledSettingsInfo settings;
    settings.LedNum = led;
    EXPECT_TRUE(NLedGetDeviceInfo(kNledSettingsInfoId, &settings));
    return settings.OffOnBlink;
}

bool SetLed(uint32_t led, int32_t mode) {
    NledSettingsInfo settings;
    settings.LedNum = led;
    settings.OffOnBlink = mode;
    return NLedSetDevice(kNledSettingsInfoId, &settings);
}

TEST(NotificationLedTest, SettingsAreKeptPerLedAndJournalledWhenTheyChange) {
    TempDevice device;
    NledCountInfo count;
    ASSERT_TRUE(NLedGetDeviceInfo(kNledCountInfoId, &count));
    EXPECT_EQ(count.cLeds, 2u);
    EXPECT_EQ(LedMode(0), kNledOff);

    EXPECT_TRUE(SetLed(1, kNledBlink));
    EXPECT_TRUE(SetLed(1, kNledBlink));  // no change, no journal line
    EXPECT_TRUE(SetLed(0, kNledOn));
    EXPECT_EQ(LedMode(1), kNledBlink);
    EXPECT_EQ(LedMode(0), kNledOn);
    HardwareState state;
    ASSERT_TRUE(ReadHardwareState(&state));
    EXPECT_EQ(state.leds[1], kNledBlink);
    EXPECT_TRUE(SetLed(1, kNledOff));
    EXPECT_EQ(JournalEffects(), (std::vector<std::string>{"led 1 blink", "led 0 on", "led 1 off"}));

    // The state survives its text form.
    HardwareState parsed;
    std::string error;
    ASSERT_TRUE(ParseHardwareState(FormatHardwareState(state), &parsed, &error)) << error;
    EXPECT_EQ(parsed.leds[0], kNledOn);
    EXPECT_EQ(parsed.leds[1], kNledBlink);
}

TEST(NotificationLedTest, RefusesUnknownLedsModesAndKinds) {
    TempDevice device;
    EXPECT_FALSE(SetLed(2, kNledBlink));
    EXPECT_FALSE(SetLed(0, 3));
    EXPECT_FALSE(SetLed(0, -1));
    NledCountInfo count;
    EXPECT_FALSE(NLedSetDevice(kNledCountInfoId, &count));
    EXPECT_FALSE(NLedSetDevice(kNledSettingsInfoId, nullptr));
    EXPECT_FALSE(NLedGetDeviceInfo(7, &count));
    NledSupportsInfo supports;
    supports.LedNum = 5;
    EXPECT_FALSE(NLedGetDeviceInfo(kNledSupportsInfoId, &supports));
    EXPECT_EQ(LedMode(0), kNledOff);
    EXPECT_TRUE(JournalEffects().empty());
}

}  // namespace
