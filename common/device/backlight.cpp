// Backlight brightness: read and applied through every place the devices of
// the period keep it (the makers' utility libraries, the brightness values
// of the backlight key, the change events their panels listen to, the
// backlight driver's control codes), or saved for the engine to apply when
// a sleeping device wakes.
#include <string>

#include "common/config/registry_key.h"
#include "common/device/device_operations.h"
#include "common/device/device_registry.h"
#include "common/device/ipaq_utility.h"
#include "platform/hardware/backlight.h"
#include "platform/hardware/device_model.h"
#include "platform/hardware/library.h"
#include "platform/hardware/stream_driver.h"
#include "platform/kernel/kernel_handle.h"
#include "platform/kernel/sync_objects.h"
#include "platform/notify/user_notify.h"
#include "platform/power/power_state.h"

namespace tlw {
namespace {

namespace ipaq = Dizudo::iPAQ::Utility;

// Brightness value names, in the order they are read and written.
constexpr const char16_t* kBrightnessNames[16] = {
    u"BatteryBrightness", u"BrightNess",       u"Brightness",    u"BacklightLuminanceLevel",
    u"ACBacklightLuminanceLevel", u"ACBrightness", u"ExternalPower", u"BattBrightness",
    u"CurBrightness",     u"BltBrightness",    u"BacklightCurrentLevel", u"BrightNessAC",
    u"BatteryPower",      u"BacklightLevel",   u"IntensityAC",   u"IntensityBATT",
};
constexpr char16_t kBacklightLevelName[] = u"BacklightLevel";  // holds level x 25

// The brightness key: the first of these that opens.
struct RegistryPlace {
    plat::HKey root;
    const char16_t* key;
};
constexpr RegistryPlace kBrightnessKeys[] = {
    {plat::kHkeyLocalMachine, u"ControlPanel\\AsusSettings\\Backlight"},
    {plat::kHkeyCurrentUser, u"SOFTWARE\\GigabyteCM\\LCDBacklight"},
    {plat::kHkeyCurrentUser, u"ControlPanel\\Backlight"},
};
constexpr char16_t kStandardBacklightKey[] = u"ControlPanel\\Backlight";  // under HKCU

// Events the brightness panels of various makers wait on.
constexpr const char16_t* kChangeEvents[] = {
    u"BackLightChangeEvent",  u"HTC_BackLightChangeEvent", u"EtenBackLightChangedEvent",
    u"SDKBackLightChangeEvent", u"BacklightNotifyEvent",   u"BackLightNotifyEvent",
    u"ackLightChangeEvent",   u"BackLightLevelChangeEvent",
};

constexpr uint32_t kToshibaFactor = 43;     // a TOSHIBA's `Brightness` holds level x 43
constexpr uint32_t kIpaqScale = 20;         // the iPAQ utility's levels 0 ... 20
constexpr char16_t kWakeupArguments[] = u"40";  // the engine's command for "apply the brightness"

enum class Family { kToshiba, kLge, kOther };

Family FamilyOfDevice() {
    char16_t oem[256] = {};
    plat::GetOemInfo(oem, 256);
    std::u16string_view text(oem);
    if (text.substr(0, 7) == u"TOSHIBA") return Family::kToshiba;
    if (text.substr(0, 3) == u"LGE") return Family::kLge;
    return Family::kOther;
}

// The first brightness key that opens; false when none does.
bool FindBrightnessKey(RegistryPlace* out) {
    for (const RegistryPlace& place : kBrightnessKeys) {
        if (DeviceKeyExists(place.root, place.key)) {
            *out = place;
            return true;
        }
    }
    return false;
}

// True when the device model carries the library (loaded and freed at once).
bool LibraryLoads(const char16_t* name) {
    plat::HModule module = plat::LoadLibrary(name);
    if (!module) return false;
    plat::FreeLibrary(module);
    return true;
}

// The divisor of the iPAQ scaling. A device with one level (or a count
// that was never set) has no steps to divide into: its one level maps as
// if the scale had two ends, instead of dividing by zero.
int32_t IpaqSteps(int32_t levels) { return levels > 1 ? levels - 1 : 1; }

// Awake for the backlight: on, idle, or on with the backlight lit.
bool DeviceAwake() {
    uint32_t flags = 0;
    if (plat::GetSystemPowerState(nullptr, &flags) != 0) return false;
    uint32_t state = flags & plat::kPowerStateMask;
    return state == plat::kPowerStateOn || state == plat::kPowerStateIdle ||
           state == (plat::kPowerStateOn | plat::kPowerStateBacklightOn);
}

void SignalChangeEvents() {
    for (const char16_t* name : kChangeEvents) {
        plat::Handle event = plat::CreateEvent(false, false, name);
        if (!event) continue;
        plat::SetEvent(event);
        plat::CloseHandle(event);
    }
}

void SendDriverCodes(uint32_t level, uint32_t level25) {
    plat::DriverHandle driver = plat::CreateDriverFile(u"BKL1:", plat::kGenericReadAccess | plat::kGenericWriteAccess);
    if (!driver) return;
    for (uint32_t code : plat::kBacklightSetCodes)
        plat::DeviceIoControl(driver, code, &level, sizeof level, nullptr, 0, nullptr);
    uint32_t scaled = 0;
    if (ReadDeviceDword(plat::kHkeyCurrentUser, kStandardBacklightKey, kBacklightLevelName, &scaled))
        plat::DeviceIoControl(driver, plat::kBacklightSetScaledCode, &level25, sizeof level25, nullptr, 0, nullptr);
    plat::CloseDriverFile(driver);
}

// The HTC utility's brightness entries; true when it took the level.
bool ApplyThroughHtcUtility(uint32_t level) {
    uint32_t off = 0;
    ReadDeviceDword(plat::kHkeyCurrentUser, kTallowinKey, u"NotUseHTCutil", &off);
    if (off != 0) return false;
    plat::HModule module = plat::LoadLibrary(u"htcutil.dll");
    if (!module) return false;
    auto onPower = reinterpret_cast<plat::BrightnessLevelFn>(
        plat::GetProcAddress(module, "HTCUtilSetOnPowerBrightnessLevel"));
    if (onPower) onPower(&level);
    auto onBattery = reinterpret_cast<plat::BrightnessLevelFn>(
        plat::GetProcAddress(module, "HTCUtilSetOnBatteryBrightnessLevel"));
    if (onBattery) onBattery(&level);
    plat::FreeLibrary(module);
    return onBattery != nullptr;
}

void ApplyThroughRegistry(uint32_t level, Family family) {
    uint32_t level25 = level * 25;
    uint32_t level43 = level * kToshibaFactor;
    if (family == Family::kLge) level *= 2;
    RegistryPlace place;
    if (FindBrightnessKey(&place)) {
        if (family == Family::kToshiba) {
            WriteDeviceDword(place.root, place.key, u"Brightness", level43);
        } else {
            for (const char16_t* name : kBrightnessNames) {
                uint32_t old = 0;
                if (!ReadDeviceDword(place.root, place.key, name, &old)) continue;
                bool scaled = std::u16string_view(name) == kBacklightLevelName;
                WriteDeviceDword(place.root, place.key, name, scaled ? level25 : level);
            }
        }
    }
    SignalChangeEvents();
    SendDriverCodes(level, level25);
}

}  // namespace

int32_t GetBacklightLevel(bool minIsOne, int32_t levels) {
    int32_t level = 0;
    bool known = false;
    if (LibraryLoads(u"iPAQUtil.dll")) {
        try {
            int64_t value = ipaq::GetOnBatteryBrightness();
            level = static_cast<int32_t>((static_cast<int64_t>(levels) - 1) * value / kIpaqScale);
            known = true;
        } catch (const std::exception&) {
            // The utility failed: read the registry as on any other device.
        }
    }
    if (!known) {
        RegistryPlace place;
        if (FindBrightnessKey(&place)) {
            Family family = FamilyOfDevice();
            if (family == Family::kToshiba) {
                uint32_t value = 0;
                ReadDeviceDword(place.root, place.key, u"Brightness", &value);
                level = static_cast<int32_t>(value / kToshibaFactor);
            } else {
                // Every value that is there should agree; when they do not,
                // the level is unknown (100).
                uint32_t result = 0;
                bool any = false;
                bool differs = false;
                uint32_t first = 0;
                for (const char16_t* name : kBrightnessNames) {
                    uint32_t value = 0;
                    if (!ReadDeviceDword(place.root, place.key, name, &value)) continue;
                    // Stored as level x 25: read back on the same scale as
                    // the others, or the level would never agree with itself.
                    if (std::u16string_view(name) == kBacklightLevelName) value /= 25;
                    if (!any) first = value;
                    else if (value != first) differs = true;
                    any = true;
                    result = value;
                }
                if (differs) result = 100;
                if (family == Family::kLge) result /= 2;
                level = static_cast<int32_t>(result);
            }
        }
    }
    if (minIsOne) level -= 1;
    return level;
}

void ClearWakeupNotifications(std::u16string_view application) {
    uint32_t count = 0;
    plat::GetUserNotificationHandles(nullptr, 0, &count);
    if (count == 0) return;
    std::vector<plat::NotificationHandle> handles(count);
    if (!plat::GetUserNotificationHandles(handles.data(), count, &count)) return;
    handles.resize(count);
    for (plat::NotificationHandle handle : handles) {
        uint32_t needed = 0;
        plat::UserNotificationInfo info;
        plat::GetUserNotification(handle, 0, &needed, &info);
        if (needed == 0 || !plat::GetUserNotification(handle, needed, &needed, &info)) continue;
        if (info.trigger.application == application && info.trigger.event == plat::kNotificationEventWakeup)
            plat::ClearUserNotification(handle);
    }
}

void SetBacklight(int32_t level, std::u16string_view enginePath, bool minIsOne, int32_t levels) {
    if (GetBacklightLevel(minIsOne, levels) == level) return;
    plat::RegWriteDword(plat::kHkeyCurrentUser, kTallowinKey, u"BrightNess", static_cast<uint32_t>(level));
    if (DeviceAwake()) {
        ApplyBacklight(enginePath, minIsOne, levels);
        return;
    }
    // Asleep: the level cannot show now. The engine applies it when the
    // device wakes, started by this one wake-up notification.
    ClearWakeupNotifications(enginePath);
    plat::NotificationTrigger trigger;
    trigger.type = plat::kNotificationTriggerEvent;
    trigger.event = plat::kNotificationEventWakeup;
    trigger.application = std::u16string(enginePath);
    trigger.arguments = kWakeupArguments;
    plat::SetUserNotification(trigger);
}

void ApplyBacklight(std::u16string_view enginePath, bool minIsOne, int32_t levels) {
    if (!DeviceAwake()) return;
    ClearWakeupNotifications(enginePath);
    uint32_t level = 1;
    ReadDeviceDword(plat::kHkeyCurrentUser, kTallowinKey, u"BrightNess", &level);
    if (minIsOne) level += 1;

    if (LibraryLoads(u"iPAQUtil.dll")) {
        uint32_t value = static_cast<uint32_t>(static_cast<uint64_t>(level) * kIpaqScale /
                                               static_cast<uint32_t>(IpaqSteps(levels)));
        try {
            ipaq::SetOnBatteryBrightness(value);
            ipaq::SetOnExternalBrightness(value);
        } catch (const std::exception&) {
            // The utility refused the level; the device keeps its brightness.
        }
        return;
    }
    if (ApplyThroughHtcUtility(level)) return;
    ApplyThroughRegistry(level, FamilyOfDevice());
}

}  // namespace tlw
