// The notification-LED driver interface: how many notification LEDs the
// phone has and, per LED, whether it is off, on or blinking.
//
// Every simulated phone has two notification LEDs (0 and 1); their states
// are kept with the hardware state, shown by `tlwsim hw` as led0 and led1,
// and every change is recorded in the device journal as
// "led N off|on|blink".
#pragma once

#include <cstdint>

namespace plat {

// Information kinds of NLedGetDeviceInfo / NLedSetDevice.
enum : uint32_t {
    kNledCountInfoId = 0,     // NledCountInfo: the number of LEDs
    kNledSupportsInfoId = 1,  // NledSupportsInfo: what one LED can do
    kNledSettingsInfoId = 2,  // NledSettingsInfo: one LED's settings
};

// What an LED does.
enum : int32_t { kNledOff = 0, kNledOn = 1, kNledBlink = 2 };

inline constexpr uint32_t kNotificationLedCount = 2;  // LEDs of the simulated phone

struct NledCountInfo {
    uint32_t cLeds = 0;  // number of notification LEDs
};

struct NledSupportsInfo {
    uint32_t LedNum = 0;                 // the LED asked about (in)
    int32_t lCycleAdjust = 0;            // granularity of the cycle time in microseconds
    bool fAdjustTotalCycleTime = false;  // the total cycle time can be set
    bool fAdjustOnTime = false;          // the on time can be set
    bool fAdjustOffTime = false;         // the off time can be set
    bool fMetaCycleOn = false;           // blink cycles can be grouped
    bool fMetaCycleOff = false;          // ... with pauses between the groups
};

struct NledSettingsInfo {
    uint32_t LedNum = 0;          // the LED (in for both calls)
    int32_t OffOnBlink = 0;       // kNledOff, kNledOn or kNledBlink
    int32_t TotalCycleTime = 0;   // blink cycle in microseconds
    int32_t OnTime = 0;           // on part of a cycle in microseconds
    int32_t OffTime = 0;          // off part of a cycle in microseconds
    int32_t MetaCycleOn = 0;      // cycles per group
    int32_t MetaCycleOff = 0;     // cycles of pause between groups
};

// Fills the record of the given kind (for kinds 1 and 2 the record's LedNum
// says which LED). False for an unknown kind, a null record, an LED the
// phone does not have or an unreadable hardware state.
bool NLedGetDeviceInfo(uint32_t infoId, void* info);

// Applies a settings record (kind 2 only; the other kinds are read-only).
// False for another kind, a null record, an LED the phone does not have, an
// OffOnBlink value other than 0, 1, 2, or a state that cannot be stored.
bool NLedSetDevice(uint32_t infoId, void* info);

// Text of an LED state for the console and the journal: "off", "on", "blink".
const char* NledStateName(int32_t offOnBlink);

}  // namespace plat
