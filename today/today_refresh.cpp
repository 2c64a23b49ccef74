// The Today screen's periodic question: reload after the configuration
// program saved, report a new height, and otherwise poll what the item
// shows (running profile, manual flag and time-out, counters, switches,
// brightness, Wi-Fi, lock, battery) while the screen is on.
#include <cstring>

#include "common/config/registry_state.h"
#include "common/device/device_operations.h"
#include "common/device/probes.h"
#include "common/device/wifi.h"
#include "base/text.h"
#include "platform/kernel/clock.h"
#include "platform/power/power_state.h"
#include "platform/power/power_status.h"
#include "platform/window/window.h"
#include "today/today_plugin.h"

namespace today {
namespace {

constexpr uint32_t kScreenOn = plat::kPowerStateOn;
constexpr uint32_t kScreenOnWithBacklight = plat::kPowerStateOn | plat::kPowerStateBacklightOn;

// The live state of the radio a switch add-on shows, from the five states.
bool LiveSwitchState(int32_t type, uint32_t wifi, int32_t phone, int32_t bluetooth, int32_t pushMail, int32_t data) {
    switch (type) {
    case AddonBluetooth: return bluetooth != 0;
    case AddonWifi: return wifi != 0;
    case AddonPhoneRadio: return phone != 0;
    case AddonPushMail: return pushMail != 0;
    default: return data != 0;
    }
}

bool IsSwitch(int32_t type) { return (type >= AddonBluetooth && type <= AddonPushMail) || type == AddonDataConnection; }

bool HasEnabledSlot(int32_t type) {
    for (const tlw::TodayItem& item : Plugin().model.todayItems)
        if (item.enabled && item.type == type) return true;
    return false;
}

void ReloadConfiguration() {
    TodayState& s = Plugin();
    LogToday(u"TODAY PLUGIN: Refreshing plugin");
    LoadConfiguration();
    LoadSkin();
    RecomputeLayout();
    plat::InvalidateRect(s.window, nullptr, false);
}

// Reads the Wi-Fi link, the connected access point and the visible ones.
void PollWifi() {
    TodayState& s = Plugin();
    s.wifiConnected = true;
    s.linkSpeed = tlw::GetLinkSpeed();
    uint8_t mac[6] = {};
    bool known = tlw::GetConnectedAccessPoint(mac) == 0;
    tlw::ScanAccessPoints(s.accessPoints);
    s.connectedAccessPoint = -1;
    for (size_t i = 0; known && i < tlw::kMaxAccessPoints; ++i) {
        if (s.accessPoints[i].signal != tlw::kNoSignal && std::memcmp(s.accessPoints[i].mac, mac, 6) == 0) {
            s.connectedAccessPoint = static_cast<int32_t>(i);
            break;
        }
    }
}

}  // namespace

std::u16string TimeOutText(uint32_t storedEnd, uint32_t now) {
    // Ten-thousandths of a day left, shown rounded up to the minute. An end
    // already reached (the engine has not ended the manual mode yet) shows
    // no time left rather than a negative count. Hours and minutes both come
    // from r - 1, so that a whole hour left is not counted twice when the
    // minutes round up to 60.
    int64_t r = static_cast<int64_t>(storedEnd) - static_cast<int64_t>(now);
    if (r <= 0) return u"00:00";
    int64_t hours = (r - 1) * 24 / 10000;
    int64_t minutes = ((r - 1) * 24 % 10000) * 6 / 1000 + 1;
    if (minutes == 60) {
        minutes = 0;
        hours += 1;
    }
    return tlw::Format(u"%02d:%02d", {static_cast<int>(hours), static_cast<int>(minutes)});
}

void ReadBatteryState() {
    TodayState& s = Plugin();
    plat::SystemPowerStatusEx2 power{};
    if (plat::GetSystemPowerStatusEx2(&power, sizeof power, true) == 0) return;
    s.charging = power.ACLineStatus == plat::kAcLineOnline;
    s.batteryPercent = power.BatteryLifePercent;
    s.batteryCurrent = power.BatteryCurrent;
}

bool RefreshPlugin(plat::TodayListItem* item) {
    TodayState& s = Plugin();
    if (!item || !s.initialised) return false;

    // The configuration program sets bit 1 of Flags2 after it saved.
    uint32_t flags2 = 0;
    if (tlw::ReadTallowinDword(tlw::kFlags2Value, &flags2) && (flags2 & tlw::kFlags2ConfigChanged)) {
        tlw::WriteTallowinDword(tlw::kFlags2Value, 0);
        ReloadConfiguration();
    }

    if (item->cyp != s.layout.height) {
        item->cyp = s.layout.height;
        plat::GetWindowRect(s.window, &s.screenRect);
        plat::InvalidateRect(s.window, nullptr, false);
        return true;
    }
    if (s.layoutChanged) {
        s.layoutChanged = false;
        return true;
    }

    // Poll only while the screen is on.
    uint32_t powerFlags = 0;
    plat::GetSystemPowerState(nullptr, &powerFlags);
    powerFlags &= plat::kPowerStateMask;
    if (powerFlags != kScreenOn && powerFlags != kScreenOnWithBacklight) return false;

    bool changed = false;
    int32_t running = tlw::ReadRunningProfile();
    if (running != s.lastProfile) {
        s.lastProfile = running;
        s.currentProfile = running;
        if (running != tlw::kNoProfile) changed = true;
    }
    bool manual = running != tlw::kNoProfile && tlw::ReadManualProfile() == running;
    if (manual != s.manual) {
        s.manual = manual;
        changed = true;
    }

    int32_t before[kCounterCount];
    std::memcpy(before, s.counts, sizeof before);
    ReadCounterState();
    if (std::memcmp(before, s.counts, sizeof before) != 0) changed = true;

    uint32_t wifi = 0;
    int32_t phone = 0, bluetooth = 0, pushMail = 0, data = 0;
    tlw::GetDeviceStates(&wifi, &phone, &bluetooth, &pushMail, &data);
    for (int slot = 0; slot < tlw::kTodayItemCount; ++slot) {
        const tlw::TodayItem& addon = s.model.todayItems[slot];
        if (!addon.enabled || !IsSwitch(addon.type)) continue;
        bool live = LiveSwitchState(addon.type, wifi, phone, bluetooth, pushMail, data);
        if ((s.switchStates[slot] != 0) != live) {
            s.switchStates[slot] = live ? 1 : 0;
            changed = true;
        }
    }

    if (HasEnabledSlot(AddonBrightness)) {
        if (!s.brightnessBusy) {
            int32_t level = tlw::GetBacklightLevel(s.model.options.bklmin == 1, s.model.options.bklLevels);
            if (level != s.brightness) SetSliderPosition(level);
        } else {
            s.brightnessBusy = false;  // skip exactly one reading after the user moved the slider
        }
    }

    if (HasEnabledSlot(AddonWifiMeter)) {
        if (wifi != 0) {
            PollWifi();
            changed = true;
        } else if (s.wifiConnected) {
            s.wifiConnected = false;
            changed = true;
        }
    }

    bool locked = tlw::ReadLocked();
    if (locked != s.locked) {
        s.locked = locked;
        changed = true;
    }

    uint32_t end = tlw::ReadManualTimeOut();
    bool hadText = !s.timeOutText.Empty();
    if (s.manual && end != 0) {
        s.timeOutText = TimeOutText(end, tlw::EncodeManualTimeOut(plat::GetLocalTime()));
        changed = true;
    } else if (hadText) {
        s.timeOutText.Clear();
        changed = true;
    }
    SetTimeOutNavigable(&s.layout, !s.timeOutText.Empty());

    if (s.batteryDirty.exchange(false) || s.batteryTextMode == 1) {
        ReadBatteryState();
        changed = true;
    }

    if (changed) plat::InvalidateRect(s.window, nullptr, false);
    s.cpuOnlyRepaint = false;
    return false;
}

}  // namespace today
