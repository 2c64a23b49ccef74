// The backlight hardware: the backlight driver "BKL1:" and the brightness
// entries of the makers' utility libraries ("iPAQUtil.dll", "htcutil.dll").
//
// The brightness lives in the hardware state, one level on battery and one
// on external power, in the hardware's own scale (the iPAQ utility's 0 ...
// 20, the driver's device value). The driver takes every makers' "set
// level" control code the phones of the period use; each sets both levels.
// Every change is recorded in the device journal: the driver's codes by the
// stream-driver layer, the utilities' as "iPAQUtil battery brightness N",
// "htcutil power brightness N", ...
#pragma once

#include <cstdint>

namespace plat {

// Control codes of "BKL1:" that set the level from a 4-byte input.
inline constexpr uint32_t kBacklightSetCodes[] = {
    2, 7, 8, 16, 12, 20, 24, 32, 0x01040008, 0x86662198, 0x8666219C, 0xA201A004,
};
// Control code that sets the level from a 4-byte input of level x 25.
constexpr uint32_t kBacklightSetScaledCode = 0x24321101;
constexpr uint32_t kBacklightScaledFactor = 25;

// The driver's control-code handler (the stream-driver layer calls it).
bool BacklightDriverControl(uint32_t code, const void* input, uint32_t inputSize, void* output, uint32_t outputSize,
                            uint32_t* returned);

// The utility libraries' brightness entries: each takes the address of a
// 32-bit level and returns non-zero on success.
using BrightnessLevelFn = int32_t (*)(uint32_t* level);

// "iPAQUtil.dll", levels 0 ... 20; a level above 20 (or a null address)
// fails.
constexpr uint32_t kIpaqBrightnessMax = 20;
int32_t IpaqGetOnBatteryBrightnessLevel(uint32_t* level);
int32_t IpaqSetOnBatteryBrightnessLevel(uint32_t* level);
int32_t IpaqSetOnPowerBrightnessLevel(uint32_t* level);

// "htcutil.dll": the device value; a null address fails.
int32_t HtcSetOnPowerBrightnessLevel(uint32_t* level);
int32_t HtcSetOnBatteryBrightnessLevel(uint32_t* level);

}  // namespace plat
