// Sound mode, system, ringer and in-call volumes, and the mute bit: the
// control panel's registry values, the shell's global sound profile, the
// wave-out mixer and the phone device's hook-switch volumes.
#include "common/device/device_operations.h"
#include "common/device/device_registry.h"
#include "platform/audio/wave_out.h"
#include "platform/kernel/threads.h"
#include "platform/kernel/wait.h"
#include "platform/shell/sound_files.h"
#include "platform/telephony/phone_device.h"

namespace tlw {
namespace {

constexpr char16_t kVolumeKey[] = u"ControlPanel\\Volume";
constexpr char16_t kShellOverridesKey[] = u"ControlPanel\\Notifications\\ShellOverrides";
constexpr char16_t kRingCategoryKey[] = u"ControlPanel\\SoundCategories\\Ring";
constexpr char16_t kPhoneKey[] = u"ControlPanel\\Phone";

constexpr uint32_t kSetSoundWaitMs = 5000;  // the shell call may hang; the activation goes on after this
constexpr uint32_t kMuteBit = 4;            // the bit of `Mute` this layer owns

// The shell's sound type of a sound mode: normal, vibrate, silent.
uint32_t SoundTypeOfMode(uint32_t mode) {
    switch (mode) {
    case kSoundModeVibrate: return plat::kSndTypeVibrate;
    case kSoundModeSilent: return plat::kSndTypeNone;
    default: return plat::kSndTypeSoundOn;
    }
}

// A level restored from a stored 32-bit volume.
uint32_t LevelOfStoredVolume(const char16_t* name) {
    uint32_t stored = kRestoreLevel;
    ReadDeviceDword(plat::kHkeyCurrentUser, kShellOverridesKey, name, &stored);
    return stored / 0x33333333u;
}

// Levels run 0 ... 5; a larger one (a hand-edited profile) is the loudest
// rather than a volume that wraps round into the other channel.
uint32_t ClampLevel(uint32_t level) { return level > kMaxVolumeLevel ? kMaxVolumeLevel : level; }

}  // namespace

uint32_t VolumeOfLevel(uint32_t level) {
    uint32_t v = ClampLevel(level) * 0xFFFFu / 5u;
    return v + (v << 16);
}

void SetSoundMode(uint32_t level, uint32_t mode) {
    if (level == kRestoreLevel) level = LevelOfStoredVolume(u"SavedVolume");
    level = ClampLevel(level);

    // The shell call runs on a worker thread of its own: it can block on the
    // shell, and the caller waits for it only so long.
    uint32_t type = SoundTypeOfMode(mode);
    plat::Handle worker = plat::CreateThread(
        [type]() -> uint32_t {
            plat::SndFileInfo info;
            info.soundType = type;
            plat::SndSetSound(plat::kSndEventAll, &info, plat::kSndSuppressUi);
            return 0;
        },
        nullptr);
    if (worker) {
        plat::WaitForSingleObject(worker, kSetSoundWaitMs);
        plat::CloseHandle(worker);
    }

    uint32_t volume = VolumeOfLevel(level);
    WriteDeviceDword(plat::kHkeyCurrentUser, kVolumeKey, u"Volume", volume);
    if (DeviceKeyExists(plat::kHkeyCurrentUser, kShellOverridesKey)) {
        if (mode == kSoundModeNormal) WriteDeviceDword(plat::kHkeyCurrentUser, kShellOverridesKey, u"SavedVolume", volume);
        WriteDeviceDword(plat::kHkeyCurrentUser, kShellOverridesKey, u"Mode", mode);
    }
    uint32_t devices = plat::WaveOutGetNumDevs();
    for (uint32_t i = 0; i < devices; ++i) plat::WaveOutSetVolume(i, volume);
}

void SetRingerVolume(uint32_t level) {
    if (level == kRestoreLevel) level = LevelOfStoredVolume(u"SavedRingerVolume");
    level = ClampLevel(level);
    WriteDeviceDword(plat::kHkeyCurrentUser, kRingCategoryKey, u"InitVol", level);
    uint32_t ringer = level * 0x33333333u;
    WriteDeviceDword(plat::kHkeyCurrentUser, kVolumeKey, u"Ringer", ringer);
    WriteDeviceDword(plat::kHkeyCurrentUser, kShellOverridesKey, u"SavedRingerVolume", ringer);
}

void SetPhoneVolume(uint32_t level) {
    plat::HPhoneApp app = 0;
    uint32_t devices = 0;
    uint32_t version = plat::kPhoneApiVersionHighest;
    plat::PhoneInitializeExParams params;
    params.totalSize = sizeof params;
    params.options = plat::kPhoneInitUseEvent;
    level = ClampLevel(level);
    if (plat::PhoneInitializeEx(&app, &devices, &version, &params) != plat::kPhoneErrNone) return;
    uint32_t negotiated = 0;
    plat::PhoneNegotiateApiVersion(app, 0, plat::kPhoneApiVersionLowest, plat::kPhoneApiVersionHighest, &negotiated);
    plat::HPhone phone = 0;
    if (plat::PhoneOpen(app, 0, &phone, negotiated, plat::kPhonePrivilegeOwner) == plat::kPhoneErrNone) {
        float scaled = static_cast<float>(level) / 5.0f * 65535.0f;
        uint32_t vol = static_cast<uint32_t>(scaled);
        plat::PhoneSetVolume(phone, plat::kPhoneHookSwitchHandset, vol);
        plat::PhoneSetVolume(phone, plat::kPhoneHookSwitchHeadset, vol);
        plat::PhoneSetVolume(phone, plat::kPhoneHookSwitchSpeaker, vol);
        plat::PhoneClose(phone);
        // Only a device whose panel keeps the in-call volume gets it.
        uint32_t old = 0;
        if (ReadDeviceDword(plat::kHkeyCurrentUser, kPhoneKey, u"Vol", &old))
            WriteDeviceDword(plat::kHkeyCurrentUser, kPhoneKey, u"Vol", vol);
    }
    plat::PhoneShutdown(app);
}

bool IsSoundMuted() {
    uint32_t mute = 0;
    ReadDeviceDword(plat::kHkeyCurrentUser, kVolumeKey, u"Mute", &mute);
    return (mute & kMuteBit) != 0;
}

void SetSoundMuted(bool on) {
    uint32_t mute = 0;
    ReadDeviceDword(plat::kHkeyCurrentUser, kVolumeKey, u"Mute", &mute);
    mute = on ? (mute | kMuteBit) : (mute & ~kMuteBit);
    WriteDeviceDword(plat::kHkeyCurrentUser, kVolumeKey, u"Mute", mute);
    plat::AudioUpdateFromRegistry();
}

}  // namespace tlw
