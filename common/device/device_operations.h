// The device operations a profile activation and the engine's commands
// call, one per device setting. They report nothing back: a missing key,
// library or driver skips that step.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/fixed_string.h"

namespace tlw {

// Sound mode, volumes (volume and ringer).
void SetSoundMode(uint32_t volume, uint32_t mode);
void SetRingerVolume(int32_t volume);
void SetPhoneVolume(int32_t volume);

// Ring tones and notification sounds.
struct SoundFileEntry {
    FixedString<80> name;   // the catalogue entry's display name (a full path in the model)
    FixedString<260> path;  // the sound file
};
// Lists the ring-tone catalogue (ringTones) or the notification sounds.
void ListSoundFiles(bool ringTones, std::vector<SoundFileEntry>* out);
void SetEventSound(int32_t event, const SoundFileEntry& entry);
void SetEventOptions(int32_t event, int32_t type, bool repeat, bool flash, int32_t flashTime);

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

// Backlight level, the saved level, and the four power time-outs (seconds).
void SetBacklight(int32_t level);
void ApplyBacklight();
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
