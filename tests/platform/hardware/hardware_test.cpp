// The simulated hardware: its state file, the power status built from it,
// and changes made by several processes at once.
#include "platform/hardware/hardware.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>


#include "platform/power/power_status.h"
#include "platform/storage/registry.h"
#include "support/store_sql.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

TEST(HardwareStateText, FormatThenParseGivesTheSameState) {
    HardwareState s;
    s.acLineStatus = 255;
    s.batteryPercent = 42;
    s.batteryCurrent = -350;
    s.charging = true;
    s.wifiState = 1;
    s.phoneState = 0;
    s.bluetoothMode = 2;
    s.call = CallState::kOffered;
    HardwareState back;
    std::string error;
    ASSERT_TRUE(ParseHardwareState(FormatHardwareState(s), &back, &error)) << error;
    EXPECT_EQ(FormatHardwareState(back), FormatHardwareState(s));
}

TEST(HardwareStateText, BadLinesLeaveTheStateAlone) {
    const char* bad[] = {"ac=2", "battery=101", "btmode=3", "call=ringing", "charging=yes", "colour=red", "wifi"};
    for (const char* line : bad) {
        HardwareState s;
        s.batteryPercent = 77;
        std::string error;
        EXPECT_FALSE(ParseHardwareState(std::string("battery=10\n") + line + "\n", &s, &error)) << line;
        EXPECT_EQ(s.batteryPercent, 77) << line;
        EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    }
}

class HardwareTest : public ::testing::Test {
protected:
    TempDevice device_;
};

TEST_F(HardwareTest, MissingFileReadsAsDefaults) {
    HardwareState s;
    s.batteryPercent = 3;
    EXPECT_TRUE(ReadHardwareState(&s));
    EXPECT_EQ(s.batteryPercent, 100);
    EXPECT_EQ(s.phoneState, 1u);
}

TEST_F(HardwareTest, UnreadableStateIsNeverOverwritten) {
    StoreExec(device_.Root(), "INSERT INTO hardware(key, value) VALUES('battery', 'many')");
    HardwareState s;
    EXPECT_FALSE(ReadHardwareState(&s));
    EXPECT_FALSE(ChangeHardwareState([](HardwareState& h) { h.wifiState = 1; }));
    EXPECT_EQ(StoreQuery(device_.Root(), "SELECT key, value FROM hardware"), "battery|many\n");
}

TEST_F(HardwareTest, ChangesOfTwoProcessesAreAllKept) {
    ASSERT_TRUE(ChangeHardwareState([](HardwareState& h) { h.batteryCurrent = 0; }));
    constexpr int kEach = 40;
    pid_t child = fork();
    ASSERT_GE(child, 0);
    for (int i = 0; i < kEach; ++i) ChangeHardwareState([](HardwareState& h) { ++h.batteryCurrent; });
    if (child == 0) _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    HardwareState s;
    ASSERT_TRUE(ReadHardwareState(&s));
    EXPECT_EQ(s.batteryCurrent, 2 * kEach);
}

TEST_F(HardwareTest, PhoneRadioKeepsNodeAndStatusBitTogether) {
    ASSERT_TRUE(RegWriteDword(kHkeyLocalMachine, kPhoneStateKey, kPhoneStatusValue, 0x10000001));
    ASSERT_TRUE(SetPhoneRadioHardware(false));
    uint32_t status = 0;
    ASSERT_TRUE(RegReadDword(kHkeyLocalMachine, kPhoneStateKey, kPhoneStatusValue, &status));
    EXPECT_EQ(status, 0x10000011u);  // other bits untouched
    HardwareState s;
    ReadHardwareState(&s);
    EXPECT_EQ(s.phoneState, 0u);
    ASSERT_TRUE(SetPhoneRadioHardware(true));
    RegReadDword(kHkeyLocalMachine, kPhoneStateKey, kPhoneStatusValue, &status);
    EXPECT_EQ(status, 0x10000001u);
}

TEST_F(HardwareTest, CallStateReachesTheStateRegistry) {
    uint32_t count = 9, status = 0;
    ASSERT_TRUE(SetCallHardware(CallState::kOffered));
    RegReadDword(kHkeyLocalMachine, kPhoneStateKey, kActiveCallCountValue, &count);
    RegReadDword(kHkeyLocalMachine, kPhoneStateKey, kPhoneStatusValue, &status);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(status & kPhoneStatusIncomingCall, kPhoneStatusIncomingCall);
    ASSERT_TRUE(SetCallHardware(CallState::kActive));
    RegReadDword(kHkeyLocalMachine, kPhoneStateKey, kActiveCallCountValue, &count);
    RegReadDword(kHkeyLocalMachine, kPhoneStateKey, kPhoneStatusValue, &status);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(status & kPhoneStatusIncomingCall, 0u);
}

TEST_F(HardwareTest, PowerStatusReportsTheHardware) {
    ASSERT_TRUE(ChangeHardwareState([](HardwareState& h) {
        h.acLineStatus = 1;
        h.batteryPercent = 50;
        h.batteryCurrent = 400;
        h.charging = true;
    }));
    SystemPowerStatusEx2 s{};
    ASSERT_EQ(GetSystemPowerStatusEx2(&s, sizeof(s), true), sizeof(s));
    EXPECT_EQ(s.ACLineStatus, 1);
    EXPECT_EQ(s.BatteryLifePercent, 50);
    EXPECT_EQ(s.BatteryCurrent, 400);
    EXPECT_EQ(s.BatteryFlag, kBatteryFlagLow | kBatteryFlagCharging);
    EXPECT_EQ(s.BatteryLifeTime, kLifeTimeUnknown);  // charging: no time left to tell

    ASSERT_TRUE(ChangeHardwareState([](HardwareState& h) {
        h.acLineStatus = 0;
        h.batteryPercent = 255;
        h.charging = false;
    }));
    ASSERT_EQ(GetSystemPowerStatusEx2(&s, sizeof(s), true), sizeof(s));
    EXPECT_EQ(s.BatteryLifePercent, 255);
    EXPECT_EQ(s.BatteryFlag, kBatteryFlagUnknown);
}

TEST_F(HardwareTest, PowerStatusFillsOnlyTheBytesAskedFor) {
    ASSERT_TRUE(ChangeHardwareState([](HardwareState& h) { h.acLineStatus = 1; }));
    uint8_t bytes[sizeof(SystemPowerStatusEx2) + 4];
    std::fill(std::begin(bytes), std::end(bytes), 0xEE);
    EXPECT_EQ(GetSystemPowerStatusEx2(reinterpret_cast<SystemPowerStatusEx2*>(bytes), 4, false), 4u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[4], 0xEE);
    EXPECT_EQ(GetSystemPowerStatusEx2(nullptr, 56, false), 0u);
}

}  // namespace
