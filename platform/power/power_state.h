// The power manager: the system power state, requests to change it,
// unattended mode, and the soft reset.
//
// The simulated phone is on, idle (running with the screen dark),
// suspended, or unattended (a suspend that unattended mode holds off: the
// system runs on with the screen dark until the last holder lets go). The
// state lives in the device store (tables power_state and
// unattended_holders), changed in one transaction by every process of the
// device. Every request is recorded in the
// device journal ("power suspend", "power on", "unattended mode on", ...).
// When the device leaves suspend, the wake-up event notifications fire.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// System power state flags.
enum : uint32_t {
    kPowerStateOn = 0x00010000,          // fully on
    kPowerStateIdle = 0x00100000,        // running, screen dark
    kPowerStateSuspend = 0x00200000,     // asleep
    kPowerStateUnattended = 0x00400000,  // running unattended, screen dark
    kPowerStateReset = 0x00800000,       // soft reset (request only)
    kPowerStateBacklightOn = 0x02000000, // the backlight is on
    kPowerStateMask = 0x0FFF0000,        // the bits that name the state
};
// Option of SetSystemPowerState: change even when a requirement holds the state.
constexpr uint32_t kPowerForce = 0x1000;
// Power-policy notification: enter (data 1) or leave (data 0) unattended mode.
constexpr uint32_t kPpnUnattendedMode = 3;

// The device's power as the console sets and shows it.
enum class DevicePower : uint8_t {
    kOn = 0,          // fully on, backlight on
    kIdle = 1,        // running, screen dark
    kSuspend = 2,     // asleep
    kUnattended = 3,  // suspended by request but held running by unattended mode
};

// The stored power state of the device.
struct PowerState {
    DevicePower power = DevicePower::kOn;  // current state
    std::vector<uint32_t> unattendedHolders;  // process ids in unattended mode, one entry per request
};

// The state's name ("on", "idle", "suspend", "unattended") and flags.
const char* DevicePowerName(DevicePower power);
uint32_t DevicePowerFlags(DevicePower power);
// The state of a name as above; false for any other text.
bool ParseDevicePower(std::string_view name, DevicePower* out);

// Reads the device's power state (holders of ended processes left out). The
// default (on, no holders) when the device has none stored yet; false when
// the stored state cannot be read.
bool ReadPowerState(PowerState* out);

// The current system power state: its name and flags. Returns an error code.
uint32_t GetSystemPowerState(std::u16string* name, uint32_t* flags);

// Requests a system power state, by name when name is not empty, else by the
// state flag (kPowerStateOn, kPowerStateIdle, kPowerStateSuspend or
// kPowerStateReset). A suspend while unattended mode is held leaves the
// device unattended. kPowerStateReset is a soft reset (RequestSoftReset).
// Returns an error code: kErrorInvalidParameter for another name or flag.
uint32_t SetSystemPowerState(std::u16string_view name, uint32_t state, uint32_t options);

// Power-policy notification; only kPpnUnattendedMode is known (data 1
// enters, 0 leaves; each leave ends one enter of this process). False
// (kErrorInvalidParameter) for any other type.
bool PowerPolicyNotify(uint32_t type, uint32_t data);

// Sets the device's power as the hardware would (the console's power key):
// journalled as "power NAME", and a device leaving suspend fires its wake-up
// event notifications. kUnattended is reached only through requests, so
// asking for it is refused. False when the state cannot be stored.
bool SetDevicePower(DevicePower power);

}  // namespace plat
