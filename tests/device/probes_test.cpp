// The device state probes over their edge cases: power, cradle, audio
// accessories (with and without the WIDCOMM tray), phone, push mail, data,
// the wireless-device switch and the Bluetooth state.
#include "common/device/probes.h"

#include <gtest/gtest.h>

#include <fstream>

#include "common/device/bluetooth.h"
#include "common/device/radio_states.h"
#include "platform/hardware/hardware.h"
#include "platform/message/message_loop.h"
#include "platform/storage/registry.h"
#include "platform/window/window.h"
#include "support/temp_device.h"

namespace {

using namespace tlw;

class ProbesTest : public ::testing::Test {
protected:
    void TearDown() override {
        if (tray_) plat::DestroyWindow(tray_);
        plat::UnregisterClass(kWidcommTrayClass);
    }
    void UseModel(const std::string& text) {
        std::ofstream out(device_.StateDir() / "model", std::ios::binary | std::ios::trunc);
        out << text;
    }
    void SetHardware(std::u16string_view name, uint32_t value) {
        ASSERT_TRUE(plat::RegWriteDword(plat::kHkeyLocalMachine, kStateHardwareKey, name, value));
    }
    void SetWidcommVersion(std::u16string_view version) {
        ASSERT_TRUE(plat::RegWriteString(plat::kHkeyLocalMachine, plat::kWidcommVersionKey, plat::kWidcommVersionValue,
                                         version));
    }
    // The WIDCOMM stack's tray window, as its tray program shows it.
    void OpenTrayWindow() {
        plat::WndClass c;
        c.className = kWidcommTrayClass;
        c.proc = &plat::DefWindowProc;
        ASSERT_TRUE(plat::RegisterClass(c));
        tray_ = plat::CreateWindow(kWidcommTrayClass, u"BtTray", 0, 0, 0, 0, 0, plat::Hwnd{});
        ASSERT_TRUE(static_cast<bool>(tray_));
    }
    void SetPower(uint8_t ac, uint8_t percent) {
        ASSERT_TRUE(plat::ChangeHardwareState([&](plat::HardwareState& h) {
            h.acLineStatus = ac;
            h.batteryPercent = percent;
        }));
    }

    TempDevice device_;
    plat::Hwnd tray_;
};

TEST_F(ProbesTest, ExternalPowerNeedsTheLineAndAKnownBattery) {
    SetPower(1, 50);
    EXPECT_TRUE(IsOnExternalPower());
    SetPower(1, 255);
    EXPECT_FALSE(IsOnExternalPower());
    SetPower(0, 50);
    EXPECT_FALSE(IsOnExternalPower());
    SetPower(255, 50);
    EXPECT_FALSE(IsOnExternalPower());
}

TEST_F(ProbesTest, CradleCountsOnlyAsOne) {
    EXPECT_FALSE(IsCradled());
    SetHardware(kCradledValue, 2);
    EXPECT_FALSE(IsCradled());
    SetHardware(kCradledValue, 1);
    EXPECT_TRUE(IsCradled());
}

TEST_F(ProbesTest, HeadsetAndHandsfreeCountOnlyAsOne) {
    EXPECT_FALSE(IsHeadsetConnected());
    SetHardware(kHeadsetValue, 2);
    EXPECT_FALSE(IsHeadsetConnected());
    SetHardware(kHandsfreeValue, 1);
    EXPECT_TRUE(IsHeadsetConnected());
    SetHardware(kHandsfreeValue, 0);
    SetHardware(kHeadsetValue, 1);
    EXPECT_TRUE(IsHeadsetConnected());
}

TEST_F(ProbesTest, BluetoothAudioCountsOnlyWithTheNewWidcommTray) {
    SetHardware(kBluetoothValue, 0x10);
    SetWidcommVersion(u"1.9.1");
    EXPECT_FALSE(IsHeadsetConnected());  // no tray window: Bluetooth is not read
    OpenTrayWindow();
    EXPECT_TRUE(IsHeadsetConnected());
    SetHardware(kBluetoothValue, 0x0F);
    EXPECT_FALSE(IsHeadsetConnected());  // other bits do not count
    SetHardware(kBluetoothValue, 0x10);
    SetWidcommVersion(u"1.4.2");
    EXPECT_FALSE(IsHeadsetConnected());  // an older stack
    SetWidcommVersion(u"2.0");
    EXPECT_TRUE(IsHeadsetConnected());
}

TEST(WidcommVersion, NewFromOneNineAndFromTwo) {
    EXPECT_TRUE(IsNewWidcommVersion("1.9.1"));
    EXPECT_TRUE(IsNewWidcommVersion("2.0"));
    EXPECT_TRUE(IsNewWidcommVersion("3.11"));
    EXPECT_FALSE(IsNewWidcommVersion("1.4.2"));
    EXPECT_TRUE(IsNewWidcommVersion("1.9"));
    EXPECT_FALSE(IsNewWidcommVersion("19"));
    EXPECT_FALSE(IsNewWidcommVersion(""));
    EXPECT_FALSE(IsNewWidcommVersion("0.9.9"));
}

TEST_F(ProbesTest, PhoneIsOnUnlessTheRadioOffBitIsSet) {
    EXPECT_TRUE(IsPhoneOn());  // Status missing
    plat::RegWriteDword(plat::kHkeyLocalMachine, kStatePhoneKey, kPhoneStatusValue, 0x10);
    EXPECT_FALSE(IsPhoneOn());
    plat::RegWriteDword(plat::kHkeyLocalMachine, kStatePhoneKey, kPhoneStatusValue, 0x20011);
    EXPECT_FALSE(IsPhoneOn());
    plat::RegWriteDword(plat::kHkeyLocalMachine, kStatePhoneKey, kPhoneStatusValue, 0x20001);
    EXPECT_TRUE(IsPhoneOn());
}

TEST_F(ProbesTest, PushMailAndDataAreAnyNonZeroValue) {
    EXPECT_FALSE(IsPushMailOn());
    EXPECT_FALSE(IsDataConnected());
    plat::RegWriteDword(plat::kHkeyCurrentUser, kActiveSyncKey, kKeepAliveValue, 300);
    plat::RegWriteDword(plat::kHkeyLocalMachine, kCellularKey, kCellularCountValue, 2);
    EXPECT_TRUE(IsPushMailOn());
    EXPECT_TRUE(IsDataConnected());
}

TEST_F(ProbesTest, RadioStatesStopAfterWifiAndPhone) {
    UseModel("libraries=ossvcs.dll\nradios=wifi,phone,bluetooth\n");
    plat::ChangeHardwareState([](plat::HardwareState& h) {
        h.wifiState = 1;
        h.phoneState = 0;
        h.bluetoothMode = 1;
    });
    uint32_t wifi = 7, phone = 7, bluetooth = 7;
    GetRadioStates(&wifi, &phone, &bluetooth);
    EXPECT_EQ(wifi, 1u);
    EXPECT_EQ(phone, 0u);
    EXPECT_EQ(bluetooth, 7u);  // listed after the two nodes that end the walk

    // Without a phone node the Bluetooth node is reached.
    UseModel("libraries=ossvcs.dll\nradios=wifi,bluetooth\n");
    wifi = phone = bluetooth = 7;
    GetRadioStates(&wifi, &phone, &bluetooth);
    EXPECT_EQ(wifi, 1u);
    EXPECT_EQ(phone, 7u);
    EXPECT_EQ(bluetooth, 1u);
    EXPECT_EQ(GetWifiState(), 1u);
}

TEST_F(ProbesTest, RadioStatesWithoutTheSwitchLibraryKeepTheCallersValues) {
    UseModel("libraries=bthutil.dll\n");
    plat::ChangeHardwareState([](plat::HardwareState& h) { h.wifiState = 1; });
    uint32_t wifi = 5, phone = 6, bluetooth = 7;
    GetRadioStates(&wifi, &phone, &bluetooth);
    EXPECT_EQ(wifi, 5u);
    EXPECT_EQ(phone, 6u);
    EXPECT_EQ(bluetooth, 7u);
    EXPECT_EQ(GetWifiState(), 0u);
}

TEST_F(ProbesTest, BluetoothStatePrefersStackModeOverTheUtilityLibrary) {
    UseModel("libraries=bthutil.dll\n");
    plat::ChangeHardwareState([](plat::HardwareState& h) { h.bluetoothMode = 2; });
    int32_t state = 9;
    GetBluetoothState(&state);
    EXPECT_EQ(state, 1);  // mode 2 counts as on

    plat::RegWriteDword(plat::kHkeyLocalMachine, plat::kWidcommGeneralKey, plat::kWidcommStackModeValue, 0);
    GetBluetoothState(&state);
    EXPECT_EQ(state, 0);  // StackMode is read first
    plat::RegWriteDword(plat::kHkeyLocalMachine, plat::kWidcommGeneralKey, plat::kWidcommStackModeValue, 3);
    GetBluetoothState(&state);
    EXPECT_EQ(state, 1);

    UseModel("libraries=ossvcs.dll\n");
    plat::RegDeleteKey(plat::kHkeyLocalMachine, plat::kWidcommGeneralKey);
    GetBluetoothState(&state);
    EXPECT_EQ(state, 0);  // neither source answers
}

TEST_F(ProbesTest, DeviceStatesInOneCall) {
    UseModel("libraries=ossvcs.dll,bthutil.dll\nradios=wifi,phone,bluetooth\n");
    plat::ChangeHardwareState([](plat::HardwareState& h) {
        h.wifiState = 1;
        h.bluetoothMode = 1;
    });
    plat::RegWriteDword(plat::kHkeyLocalMachine, kStatePhoneKey, kPhoneStatusValue, 0x10);
    plat::RegWriteDword(plat::kHkeyCurrentUser, kActiveSyncKey, kKeepAliveValue, 1);
    uint32_t wifi = 9;
    int32_t phone = 9, bluetooth = 9, push = 9, data = 9;
    GetDeviceStates(&wifi, &phone, &bluetooth, &push, &data);
    EXPECT_EQ(wifi, 1u);
    EXPECT_EQ(phone, 0);
    EXPECT_EQ(bluetooth, 1);
    EXPECT_EQ(push, 1);
    EXPECT_EQ(data, 0);
}

}  // namespace
