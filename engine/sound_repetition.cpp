#include "engine/sound_repetition.h"

#include <string>
#include <vector>

#include "base/text.h"
#include "common/device/device_operations.h"
#include "engine/engine_actions.h"
#include "engine/engine_log.h"
#include "engine/engine_messages.h"
#include "engine/engine_state.h"
#include "engine/wake_ups.h"
#include "platform/hardware/notification_led.h"
#include "platform/hardware/os_version.h"
#include "platform/audio/sound_player.h"
#include "platform/kernel/clock.h"
#include "platform/storage/registry.h"

namespace tlw {
namespace {

// Notification classes of the repeating slots 1 ... 4.
constexpr const char16_t* kSlotClasses[kRepetitionSlotCount] = {
    nullptr,
    u"{C3465585-39EF-4C9B-B2A3-5558BF27BFB0}",
    u"{A877D65B-239C-47A7-9304-0D347F580408}",
    u"{A877D65A-239C-47A7-9304-0D347F580408}",
    u"{A877D660-239C-47A7-9304-0D347F580408}",
    nullptr,
};
constexpr int kTextMessageSlot = 2;
constexpr char16_t kTreoTextMessageClass[] = u"{283E0018-E5C9-44E4-9864-4C4A3DED3BC3}";

constexpr char16_t kShownKey[] = u"System\\State\\Shell\\Notifications";        // under HKLM
constexpr char16_t kShownActiveKey[] = u"System\\State\\Shell\\Notifications\\Active";
constexpr char16_t kSoundSettingsKey[] = u"ControlPanel\\Notifications\\";      // + class, under HKCU
constexpr size_t kMaxWaveChars = 127;    // the "Wave" text is read into 255 bytes
constexpr uint32_t kDefaultLedSeconds = 86400;  // LED duration 0 or unset: a day
constexpr char16_t kLedEndArgument[] = u"2267";

bool IsRepeatingSlot(int slot) { return slot >= kFirstRepeatingSlot && slot <= kLastRepeatingSlot; }

void DeleteWakeUp(plat::NotificationHandle* handle) {
    if (*handle != 0) plat::ClearUserNotification(*handle);
    *handle = 0;
}

std::u16string SoundSettingsKey(const RepetitionSlot& slot) {
    return std::u16string(kSoundSettingsKey) + slot.classId.Str();
}

// True when a notification of the class is on screen: the shell's Active
// value reads, and the class's key below the shown notifications has a
// subkey.
bool ClassShown(std::u16string_view classId) {
    plat::HKey active = 0;
    if (plat::RegOpenKey(plat::kHkeyLocalMachine, kShownActiveKey, &active) != 0) return false;
    uint32_t type = 0;
    std::vector<uint8_t> data;
    uint32_t status = plat::RegQueryValue(active, u"ID", &type, &data);
    plat::RegCloseKey(active);
    if (status != 0) return false;

    plat::HKey shown = 0;
    if (plat::RegOpenKey(plat::kHkeyLocalMachine, kShownKey, &shown) != 0) return false;
    bool found = false;
    std::u16string name;
    for (uint32_t i = 0; !found && plat::RegEnumKey(shown, i, &name) == 0; ++i) {
        if (!EqualsNoCase(name, classId)) continue;
        plat::HKey classKey = 0;
        if (plat::RegOpenKey(plat::kHkeyLocalMachine, std::u16string(kShownKey) + u"\\" + name, &classKey) != 0) continue;
        std::u16string first;
        found = plat::RegEnumKey(classKey, 0, &first) == 0;
        plat::RegCloseKey(classKey);
    }
    plat::RegCloseKey(shown);
    return found;
}

// Stops a slot's repetition: no pending wake-up, the interval back to its start.
void StopSlot(EngineState& engine, RepetitionSlot& slot) {
    DeleteWakeUp(&slot.repeatWakeUp);
    slot.interval = kFirstRepeatInterval;
    slot.active = false;
    slot.activeBefore = false;
    ReleaseMediaPlayer(engine);
}

// Full paths of sounds other than .wav files are played by the sound
// player only from this platform version on (5.2 build 19000).
bool SoundPlayerPlaysPaths() {
    plat::OsVersionInfo version;
    if (!plat::GetVersionEx(&version)) return false;
    return version.platformId == plat::kVerPlatformWinCe && version.majorVersion > 4 && version.minorVersion > 1 &&
           version.buildNumber > 18999;
}

// Plays the file with the media player, with the player's Repeat
// preference off while the file starts, so that it plays once.
void PlayWithMediaPlayer(EngineState& engine, std::u16string_view file) {
    uint32_t repeat = 0;
    bool known = plat::RegReadDword(plat::kHkeyCurrentUser, plat::kMediaPlayerPreferencesKey,
                                    plat::kMediaPlayerRepeatValue, &repeat);
    bool restore = known && repeat != 0;
    if (restore)
        plat::RegWriteDword(plat::kHkeyCurrentUser, plat::kMediaPlayerPreferencesKey, plat::kMediaPlayerRepeatValue, 0);
    ReleaseMediaPlayer(engine);
    plat::MediaPlayerHandle player = 0;
    if (plat::CreateMediaPlayer(plat::kMediaPlayerClassId, &player) == plat::kMediaPlayerOk) {
        engine.repetition.mediaPlayer = player;
        plat::MediaPlayerPlay(player, file);
    }
    if (restore)
        plat::RegWriteDword(plat::kHkeyCurrentUser, plat::kMediaPlayerPreferencesKey, plat::kMediaPlayerRepeatValue,
                            repeat);
}

void PlaySlotSound(EngineState& engine, const RepetitionSlot& slot) {
    std::u16string wave;
    if (!plat::RegReadString(plat::kHkeyCurrentUser, SoundSettingsKey(slot), u"Wave", &wave) || wave.empty()) return;
    if (wave.size() > kMaxWaveChars) wave.resize(kMaxWaveChars);
    if (wave.find(u"indows\\") == std::u16string::npos && wave.find(u"INDOWS\\") == std::u16string::npos) {
        plat::SndPlayAsync(wave + u".wav");  // a sound named without its folder and extension
    } else if (wave.find(u".wav") != std::u16string::npos && SoundPlayerPlaysPaths()) {
        plat::SndPlayAsync(wave);
    } else {
        PlayWithMediaPlayer(engine, wave);
    }
}

}  // namespace

bool IsRepetitionWakeUpArgument(std::u16string_view arguments) {
    return arguments.size() == 4 && arguments.substr(0, 3) == u"226" && arguments[3] >= u'3' && arguments[3] <= u'7';
}

void InitRepetitionSlots(EngineState& engine) {
    for (int i = 0; i < kRepetitionSlotCount; ++i) {
        RepetitionSlot& slot = engine.repetition.slots[i];
        slot = RepetitionSlot{};
        if (kSlotClasses[i]) slot.classId = kSlotClasses[i];
    }
    if (engine.treo) engine.repetition.slots[kTextMessageSlot].classId = kTreoTextMessageClass;
}

bool ComputeRepetition(EngineState& engine, int32_t profile) {
    RepetitionSlot* slots = engine.repetition.slots;
    if (profile == kNoProfile || !IsProfileIndex(engine, profile) ||
        engine.model.profiles.profiles[profile].volMaster == 0) {
        // No sound may be repeated: stop what runs.
        for (int i = 1; i < kRepetitionSlotCount; ++i) {
            slots[i].repeat = false;
            slots[i].led = false;
            if (slots[i].active || slots[i].activeBefore) StopSlot(engine, slots[i]);
        }
        return false;
    }
    const Profile& p = engine.model.profiles.profiles[profile];
    bool wanted = false;
    for (int i = 1; i < kRepetitionSlotCount; ++i) {
        if (!p.event_enabled[i]) continue;
        slots[i].repeat = p.repeat[i];
        slots[i].led = engine.treo;
        if (!slots[i].repeat && (slots[i].active || slots[i].activeBefore)) StopSlot(engine, slots[i]);
        wanted = wanted || slots[i].repeat || slots[i].led;
    }
    // A notification already on screen (shown while the engine was not
    // running, or while a profile without repetition ran) is repeated from
    // now on; slots already repeating go on as they are.
    if (wanted) CheckShownNotifications(engine);
    return wanted;
}

void CheckShownNotifications(EngineState& engine) {
    for (int i = kFirstRepeatingSlot; i <= kLastRepeatingSlot; ++i) {
        RepetitionSlot& slot = engine.repetition.slots[i];
        slot.active = false;
        slot.ledActive = false;
        if ((slot.repeat || slot.led) && ClassShown(slot.classId.View())) {
            slot.active = slot.repeat;
            LogDetail(engine, u"  Repeating alarm active %s", {slot.classId.View()});
            slot.ledActive = slot.led;
        }
        if (slot.active != slot.activeBefore) {
            slot.activeBefore = slot.active;
            if (slot.active) {
                RepeatSlot(engine, i, false);
            } else {
                LogDetail(engine, u"  Repeating alarm inactive");
                DeleteWakeUp(&slot.repeatWakeUp);
                slot.interval = kFirstRepeatInterval;
                ReleaseMediaPlayer(engine);
            }
        }
        if (slot.ledActive != slot.ledActiveBefore) {
            slot.ledActiveBefore = slot.ledActive;
            if (!slot.ledActive) DeleteWakeUp(&slot.ledEndWakeUp);
            SetNotificationLed(engine, i, slot.ledActive);
        }
    }
}

void RepeatSlot(EngineState& engine, int slotIndex, bool play) {
    if (!IsRepeatingSlot(slotIndex)) return;
    RepetitionSlot& slot = engine.repetition.slots[slotIndex];
    // A wake-up that was already on its way when the notification went (or
    // the profile stopped repeating) finds the slot inactive.
    if (play && !slot.active) return;
    plat::SystemTime due = plat::AddSeconds(plat::GetLocalTime(), slot.interval);
    slot.repeatWakeUp = ScheduleWakeUp(engine, due, Format(u"%d", {static_cast<int32_t>(TLWM_REPEAT1) - 1 + slotIndex}));
    if (slot.interval < kLongestRepeatInterval) slot.interval += kRepeatIntervalStep;
    if (!play) return;
    bool wasOn = SetPowerState(kPowerOn);
    PlaySlotSound(engine, slot);
    if (!wasOn) SetPowerState(kPowerIdle);
}

void SetNotificationLed(EngineState& engine, int slotIndex, bool on) {
    if (slotIndex < 0 || slotIndex >= kRepetitionSlotCount) return;
    RepetitionSlot& slot = engine.repetition.slots[slotIndex];
    plat::NledSettingsInfo settings;
    settings.LedNum = engine.treo800w ? 1 : 0;
    plat::NLedGetDeviceInfo(plat::kNledSettingsInfoId, &settings);
    if (on) {
        DeleteWakeUp(&slot.ledEndWakeUp);
        uint32_t minutes = 0;
        if (!slot.classId.View().empty())
            plat::RegReadDword(plat::kHkeyCurrentUser, SoundSettingsKey(slot), u"Duration", &minutes);
        int64_t seconds = minutes == 0 ? kDefaultLedSeconds : static_cast<int64_t>(minutes) * 60;
        slot.ledEndWakeUp = ScheduleWakeUp(engine, plat::AddSeconds(plat::GetLocalTime(), seconds), kLedEndArgument);
        settings.OffOnBlink = plat::kNledBlink;
    } else {
        settings.OffOnBlink = plat::kNledOff;
    }
    plat::NLedSetDevice(plat::kNledSettingsInfoId, &settings);
}

void EndNotificationRepetition(EngineState& engine) { SetNotificationLed(engine, 0, false); }

void StopNotificationRepetition(EngineState& engine) { SetNotificationLed(engine, 0, false); }

void ReleaseMediaPlayer(EngineState& engine) {
    if (engine.repetition.mediaPlayer != 0) plat::MediaPlayerRelease(engine.repetition.mediaPlayer);
    engine.repetition.mediaPlayer = 0;
}

}  // namespace tlw
