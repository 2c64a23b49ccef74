// The wireless-device switch of "ossvcs.dll": the list of the phone's radios
// (Wi-Fi, phone, Bluetooth) with their states, and the call that switches
// one of them. Callers load the library and resolve the entries by ordinal
// (platform/hardware/library.h); the functions below are those entries.
//
// On the simulated phone the list holds one node per radio the device model
// has, in the order Wi-Fi, phone, Bluetooth. A change reaches the radio only
// when the model's radio follows the switch; otherwise the call still
// succeeds and the radio stays as it is, as on phones whose radio needs a
// maker's own utility. A Wi-Fi radio that follows late reaches the new state
// a second after the switch.
#pragma once

#include <cstdint>

namespace plat {

// Radio types of the list nodes.
enum : uint32_t { kRadioTypeWifi = 1, kRadioTypePhone = 2, kRadioTypeBluetooth = 3 };

// One node of the device list.
struct RadioDevice {
    const char16_t* deviceName;   // the radio's device name
    const char16_t* displayName;  // the name the user sees
    uint32_t state;               // current state: 0 off, else on
    uint32_t desiredState;        // the state last asked for
    uint32_t type;                // kRadioType*
    RadioDevice* next;            // the next node, null at the end
};

// Entry ordinals of ossvcs.dll.
inline constexpr uint32_t kOssvcsChangeRadioState = 273;
inline constexpr uint32_t kOssvcsGetWirelessDevices = 276;
inline constexpr uint32_t kOssvcsFreeDeviceList = 280;
inline constexpr uint32_t kOssvcs218 = 218;

// Ordinal 276: builds the list into *head (flags 0). Returns 0 on success.
int32_t OssvcsGetWirelessDevices(RadioDevice** head, uint32_t flags);
// Ordinal 273: switches the node's radio to state (0 off, 1 on); saveAction
// 1 keeps the state over a restart. Returns 0 on success.
int32_t OssvcsChangeRadioState(RadioDevice* node, uint32_t state, uint32_t saveAction);
// Ordinal 280: frees a list made by ordinal 276. Returns 0.
int32_t OssvcsFreeDeviceList(RadioDevice* head);
// Ordinal 218: a phone call service of the platform; journalled only.
int32_t Ossvcs218(uint32_t argument);

using OssvcsGetWirelessDevicesFn = int32_t (*)(RadioDevice** head, uint32_t flags);
using OssvcsChangeRadioStateFn = int32_t (*)(RadioDevice* node, uint32_t state, uint32_t saveAction);
using OssvcsFreeDeviceListFn = int32_t (*)(RadioDevice* head);
using Ossvcs218Fn = int32_t (*)(uint32_t argument);

}  // namespace plat
