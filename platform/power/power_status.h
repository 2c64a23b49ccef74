// The extended system power status: AC line, battery charge and current, as
// the phone's power manager reports them. The simulated phone answers from
// its hardware state (platform/hardware/hardware.h).
#pragma once

#include <cstdint>

namespace plat {

// Battery flag bits.
enum : uint8_t {
    kBatteryFlagHigh = 1,
    kBatteryFlagLow = 2,
    kBatteryFlagCritical = 4,
    kBatteryFlagCharging = 8,
    kBatteryFlagNoBattery = 128,
    kBatteryFlagUnknown = 255,
};
inline constexpr uint8_t kAcLineOffline = 0;
inline constexpr uint8_t kAcLineOnline = 1;
inline constexpr uint8_t kPercentUnknown = 255;     // battery charge not known
inline constexpr uint32_t kLifeTimeUnknown = 0xFFFFFFFFu;

// The platform's extended power status record (56 bytes).
struct SystemPowerStatusEx2 {
    uint8_t ACLineStatus;               // 0 offline, 1 online, 255 unknown
    uint8_t BatteryFlag;                // kBatteryFlag* bits
    uint8_t BatteryLifePercent;         // 0 ... 100, 255 unknown
    uint8_t Reserved1;                  // 0
    uint32_t BatteryLifeTime;           // seconds left, kLifeTimeUnknown when not known
    uint32_t BatteryFullLifeTime;       // seconds of a full charge, kLifeTimeUnknown
    uint8_t Reserved2;                  // 0
    uint8_t BackupBatteryFlag;          // kBatteryFlag* bits of the backup battery
    uint8_t BackupBatteryLifePercent;   // 0 ... 100, 255 unknown
    uint8_t Reserved3;                  // 0
    uint32_t BackupBatteryLifeTime;     // seconds, kLifeTimeUnknown
    uint32_t BackupBatteryFullLifeTime; // seconds, kLifeTimeUnknown
    uint32_t BatteryVoltage;            // mV
    int32_t BatteryCurrent;             // mA, negative while discharging
    int32_t BatteryAverageCurrent;      // mA
    uint32_t BatteryAverageInterval;    // ms
    uint32_t BatterymAHourConsumed;     // mAh
    uint32_t BatteryTemperature;        // 0.1 degrees Celsius
    uint32_t BackupBatteryVoltage;      // mV
    uint8_t BatteryChemistry;           // 1 alkaline ... 5 lithium ion, 255 unknown
};
static_assert(sizeof(SystemPowerStatusEx2) == 56, "the platform's extended power status is 56 bytes");

// Fills status (size bytes of it, at most the whole record) with the current
// power status. update asks for fresh values (the simulated phone's values
// are always fresh). Returns the number of bytes filled, 0 on failure.
uint32_t GetSystemPowerStatusEx2(SystemPowerStatusEx2* status, uint32_t size, bool update);

}  // namespace plat
