// Profile activation's radio, push-mail and data steps on the simulated
// phone: push mail goes off before the phone radio, and the data connection
// and push interval follow a phone switched on by the profile.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/device/probes.h"
#include "engine/engine_messages.h"
#include "engine_fixture.h"
#include "platform/hardware/hardware.h"
#include "platform/kernel/threads.h"
#include "platform/storage/journal.h"

namespace tlw::testing {
namespace {

class ActivationRadiosTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        plat::SetSleepHook([](uint32_t) {});  // the waits of the operations pass at once
    }
    void TearDown() override {
        plat::SetSleepHook(nullptr);
        EngineTest::TearDown();
    }
    static plat::HardwareState Hw() {
        plat::HardwareState hw;
        plat::ReadHardwareState(&hw);
        return hw;
    }
    // Position of the first journal line containing text; -1 when none.
    static int Line(const std::string& text) {
        std::vector<std::string> lines = plat::JournalRead();
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].find(text) != std::string::npos) return static_cast<int>(i);
        return -1;
    }
};

TEST_F(ActivationRadiosTest, PhoneOffProfileSwitchesPushMailOffFirstAndTheRadiosAsAsked) {
    ASSERT_TRUE(plat::ChangeHardwareState([](plat::HardwareState& s) { s.peakFrequency = -1; }));
    Profile& p = AddProfile(kEventManual);
    p.radio[kRadioWifi] = 1;
    p.radio[kRadioBluetooth] = 3;
    p.radio[kRadioPhone] = 0;
    p.push_email = 0;
    p.data_call = 1;
    Process(kParamManualBase);
    plat::HardwareState hw = Hw();
    EXPECT_EQ(hw.wifiState, 1u);
    EXPECT_EQ(hw.bluetoothMode, 2u);  // on and discoverable
    EXPECT_EQ(hw.phoneState, 0u);
    EXPECT_EQ(hw.peakFrequency, 0);
    int pushOff = Line("value=\"0\"/>");
    int phoneOff = Line("radio switch phone off");
    ASSERT_GE(pushOff, 0);
    EXPECT_LT(pushOff, phoneOff);
    // Push mail went off once only.
    std::vector<std::string> lines = plat::JournalRead();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.find("value=\"0\"/>") != std::string::npos; }),
              1);
}

TEST_F(ActivationRadiosTest, PhoneOnProfileOpensDataAndSetsTheIntervalOnceTheRadioIsOn) {
    ASSERT_TRUE(plat::SetPhoneRadioHardware(false));
    Profile& p = AddProfile(kEventManual);
    p.radio[kRadioWifi] = 2;
    p.radio[kRadioBluetooth] = 2;
    p.radio[kRadioPhone] = 1;
    p.push_email = 5;  // every 15 minutes
    p.data_call = 2;
    Process(kParamManualBase);
    plat::HardwareState hw = Hw();
    EXPECT_EQ(hw.phoneState, 1u);
    EXPECT_EQ(hw.peakFrequency, 15);
    EXPECT_TRUE(IsDataConnected());
    EXPECT_LT(Line("line equipment state 5"), Line("connection request"));
    EXPECT_EQ(Line("radio switch Wi-Fi"), -1);
    EXPECT_EQ(Line("radio switch Bluetooth"), -1);
}

}  // namespace
}  // namespace tlw::testing
