// The device operations a profile activation and the engine's commands
// call, one per device setting. They report nothing back: a missing key,
// library or driver skips that step.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/fixed_string.h"
#include "common/config/config_paths.h"

namespace tlw {

// Sound mode and volumes. A volume level runs 0 (off) ... 5 (loudest);
// kRestoreLevel restores the level saved by the last normal-mode call.
inline constexpr uint32_t kRestoreLevel = 0xFFFF;
inline constexpr uint32_t kMaxVolumeLevel = 5;
enum SoundMode : uint32_t { kSoundModeNormal = 0, kSoundModeVibrate = 1, kSoundModeSilent = 2 };
// The 32-bit volume of a level: level x 0xFFFF / 5 in both 16-bit halves.
uint32_t VolumeOfLevel(uint32_t level);
// Sets the sound mode (global sound profile) and the system volume.
void SetSoundMode(uint32_t level, uint32_t mode);
void SetRingerVolume(uint32_t level);
// The in-call volume of the handset, headset and speaker.
void SetPhoneVolume(uint32_t level);
// The mute bit (value 4 of the volume panel's `Mute`).
bool IsSoundMuted();
void SetSoundMuted(bool on);

// Ring tones and notification sounds of the six sound events (0 the ring
// tone, 1 ... 5 the notifications).
inline constexpr int32_t kSoundEventCount = 6;
inline constexpr int32_t kSoundCatalogueCapacity = 256;
struct SoundCatalogueEntry {
    uint32_t position = 0;     // its place in the catalogue, 0, 1, 2 ...
    FixedString<128> name;     // the file name, without folder
};
struct SoundCatalogue {
    int32_t count = 0;                                      // entries filled
    SoundCatalogueEntry entries[kSoundCatalogueCapacity];   // the files found
};
// Fills the ring-tone catalogue (ringTones) or the notification-sound
// catalogue; returns the number of entries.
int32_t ListSoundFiles(SoundCatalogue* catalogue, bool ringTones);
// Writes the sound file of one event. For the ring tone, *name becomes the
// full path the file was found at.
void SetEventSound(int32_t event, PathString* name);
// Writes the ring script (event 0) or the notification options.
void SetEventOptions(int32_t event, int32_t style, bool repeat, bool flash, int32_t flashTime);

// Phone radio: on switches it on; off first checks for an active call and,
// unless checkOnly, switches it off when none is active. Returns true when
// no call is active (always true for on).
bool SetPhoneRadio(bool on, bool checkOnly);

// Wi-Fi and Bluetooth radios.
void SetWifiRadio(bool on);
void SetBluetoothRadio(bool on);
void SetBluetoothVisible(bool visible);

// Push mail (0 off, 1 push, else the interval in minutes), data connection, proxy.
void SetPushMail(int32_t argument);
void HangUpDataCalls();
void OpenDataConnection();
void SetProxy(std::u16string_view networkGuid);

// Backlight brightness, 0 ... levels - 1 as the user sees it; minIsOne when
// the device's own scale starts at 1. GetBacklightLevel reads the current
// level; SetBacklight stores a level and applies it, or leaves it to the
// engine at the next wake-up while the device sleeps; ApplyBacklight applies
// the stored level now. ClearWakeupNotifications removes the application's
// wake-up (device wake-up event) notifications.
int32_t GetBacklightLevel(bool minIsOne, int32_t levels);
void SetBacklight(int32_t level, std::u16string_view enginePath, bool minIsOne, int32_t levels);
void ApplyBacklight(std::u16string_view enginePath, bool minIsOne, int32_t levels);
void ClearWakeupNotifications(std::u16string_view application);

// The four power time-outs, in seconds.
void SetBacklightTimeoutBattery(uint32_t seconds);
void SetBacklightTimeoutExternal(uint32_t seconds);
void SetSuspendTimeoutBattery(uint32_t seconds);
void SetSuspendTimeoutExternal(uint32_t seconds);

// Screen orientation: 0 -> 0 degrees, 1 -> 90, 2 -> 270.
void SetRotation(int32_t rotate);

// Device power: 0 suspend when on, 1 make sure the device is on (returns
// whether it was already on), 2 soft reset, 3 set the device idle.
enum PowerAction : int32_t { kPowerSuspend = 0, kPowerOn = 1, kPowerSoftReset = 2, kPowerIdle = 3 };
bool SetPowerState(int32_t action);

}  // namespace tlw
