#include "platform/radio/wifi_oem.h"

#include <string>

#include "platform/hardware/device_model.h"
#include "platform/hardware/hardware.h"
#include "platform/storage/journal.h"

namespace plat {
namespace {

// Switches the radio itself, past the wireless-device switch.
int32_t SwitchWifi(const std::string& call, bool on) {
    JournalAppend(call + ": Wi-Fi " + (on ? "on" : "off"));
    if (!CurrentDeviceModel().hasWifi) return 0;
    return ChangeHardwareState([on](HardwareState& s) {
               s.wifiState = on ? 1 : 0;
               s.wifiDueMs = 0;
           })
               ? 1
               : 0;
}

}  // namespace

int32_t OemSetWlanRadio(uint32_t* radioOff) {
    if (!radioOff) return 0;
    return SwitchWifi("OEMUtil SetWLANRadio " + std::to_string(*radioOff), *radioOff == 0);
}

int32_t AximSetWlanPowerStateEx(uint32_t* powerOn) {
    if (!powerOn || *powerOn > 1) return 0;
    return SwitchWifi("AximSDK SetWLANPowerStateEx " + std::to_string(*powerOn), *powerOn == 1);
}

int32_t ToggleWifiRadioDirect() {
    if (!CurrentDeviceModel().hasWifi) return -1;
    uint32_t now = 0;
    bool ok = ChangeHardwareState([&now](HardwareState& s) {
        s.wifiState = s.wifiState != 0 ? 0 : 1;
        s.wifiDueMs = 0;
        now = s.wifiState;
    });
    if (!ok) return -1;
    JournalAppend(std::string("Wi-Fi ") + (now ? "on" : "off"));
    return static_cast<int32_t>(now);
}

}  // namespace plat
