#include "platform/hardware/wireless_switch.h"

#include <string>

#include "platform/hardware/device_model.h"
#include "platform/hardware/hardware.h"
#include "platform/storage/journal.h"
#include "platform/storage/registry.h"

namespace plat {
namespace {

constexpr int32_t kSuccess = 0;
constexpr int32_t kFailure = -1;

RadioDevice* NewNode(const char16_t* device, const char16_t* display, uint32_t state, uint32_t type) {
    return new RadioDevice{device, display, state, state, type, nullptr};
}

const char* RadioName(uint32_t type) {
    switch (type) {
    case kRadioTypeWifi: return "Wi-Fi";
    case kRadioTypePhone: return "phone";
    default: return "Bluetooth";
    }
}

}  // namespace

int32_t OssvcsGetWirelessDevices(RadioDevice** head, uint32_t /*flags*/) {
    if (!head) return kFailure;
    *head = nullptr;
    HardwareState hw;
    if (!ReadHardwareState(&hw)) return kFailure;
    DeviceModel model = CurrentDeviceModel();
    RadioDevice** tail = head;
    if (model.hasWifi) {
        *tail = NewNode(u"WLAN1", u"Wi-Fi", hw.wifiState, kRadioTypeWifi);
        tail = &(*tail)->next;
    }
    if (model.hasPhone) {
        *tail = NewNode(u"RIL1", u"Phone", hw.phoneState, kRadioTypePhone);
        tail = &(*tail)->next;
    }
    if (model.hasBluetoothNode) {
        *tail = NewNode(u"BTH1", u"Bluetooth", hw.bluetoothMode != 0 ? 1 : 0, kRadioTypeBluetooth);
    }
    return kSuccess;
}

int32_t OssvcsChangeRadioState(RadioDevice* node, uint32_t state, uint32_t saveAction) {
    if (!node) return kFailure;
    bool on = state != 0;
    node->desiredState = state;
    JournalAppend(std::string("radio switch ") + RadioName(node->type) + (on ? " on" : " off") +
                  (saveAction ? "" : " (not saved)"));
    DeviceModel model = CurrentDeviceModel();
    bool ok = true;
    bool follows = false;  // the radio really changes
    switch (node->type) {
    case kRadioTypeWifi:
        follows = model.wifiFollowsSwitch;
        if (follows && model.wifiSwitchDelayMs != 0) {
            // The radio gets there later; the node keeps its state until then.
            int64_t due = HostTimeMs() + model.wifiSwitchDelayMs;
            return ChangeHardwareState([on, due](HardwareState& s) {
                       s.wifiTarget = on ? 1 : 0;
                       s.wifiDueMs = due;
                   })
                       ? kSuccess
                       : kFailure;
        }
        if (follows) ok = ChangeHardwareState([on](HardwareState& s) {
            s.wifiState = on ? 1 : 0;
            s.wifiDueMs = 0;
        });
        break;
    case kRadioTypePhone:
        follows = model.phoneFollowsSwitch;
        if (follows) ok = SetPhoneRadioHardware(on);
        break;
    case kRadioTypeBluetooth:
        follows = model.bluetoothFollowsSwitch;
        if (follows) {
            ok = ChangeHardwareState([on](HardwareState& s) {
                if (!on) s.bluetoothMode = 0;
                else if (s.bluetoothMode == 0) s.bluetoothMode = 1;  // on and connectable; discoverable stays
            });
        }
        break;
    default:
        return kFailure;
    }
    if (ok && follows) node->state = state;
    return ok ? kSuccess : kFailure;
}

int32_t OssvcsFreeDeviceList(RadioDevice* head) {
    while (head) {
        RadioDevice* next = head->next;
        delete head;
        head = next;
    }
    return kSuccess;
}

int32_t Ossvcs218(uint32_t argument) {
    JournalAppend("ossvcs 218 (" + std::to_string(argument) + ")");
    return kSuccess;
}

}  // namespace plat
