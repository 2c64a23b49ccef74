// Device state probes: external power, cradle, audio accessories, phone
// radio, push mail and the cellular data connection, read from the power
// status and the platform's state registry (System\State\...). They change
// nothing and may be called from any thread.
#pragma once

#include <cstdint>

namespace tlw {

// State registry keys and values the probes read.
inline constexpr char16_t kStateHardwareKey[] = u"System\\State\\Hardware";  // HKLM
inline constexpr char16_t kCradledValue[] = u"Cradled";
inline constexpr char16_t kHandsfreeValue[] = u"Handsfree";
inline constexpr char16_t kHeadsetValue[] = u"Headset";
inline constexpr char16_t kBluetoothValue[] = u"Bluetooth";
inline constexpr uint32_t kBluetoothAudioBit = 0x10;  // a Bluetooth audio device (new WIDCOMM stack)
inline constexpr char16_t kStatePhoneKey[] = u"System\\State\\Phone";  // HKLM
inline constexpr char16_t kPhoneStatusValue[] = u"Status";
inline constexpr uint32_t kPhoneRadioOffBit = 0x10;
inline constexpr char16_t kActiveSyncKey[] = u"SOFTWARE\\Microsoft\\ActiveSync";  // HKCU
inline constexpr char16_t kKeepAliveValue[] = u"KeepAlive";
inline constexpr char16_t kCellularKey[] = u"System\\State\\Connections\\Cellular";  // HKLM
inline constexpr char16_t kCellularCountValue[] = u"Count";

// `IsOnExternalPower`: the AC line status is 1 and the battery percentage is
// known (not 255).
bool IsOnExternalPower();
// `IsCradled`: Cradled is 1.
bool IsCradled();
// `IsHeadsetConnected`: Handsfree is 1, or Headset is 1, or (with the
// WIDCOMM tray present and a new WIDCOMM version) bit 0x10 of Bluetooth is
// set. Bluetooth is read only in that last case.
bool IsHeadsetConnected();
// `IsPhoneOn`: bit 0x10 (radio off) of Status is clear; a missing value
// counts as on.
bool IsPhoneOn();
// `IsPushMailOn`: KeepAlive is not 0.
bool IsPushMailOn();
// `IsDataConnected`: the cellular connection Count is not 0.
bool IsDataConnected();

// `GetDeviceStates`: fills the five switches shown by the popup menu and the
// Today item, read in this order: Wi-Fi (its raw state), phone, Bluetooth,
// push mail, data connection (each 1 or 0).
void GetDeviceStates(uint32_t* wifi, int32_t* phone, int32_t* bluetooth, int32_t* pushMail, int32_t* dataConnection);

}  // namespace tlw
