// The Bluetooth radio on both stacks the phones carry. The WIDCOMM stack is
// known by its tray window and driven by registered messages sent to it; the
// platform's own stack by the wireless-device switch and the Bluetooth
// utility library (bthutil.dll). The stack is detected at each call.
// (`SetBluetoothRadio` and `SetBluetoothVisible` are declared with the other
// device operations, common/device/device_operations.h.)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tlw {

// Window class of the WIDCOMM stack's tray window.
inline constexpr char16_t kWidcommTrayClass[] = u"WCE_BTTRAY";
// The WIDCOMM tray's registered messages.
inline constexpr char16_t kWidcommSetStackConfig[] = u"WIDCOMM_WM_SETSTACKCONFIG";
inline constexpr char16_t kWidcommStackUnload[] = u"WIDCOMM_WM_STACK_UNLOAD";
inline constexpr char16_t kWidcommStackLoad[] = u"WIDCOMM_WM_STACK_LOAD";
inline constexpr char16_t kWidcommRadioOn[] = u"WIDCOMM_WM_BTRADIO_ON";
inline constexpr char16_t kWidcommRadioOff[] = u"WIDCOMM_WM_BTRADIO_OFF";
// Longest WIDCOMM version string read, in characters.
constexpr size_t kWidcommVersionCapacity = 260;

// True when a top-level window of class "WCE_BTTRAY" exists, that is when
// the phone runs the WIDCOMM stack.
bool WidcommTrayPresent();

// The WIDCOMM version string (REG_SZ "Software" of
// HKLM\Software\WIDCOMM\Version) converted to narrow characters; empty when
// missing, cut to 260 characters.
std::string ReadWidcommVersion();

// A version counts as new when it has at least three characters and starts
// with "1" with "9" as its third character, or starts with a character "2"
// or above ("1.9.1", "2.0" are new; "1.4.2" and "" are not).
bool IsNewWidcommVersion(std::string_view version);

// `GetBluetoothState`: *state = 1 when the radio is on, else 0. Reads the
// WIDCOMM StackMode; when that value cannot be read, the mode of the
// Bluetooth utility library (ordinal 2 of bthutil.dll; 0 when that fails too).
void GetBluetoothState(int32_t* state);

}  // namespace tlw
