// Device power actions, the four power time-outs and the screen orientation
// of a profile.
#include "common/config/registry_key.h"
#include "common/config/registry_state.h"
#include "common/device/device_operations.h"
#include "common/device/device_registry.h"
#include "platform/kernel/kernel_handle.h"
#include "platform/kernel/sync_objects.h"
#include "platform/hardware/display.h"
#include "platform/power/power_state.h"
#include "platform/storage/registry.h"
#include "platform/kernel/threads.h"

namespace tlw {
namespace {

constexpr uint32_t kSoftResetDelayMs = 5000;  // the reset waits so that the log and registry settle

constexpr char16_t kBacklightTimeoutKey[] = u"ControlPanel\\BackLight";  // under HKCU
constexpr char16_t kSuspendTimeoutKey[] = u"System\\CurrentControlSet\\Control\\Power\\Timeouts\\";  // under HKLM
// The power manager rereads its activity time-outs when this event is set.
constexpr char16_t kReloadTimeoutsEvent[] = u"PowerManager/ReloadActivityTimeouts";

void SetSuspendTimeout(const char16_t* name, uint32_t seconds) {
    WriteDeviceDword(plat::kHkeyLocalMachine, kSuspendTimeoutKey, name, seconds);
    plat::Handle event = plat::CreateEvent(false, false, kReloadTimeoutsEvent);
    if (!event) return;
    plat::SetEvent(event);
    plat::CloseHandle(event);
}

}  // namespace

void SetBacklightTimeoutBattery(uint32_t seconds) {
    WriteDeviceDword(plat::kHkeyCurrentUser, kBacklightTimeoutKey, u"BatteryTimeout", seconds);
}

void SetBacklightTimeoutExternal(uint32_t seconds) {
    WriteDeviceDword(plat::kHkeyCurrentUser, kBacklightTimeoutKey, u"ACTimeout", seconds);
}

void SetSuspendTimeoutBattery(uint32_t seconds) { SetSuspendTimeout(u"BattSuspendTimeout", seconds); }

void SetSuspendTimeoutExternal(uint32_t seconds) { SetSuspendTimeout(u"ACSuspendTimeout", seconds); }

void SetRotation(int32_t rotate) {
    constexpr uint32_t kOrientations[3] = {plat::kDmdo0, plat::kDmdo90, plat::kDmdo270};
    if (rotate < 0 || rotate > 2) return;
    plat::DisplayMode mode;
    mode.fields = plat::kDmDisplayOrientation;
    mode.displayOrientation = kOrientations[rotate];
    plat::ChangeDisplaySettingsEx(&mode, 0);
}

bool SetPowerState(int32_t action) {
    uint32_t flags = 0;
    std::u16string name;
    plat::GetSystemPowerState(&name, &flags);
    uint32_t state = flags & plat::kPowerStateMask;
    bool awake = state == plat::kPowerStateOn || state == (plat::kPowerStateOn | plat::kPowerStateBacklightOn);
    switch (action) {
    case kPowerSuspend:
        if (awake) plat::SetSystemPowerState({}, plat::kPowerStateSuspend, 0);
        break;
    case kPowerOn:
        if (!awake) plat::SetSystemPowerState({}, plat::kPowerStateOn, 0);
        break;
    case kPowerSoftReset: {
        // The guard goes first: the activation after the restart must not
        // reset again. Without the key no reset is made.
        plat::HKey key = 0;
        if (plat::RegOpenKey(plat::kHkeyCurrentUser, kTallowinKey, &key) != 0) break;
        plat::RegCloseKey(key);
        if (!WriteAlreadyReset(1)) break;
        plat::Sleep(kSoftResetDelayMs);
        plat::SetSystemPowerState({}, plat::kPowerStateReset, 0);
        break;
    }
    case kPowerIdle:
        plat::SetSystemPowerState({}, plat::kPowerStateIdle, 0);
        break;
    default:
        break;
    }
    return awake;
}

}  // namespace tlw
