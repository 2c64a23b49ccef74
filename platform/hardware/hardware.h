// The simulated phone's hardware state that a real phone keeps outside its
// registry: the power supply and battery, the radio nodes of the
// wireless-device switch, the Microsoft Bluetooth stack's mode, the call in
// progress, the audio hardware (global sound profile, wave-out volume,
// hook-switch volumes of the phone device) and the backlight's brightness.
//
// It lives in the table hardware of the device store (one row per fact, in
// the key=value words of the text form below) and is shared by every process
// of the device: a change reads, changes and writes it back in one
// transaction, so a reader always sees a whole state and no change is lost.
//
// Facts the real phone keeps in its registry (System\State\..., the WIDCOMM
// StackMode) stay there; the helpers at the end change both sides together
// so that the two never disagree.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/radio/access_point.h"

namespace plat {

// The call on the phone line.
enum class CallState : uint8_t {
    kNone = 0,     // no call
    kOffered = 1,  // a call rings and is not yet answered
    kActive = 2,   // a call is connected
};

struct HardwareState {
    uint8_t acLineStatus = 0;       // 0 on battery, 1 on external power, 255 unknown
    uint8_t batteryPercent = 100;   // charge 0 ... 100, 255 unknown
    int32_t batteryCurrent = -120;  // mA; negative while the battery discharges
    bool charging = false;          // the battery is being charged
    uint32_t wifiState = 0;         // Wi-Fi node of the wireless-device switch: 0 off, else on
    uint32_t wifiTarget = 0;        // state a late Wi-Fi radio is moving to
    int64_t wifiDueMs = 0;          // host time (ms since 1970) it gets there; 0: no change pending
    uint32_t phoneState = 1;        // phone node: 0 off (radio off), else on
    uint32_t bluetoothMode = 0;     // Microsoft stack: 0 off, 1 on and connectable, 2 discoverable
    CallState call = CallState::kNone;  // the call on the line
    bool cellPresent = false;       // the phone is camped on a cell
    uint32_t cellLac = 0;           // its location area code, 0 ... 0xFFFF
    uint32_t cellId = 0;            // its cell id, 0 ... 0xFFFF
    std::vector<AccessPoint> accessPoints;  // Wi-Fi access points in reach, one "ap=" line each
    std::string simPin;             // the SIM's PIN; empty: the SIM asks for none
    bool simUnlocked = false;       // the PIN was entered since the radio came on
    uint32_t simBusyReads = 0;      // lock-state reads that still fail while the SIM starts up
    std::vector<uint32_t> dataConnections;  // handles of the open cellular data connections
    uint32_t nextDataConnection = 0x100;    // the handle the next one gets
    int32_t peakFrequency = 0;      // mail synchronisation in peak time: -1 as items arrive, 0 manual, else minutes
    int32_t offPeakFrequency = 0;   // ... outside peak time
    uint32_t soundProfile = 0;      // the shell's global sound profile: 0 sounds on, 2 vibrate, 3 none
    uint32_t waveOutVolume = 0xFFFFFFFF;  // wave-out device volume: left channel low 16 bits, right high
    uint32_t handsetVolume = 0xFFFF;  // phone device hook-switch volumes 0 ... 65535: handset
    uint32_t headsetVolume = 0xFFFF;  // ... headset
    uint32_t speakerVolume = 0xFFFF;  // ... speaker
    uint32_t brightness = 3;          // backlight brightness on battery, in the hardware's own scale
    uint32_t brightnessExternal = 3;  // ... on external power
    uint8_t leds[2] = {};             // notification LEDs 0 and 1: 0 off, 1 on, 2 blinking
};

// The serving cell as text: "LAC:CID" in decimal, or "none". Parsing takes
// each number in decimal or as 0x hexadecimal, each 0 ... 0xFFFF. False for
// any other text.
std::string FormatCell(bool present, uint32_t lac, uint32_t cellId);
bool ParseCell(std::string_view text, bool* present, uint32_t* lac, uint32_t* cellId);
// Milliseconds since 1970 of the host clock: the time base of radio changes
// that take effect late (the same in every process of the device).
int64_t HostTimeMs();
// Completes a pending late change that is due by now.
void SettleLateRadios(HardwareState* state);

// Text form of the state, one "key=value" line per fact.
std::string FormatHardwareState(const HardwareState& state);
// Reads the text form over the defaults. False (with a message naming the
// line) for an unknown key or a bad value; *out is then unchanged.
bool ParseHardwareState(std::string_view text, HardwareState* out, std::string* error);

// The device's current hardware state; the defaults above for facts not
// stored yet. False when the store cannot be read or holds a fact that
// cannot be parsed (*out then holds the defaults).
bool ReadHardwareState(HardwareState* out);

// Reads the state, lets change alter it and writes it back in one
// transaction, so that changes of several processes never undo each other.
// False (nothing written) when the store fails or the stored state cannot be
// read.
bool ChangeHardwareState(const std::function<void(HardwareState&)>& change);

// Replaces the stored state whole, also one that cannot be read (a device
// model being installed starts afresh). False when the store fails.
bool ReplaceHardwareState(const HardwareState& state);

// Registry values of the state registry that mirror the hardware.
inline constexpr char16_t kPhoneStateKey[] = u"System\\State\\Phone";       // under HKLM
inline constexpr char16_t kPhoneStatusValue[] = u"Status";                  // bit 0x10: radio off
inline constexpr char16_t kActiveCallCountValue[] = u"Active Call Count";
inline constexpr uint32_t kPhoneStatusRadioOff = 0x10;        // the phone radio is off
inline constexpr uint32_t kPhoneStatusIncomingCall = 0x10000; // a call rings
inline constexpr char16_t kWidcommGeneralKey[] = u"SOFTWARE\\Widcomm\\BtConfig\\General";  // under HKLM
inline constexpr char16_t kWidcommStackModeValue[] = u"StackMode";  // non-zero: radio on
inline constexpr char16_t kWidcommVersionKey[] = u"Software\\WIDCOMM\\Version";  // under HKLM
inline constexpr char16_t kWidcommVersionValue[] = u"Software";  // the stack's version text

// Switches the phone radio: the phone node and the radio-off bit of Status.
bool SetPhoneRadioHardware(bool on);
// Sets the call on the line: the stored state, Active Call Count and the
// incoming-call bit of Status.
bool SetCallHardware(CallState call);

}  // namespace plat
