#include "platform/hardware/notification_led.h"

#include <string>
#include <type_traits>

#include "platform/hardware/hardware.h"
#include "platform/storage/journal.h"

namespace plat {
namespace {

// Counted from the type: a HardwareState is no constant expression (it holds strings).
static_assert(std::extent_v<decltype(HardwareState::leds)> == kNotificationLedCount, "one stored state per LED");

// The blink timing the driver reports for a blinking LED: half a second on,
// half a second off.
constexpr int32_t kBlinkCycleUs = 1000000;

}  // namespace

const char* NledStateName(int32_t offOnBlink) {
    switch (offOnBlink) {
    case kNledOn: return "on";
    case kNledBlink: return "blink";
    default: return "off";
    }
}

bool NLedGetDeviceInfo(uint32_t infoId, void* info) {
    if (!info) return false;
    switch (infoId) {
    case kNledCountInfoId:
        static_cast<NledCountInfo*>(info)->cLeds = kNotificationLedCount;
        return true;
    case kNledSupportsInfoId: {
        auto* supports = static_cast<NledSupportsInfo*>(info);
        if (supports->LedNum >= kNotificationLedCount) return false;
        uint32_t led = supports->LedNum;
        *supports = NledSupportsInfo{};
        supports->LedNum = led;
        supports->lCycleAdjust = kBlinkCycleUs;  // the timing is fixed
        return true;
    }
    case kNledSettingsInfoId: {
        auto* settings = static_cast<NledSettingsInfo*>(info);
        if (settings->LedNum >= kNotificationLedCount) return false;
        HardwareState state;
        if (!ReadHardwareState(&state)) return false;
        uint32_t led = settings->LedNum;
        *settings = NledSettingsInfo{};
        settings->LedNum = led;
        settings->OffOnBlink = state.leds[led];
        if (settings->OffOnBlink == kNledBlink) {
            settings->TotalCycleTime = kBlinkCycleUs;
            settings->OnTime = kBlinkCycleUs / 2;
            settings->OffTime = kBlinkCycleUs / 2;
        }
        return true;
    }
    default:
        return false;
    }
}

bool NLedSetDevice(uint32_t infoId, void* info) {
    if (infoId != kNledSettingsInfoId || !info) return false;
    const auto* settings = static_cast<const NledSettingsInfo*>(info);
    uint32_t led = settings->LedNum;
    int32_t mode = settings->OffOnBlink;
    if (led >= kNotificationLedCount || mode < kNledOff || mode > kNledBlink) return false;
    bool changed = false;
    if (!ChangeHardwareState([&](HardwareState& s) {
            changed = s.leds[led] != mode;
            s.leds[led] = static_cast<uint8_t>(mode);
        }))
        return false;
    if (changed) JournalAppend("led " + std::to_string(led) + " " + NledStateName(mode));
    return true;
}

}  // namespace plat
