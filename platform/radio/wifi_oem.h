// The makers' own Wi-Fi libraries, for phones whose Wi-Fi radio does not
// answer the wireless-device switch: "OEMUtil.dll" (entry "SetWLANRadio")
// and the handheld maker's "AximSDK.dll" (entry "SetWLANPowerStateEx").
// Callers load the library and resolve the entry by name
// (platform/hardware/library.h). Each call switches the simulated radio at
// once and is journalled ("OEMUtil SetWLANRadio 1: Wi-Fi off").
#pragma once

#include <cstdint>

namespace plat {

inline constexpr char kOemSetWlanRadio[] = "SetWLANRadio";
inline constexpr char kAximSetWlanPowerStateEx[] = "SetWLANPowerStateEx";

// OEMUtil.dll: *radioOff 0 switches the radio on, any other value off.
// Returns 1 on success, 0 for a null argument or a device without Wi-Fi.
int32_t OemSetWlanRadio(uint32_t* radioOff);
// AximSDK.dll: *powerOn 1 switches the radio on, 0 off. Returns 1 on
// success, 0 for a null argument, another value or a device without Wi-Fi.
int32_t AximSetWlanPowerStateEx(uint32_t* powerOn);

// The maker's Wi-Fi program ("\Windows\tfwifi.exe") drives the radio
// directly: each run toggles it. Returns the new state (1 on, 0 off), or -1
// on a device without Wi-Fi.
int32_t ToggleWifiRadioDirect();

using OemSetWlanRadioFn = int32_t (*)(uint32_t* radioOff);
using AximSetWlanPowerStateExFn = int32_t (*)(uint32_t* powerOn);

}  // namespace plat
