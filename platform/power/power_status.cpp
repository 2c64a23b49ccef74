#include "platform/power/power_status.h"

#include <algorithm>
#include <cstring>

#include "platform/hardware/hardware.h"
#include "platform/kernel/last_error.h"

namespace plat {
namespace {

// A lithium-ion battery of 1200 mAh between 3.5 V (empty) and 4.2 V (full).
constexpr uint32_t kCapacityMah = 1200;
constexpr uint32_t kEmptyMillivolts = 3500;
constexpr uint32_t kFullMillivolts = 4200;

uint8_t BatteryFlagOf(const HardwareState& hw) {
    if (hw.batteryPercent == kPercentUnknown) return kBatteryFlagUnknown;
    uint8_t flag = hw.batteryPercent > 66 ? kBatteryFlagHigh : hw.batteryPercent > 10 ? kBatteryFlagLow : kBatteryFlagCritical;
    if (hw.charging) flag |= kBatteryFlagCharging;
    return flag;
}

}  // namespace

uint32_t GetSystemPowerStatusEx2(SystemPowerStatusEx2* status, uint32_t size, bool /*update*/) {
    if (!status || size == 0) {
        SetLastError(kErrorInvalidParameter);
        return 0;
    }
    HardwareState hw;
    if (!ReadHardwareState(&hw)) {
        SetLastError(kErrorFileNotFound);
        return 0;
    }
    SystemPowerStatusEx2 s{};
    s.ACLineStatus = hw.acLineStatus;
    s.BatteryFlag = BatteryFlagOf(hw);
    s.BatteryLifePercent = hw.batteryPercent;
    s.BatteryLifeTime = kLifeTimeUnknown;
    s.BatteryFullLifeTime = kLifeTimeUnknown;
    if (hw.batteryPercent != kPercentUnknown && hw.batteryCurrent < 0 && hw.acLineStatus != kAcLineOnline) {
        // Seconds left at the present drain.
        uint64_t mahLeft = uint64_t{kCapacityMah} * hw.batteryPercent / 100;
        s.BatteryLifeTime = static_cast<uint32_t>(mahLeft * 3600 / static_cast<uint64_t>(-int64_t{hw.batteryCurrent}));
        s.BatteryFullLifeTime = static_cast<uint32_t>(uint64_t{kCapacityMah} * 3600 / static_cast<uint64_t>(-int64_t{hw.batteryCurrent}));
    }
    s.BackupBatteryFlag = kBatteryFlagHigh;
    s.BackupBatteryLifePercent = 100;
    s.BackupBatteryLifeTime = kLifeTimeUnknown;
    s.BackupBatteryFullLifeTime = kLifeTimeUnknown;
    uint32_t percent = hw.batteryPercent == kPercentUnknown ? 0 : hw.batteryPercent;
    s.BatteryVoltage = kEmptyMillivolts + (kFullMillivolts - kEmptyMillivolts) * percent / 100;
    s.BatteryCurrent = hw.batteryCurrent;
    s.BatteryAverageCurrent = hw.batteryCurrent;
    s.BatteryAverageInterval = 10000;
    s.BatterymAHourConsumed = kCapacityMah * (100 - std::min<uint32_t>(percent, 100)) / 100;
    s.BatteryTemperature = 250;
    s.BackupBatteryVoltage = 3000;
    s.BatteryChemistry = 5;  // lithium ion
    uint32_t n = std::min<uint32_t>(size, sizeof(s));
    std::memcpy(status, &s, n);
    return n;
}

}  // namespace plat
