// The profile record and the profile table: one named set of device settings
// with the trigger that selects it. A profile's identity is its index in the
// table.
#pragma once

#include <cstdint>

#include "base/fixed_string.h"

namespace tlw {

constexpr int kMaxProfiles = 100;        // room in the table; readers stop here
constexpr int kMaxCreatedProfiles = 99;  // most the configuration program creates
constexpr int kNoProfile = 700;          // "no profile" wherever an index is stored
constexpr int kNoDecision = 600;         // engine only: no decision yet; never stored
constexpr int kSoundSlots = 6;           // notification slots per profile
constexpr int kVolumeCount = 3;          // volume levels per profile
constexpr int kRadioCount = 3;           // radio switches per profile
constexpr int kScheduleSlots = 4;        // time slots of the weekly schedule
constexpr int kWeekDays = 7;             // Monday first
constexpr int kCalendarStates = 5;       // appointment busy states
constexpr int kPowerConditions = 3;      // power trigger conditions
constexpr int kPowerTimeouts = 4;        // power time-out codes

// Trigger kinds (`eventType`).
enum EventType : int32_t {
    kEventManual = 0,
    kEventTime = 1,
    kEventOutlook = 2,
    kEventPower = 3,
    kEventLocation = 4,
};

// Indices into `radio`.
enum RadioIndex : int { kRadioWifi = 0, kRadioBluetooth = 1, kRadioPhone = 2 };

struct Profile {
    FixedString<20> name;                       // display name; links Location entries
    int32_t eventType = 0;                      // trigger kind, EventType
    bool enabled = false;                       // selected by triggers, listed in menus
    bool show = false;                          // listed in the manual-selection menus
    bool override = false;                      // wins against a running manual profile
    bool timeoutSet = false;                    // the manual time-out is in force
    FixedString<6> timeout;                     // manual time-out "HH:MM" (duration)
    bool schedule[kWeekDays][kScheduleSlots] = {};  // [day][slot], day 0 Monday
    bool state[kCalendarStates] = {};           // calendar busy states that select it
    FixedString<33> category;                   // calendar category; language text 170 = any
    int32_t sensitivity = 0;                    // calendar sensitivity filter
    bool aspower[kPowerConditions] = {};        // power conditions that select it
    int32_t headphones = 0;                     // headset condition of the power trigger
    int32_t volMaster = 0;                      // master volume choice
    bool event_enabled[kSoundSlots] = {};       // per notification slot: apply it
    int32_t event_type[kSoundSlots] = {};       // per slot: notification kind
    bool sound_control[kSoundSlots] = {};       // per slot: apply its sound file
    FixedString<80> ringtone[kSoundSlots];      // per slot: full path of the sound file
    bool flash[kSoundSlots] = {};               // per slot: flash the LED
    int32_t flash_time[kSoundSlots] = {};       // per slot: flash duration code
    bool repeat[kSoundSlots] = {};              // per slot: repeat the sound
    int32_t volume[kVolumeCount] = {};          // three volume levels
    bool volume_enabled[kVolumeCount] = {};     // per volume: apply it
    int32_t radio[kRadioCount] = {};            // Wi-Fi, Bluetooth, phone: 0 off, 1 on, 2 unchanged, ...
    int32_t push_email = 0;                     // 0 off, 1 push, 2 unchanged, 3..9 interval
    int32_t data_call = 0;                      // 1 close, 2 open, else nothing
    FixedString<64> network_GUID;               // data connection as braced GUID text, or empty
    int32_t rotate = 0;                         // screen orientation; 3 unchanged
    int32_t pda_power = 0;                      // 0 suspend, 1 on, 2 soft reset, 3 nothing
    bool run_program = false;                   // start a program on activation
    bool auto_program = false;                  // watch the started program
    bool close_program = false;                 // close it at the next activation
    FixedString<260> program;                   // full path of the program
    FixedString<127> program_params;            // its command line
    bool icon_enabled = false;                  // use profile_icon
    FixedString<260> profile_icon;              // full path of the icon image
    bool backlight_enabled = false;             // apply backlight
    int32_t backlight = 0;                      // backlight level
    int32_t power_timeouts[kPowerTimeouts] = {};  // codes 0..8, 9 unchanged
    FixedString<6> time[kScheduleSlots];        // start "HH:MM" of each schedule slot
    bool lockOnActivation = false;              // run time only: lock after next activation
};

struct ProfileTable {
    Profile profiles[kMaxProfiles];  // entries 0 .. count-1 are in use
    int32_t count = 0;               // number of profiles in use
};

}  // namespace tlw
