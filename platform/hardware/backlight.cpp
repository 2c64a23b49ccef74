#include "platform/hardware/backlight.h"

#include <cstring>
#include <string>

#include "platform/hardware/hardware.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/journal.h"

namespace plat {
namespace {

constexpr uint32_t kErrorNotSupportedCode = 50;  // a control code the driver does not know

// Sets the battery and/or external-power level and journals the change.
int32_t SetLevel(const char* who, bool battery, bool external, uint32_t level) {
    if (!ChangeHardwareState([&](HardwareState& s) {
            if (battery) s.brightness = level;
            if (external) s.brightnessExternal = level;
        }))
        return 0;
    if (who) JournalAppend(std::string(who) + (battery ? " battery" : " power") + " brightness " + std::to_string(level));
    return 1;
}

}  // namespace

bool BacklightDriverControl(uint32_t code, const void* input, uint32_t inputSize, void*, uint32_t, uint32_t* returned) {
    bool known = code == kBacklightSetScaledCode;
    for (uint32_t c : kBacklightSetCodes) known = known || c == code;
    if (!known) {
        SetLastError(kErrorNotSupportedCode);
        return false;
    }
    if (!input || inputSize < sizeof(uint32_t)) {
        SetLastError(kErrorInvalidParameter);
        return false;
    }
    uint32_t value = 0;
    std::memcpy(&value, input, sizeof value);
    if (code == kBacklightSetScaledCode) value /= kBacklightScaledFactor;
    if (!SetLevel(nullptr, true, true, value)) {
        SetLastError(kErrorAccessDenied);
        return false;
    }
    if (returned) *returned = 0;
    return true;
}

int32_t IpaqGetOnBatteryBrightnessLevel(uint32_t* level) {
    if (!level) return 0;
    HardwareState s;
    if (!ReadHardwareState(&s)) return 0;
    *level = s.brightness > kIpaqBrightnessMax ? kIpaqBrightnessMax : s.brightness;
    return 1;
}

int32_t IpaqSetOnBatteryBrightnessLevel(uint32_t* level) {
    if (!level || *level > kIpaqBrightnessMax) return 0;
    return SetLevel("iPAQUtil", true, false, *level);
}

int32_t IpaqSetOnPowerBrightnessLevel(uint32_t* level) {
    if (!level || *level > kIpaqBrightnessMax) return 0;
    return SetLevel("iPAQUtil", false, true, *level);
}

int32_t HtcSetOnPowerBrightnessLevel(uint32_t* level) {
    if (!level) return 0;
    return SetLevel("htcutil", false, true, *level);
}

int32_t HtcSetOnBatteryBrightnessLevel(uint32_t* level) {
    if (!level) return 0;
    return SetLevel("htcutil", true, false, *level);
}

}  // namespace plat
