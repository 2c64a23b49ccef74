// ActivateProfile: applying one profile to the device in a fixed order of
// steps: radios before data and push mail, never cutting a running call,
// the device kept awake while radios switch.
#include <memory>
#include <vector>

#include "common/config/registry_state.h"
#include "common/device/device_operations.h"
#include "common/device/probes.h"
#include "common/device/radio_states.h"
#include "engine/engine_actions.h"
#include "engine/engine_log.h"
#include "engine/program_watch.h"
#include "engine/wake_ups.h"
#include "platform/kernel/threads.h"
#include "platform/storage/device_store.h"

namespace tlw {
namespace {

// Seconds of the power time-out codes 0 ... 8; code 9 leaves the time-out.
constexpr uint32_t kTimeoutSeconds[9] = {0, 10, 30, 60, 120, 180, 300, 600, 900};
// Push-mail argument per `push_email` value 0 ... 9; -1 leaves it.
constexpr int32_t kPushArgument[10] = {0, 1, -1, 5, 10, 15, 20, 30, 45, 60};

bool PhoneOnInProfile(int32_t radio) { return radio == 1 || radio == 3 || radio == 4 || radio == 5; }

// Waits for the phone radio to report on: one read a second, at most `reads`.
bool WaitForPhone(int reads) {
    for (int i = 0; i < reads; ++i) {
        if (IsPhoneOn()) return true;
        plat::Sleep(1000);
    }
    return false;
}

void ApplySoundSettings(const Profile& p) {
    // The catalogues are large; one of them serves every event in turn.
    auto catalogue = std::make_unique<SoundCatalogue>();
    PathString file;
    for (int e = 0; e < kSoundSlots; ++e) {
        if (!p.event_enabled[e] || !p.sound_control[e]) continue;
        ListSoundFiles(catalogue.get(), e == 0);
        bool matched = false;
        for (int i = 0; i < catalogue->count; ++i) {
            if (catalogue->entries[i].name.View() == p.ringtone[e].View()) {
                file = catalogue->entries[i].name.View();
                SetEventSound(e, &file);
                matched = true;
            }
        }
        if (matched) continue;
        // The file is gone: a sound of the system's own stays.
        ListSoundFiles(catalogue.get(), false);
        for (int i = 0; i < catalogue->count; ++i) {
            std::u16string_view name = catalogue->entries[i].name.View();
            if (name.substr(0, 7) == u"Windows" && name.size() >= 3 && name.substr(name.size() - 3) == u"wav") {
                file = name;
                SetEventSound(e, &file);
            }
        }
    }
    if (p.volume_enabled[0]) SetSoundMode(static_cast<uint32_t>(p.volume[0]), kSoundModeNormal);
    else SetSoundMode(kRestoreLevel, kSoundModeNormal);
    if (p.volume_enabled[1]) SetRingerVolume(static_cast<uint32_t>(p.volume[1]));
    if (p.volume_enabled[2]) SetPhoneVolume(static_cast<uint32_t>(p.volume[2]));
    for (int e = 0; e < kSoundSlots; ++e)
        if (p.event_enabled[e]) SetEventOptions(e, p.event_type[e], p.repeat[e], p.flash[e], p.flash_time[e]);
}

}  // namespace

void ActivateProfile(EngineState& engine, int32_t profile) {
    if (profile == kNoProfile || !IsProfileIndex(engine, profile)) {
        WriteRunningProfile(kNoProfile, kNoRunningProfileName, u"", 0);
        SetDisplayedProfile(engine, kNoProfile);
        return;
    }
    const Profile& p = engine.model.profiles.profiles[profile];
    if (profile == ReadRunningProfile() && profile != ReadManualProfile() && !engine.treo800w) return;
    // The activation switches radios, scans sound folders, waits and starts
    // programs: the caller's batch of store calls commits now rather than
    // holding the store for other programs all that time.
    plat::store::EndBatch();

    bool phoneOn = IsPhoneOn();
    if (p.pda_power == kPowerOn) SetPowerState(kPowerOn);

    bool goOn = true;
    bool pushOffDone = false;
    if (p.radio[kRadioPhone] != 0) {
        goOn = SetPhoneRadio(false, true);
    } else if (phoneOn) {
        if (SetPhoneRadio(false, true)) {
            if (p.push_email == 0) {
                SetPushMail(0);
                pushOffDone = true;
            }
            if (p.volMaster == 0) SetSoundMode(0, 2);
            else if (p.volMaster == 1) SetSoundMode(0, 1);
            if (p.data_call == 1) HangUpDataCalls();
        }
        goOn = SetPhoneRadio(false, false);
        phoneOn = false;
    }

    if (!goOn) {
        // A call is active: try again at second 15 of the next minute, once.
        // A manual choice remembers its retry: only that wake-up applies it.
        bool manualChoice = ReadManualProfile() == profile;
        if (manualChoice) engine.delayedManualProfile = profile;
        if (FindOwnWakeUps(engine, kFindDelayedActivation)) return;
        plat::SystemTime when = plat::GetLocalTime();
        when.second = 15;
        when.milliseconds = 0;
        when = plat::AddSeconds(when, 60);
        plat::NotificationHandle retry = ScheduleWakeUp(engine, when, u"500");
        if (manualChoice) engine.delayedRetry = retry;
        LogEvent(engine, u"Delay act. call: %02d:%02d:%02d Profile:%d %s",
                 {when.hour, when.minute, when.second, profile, p.name.View()}, false);
        return;
    }

    engine.delayedManualProfile = kNoProfile;
    engine.delayedRetry = 0;
    WriteRunningProfile(profile, p.name.View(), p.profile_icon.View(), p.eventType);
    SetDisplayedProfile(engine, profile);

    if (p.volMaster == 0) SetSoundMode(0, 2);
    else if (p.volMaster == 1) SetSoundMode(0, 1);
    else if (p.volMaster == 2) ApplySoundSettings(p);

    uint32_t wifiBefore = GetWifiState();
    bool wasOn = false;
    if (p.radio[kRadioWifi] == 0) {
        wasOn = SetPowerState(kPowerOn);
        SetWifiRadio(false);
        plat::Sleep(100);
        if (!wasOn) SetPowerState(kPowerIdle);
    } else if (p.radio[kRadioWifi] == 1) {
        wasOn = SetPowerState(kPowerOn);
        SetWifiRadio(true);
        if (!wasOn) SetPowerState(kPowerIdle);
    }
    LogDetail(engine, u"PROFILE %s activation: Changed WIFI from %d to %d. Device state %d",
              {p.name.View(), wifiBefore, p.radio[kRadioWifi], wasOn ? 1 : 0});

    bool phoneJustOn = false;
    if (PhoneOnInProfile(p.radio[kRadioPhone]) && !phoneOn) {
        SetPhoneRadio(true, false);
        phoneJustOn = true;
        phoneOn = true;
    }
    if (p.radio[kRadioBluetooth] == 0) {
        SetBluetoothRadio(false);
    } else if (p.radio[kRadioBluetooth] == 1 || p.radio[kRadioBluetooth] == 3) {
        SetBluetoothRadio(true);
        SetBluetoothVisible(p.radio[kRadioBluetooth] == 3);
    }

    bool rotateFirst = ReadRotateBeforeRun();
    if (p.rotate != 3 && rotateFirst) SetRotation(p.rotate);
    if (p.backlight_enabled) ApplyProfileBacklight(engine, p.backlight);
    for (int k = 0; k < kPowerTimeouts; ++k) {
        int32_t code = p.power_timeouts[k];
        if (code < 0 || code > 8) continue;
        uint32_t seconds = kTimeoutSeconds[code];
        switch (k) {
        case 0: SetBacklightTimeoutBattery(seconds); break;
        case 1: SetBacklightTimeoutExternal(seconds); break;
        case 2: SetSuspendTimeoutBattery(seconds); break;
        default: SetSuspendTimeoutExternal(seconds); break;
        }
    }
    if (p.network_GUID.Length() == 38) {
        SetProxy(p.network_GUID.View());
        plat::Sleep(2000);
    }
    if (p.data_call == 2 && phoneOn) {
        if (!phoneJustOn) {
            OpenDataConnection();
        } else if (WaitForPhone(15)) {
            phoneJustOn = false;
            OpenDataConnection();
        }
    }
    if (p.push_email != 2 && p.push_email >= 0 && p.push_email <= 9) {
        if (!phoneJustOn || WaitForPhone(10)) {
            phoneJustOn = false;
            if (p.push_email == 0) {
                if (!pushOffDone) SetPushMail(0);
            } else {
                SetPushMail(kPushArgument[p.push_email]);
            }
        }
    }
    if (p.data_call == 1 && phoneOn) HangUpDataCalls();

    CloseRememberedProgram(engine);
    StopWatchingProgram(engine);
    if (p.run_program) StartProfileProgram(engine, p);

    if (p.rotate != 3 && !rotateFirst) {
        if (p.run_program) plat::Sleep(2000);
        SetRotation(p.rotate);
    }

    if (p.pda_power == kPowerSuspend) {
        SetPowerState(kPowerSuspend);
    } else if (p.pda_power == kPowerSoftReset) {
        if (ReadAlreadyReset() == 0) {
            LogEvent(engine, u"  Resseting PDA", {}, false);
            SetPowerState(kPowerSoftReset);
        }
    }
    if (p.pda_power != kPowerSoftReset) WriteAlreadyReset(0);
}

}  // namespace tlw
