#include "common/device/probes.h"

#include "common/device/bluetooth.h"
#include "common/device/radio_states.h"
#include "platform/power/power_status.h"
#include "platform/storage/registry.h"

namespace tlw {
namespace {

// The shell's registry reader: a missing value reads as 0.
uint32_t StateValue(plat::HKey root, std::u16string_view key, std::u16string_view name) {
    uint32_t value = 0;
    plat::RegReadDword(root, key, name, &value);
    return value;
}

}  // namespace

bool IsOnExternalPower() {
    plat::SystemPowerStatusEx2 status{};
    if (plat::GetSystemPowerStatusEx2(&status, sizeof(status), true) == 0) return false;
    return status.ACLineStatus == plat::kAcLineOnline && status.BatteryLifePercent != plat::kPercentUnknown;
}

bool IsCradled() { return StateValue(plat::kHkeyLocalMachine, kStateHardwareKey, kCradledValue) == 1; }

bool IsHeadsetConnected() {
    uint32_t handsfree = StateValue(plat::kHkeyLocalMachine, kStateHardwareKey, kHandsfreeValue);
    uint32_t headset = StateValue(plat::kHkeyLocalMachine, kStateHardwareKey, kHeadsetValue);
    bool bluetoothAudio = false;
    if (WidcommTrayPresent() && IsNewWidcommVersion(ReadWidcommVersion()))
        bluetoothAudio = (StateValue(plat::kHkeyLocalMachine, kStateHardwareKey, kBluetoothValue) & kBluetoothAudioBit) != 0;
    return handsfree == 1 || headset == 1 || bluetoothAudio;
}

bool IsPhoneOn() { return (StateValue(plat::kHkeyLocalMachine, kStatePhoneKey, kPhoneStatusValue) & kPhoneRadioOffBit) == 0; }

bool IsPushMailOn() { return StateValue(plat::kHkeyCurrentUser, kActiveSyncKey, kKeepAliveValue) != 0; }

bool IsDataConnected() { return StateValue(plat::kHkeyLocalMachine, kCellularKey, kCellularCountValue) != 0; }

void GetDeviceStates(uint32_t* wifi, int32_t* phone, int32_t* bluetooth, int32_t* pushMail, int32_t* dataConnection) {
    *wifi = GetWifiState();
    *phone = IsPhoneOn() ? 1 : 0;
    GetBluetoothState(bluetooth);
    *pushMail = IsPushMailOn() ? 1 : 0;
    *dataConnection = IsDataConnected() ? 1 : 0;
}

}  // namespace tlw
