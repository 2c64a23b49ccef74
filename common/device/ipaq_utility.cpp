#include "common/device/ipaq_utility.h"

#include <mutex>

#include "platform/hardware/backlight.h"
#include "platform/hardware/library.h"

namespace Dizudo::iPAQ::Utility {
namespace {

// The library, loaded once for the life of the process.
plat::HModule Library() {
    static std::mutex lock;
    static plat::HModule module = 0;
    std::lock_guard<std::mutex> guard(lock);
    if (!module) module = plat::LoadLibrary(u"iPAQUtil.dll");
    if (!module) throw iPAQUtilMissingMethodException("Cannot load library");
    return module;
}

plat::BrightnessLevelFn Entry(const char* name) {
    auto entry = reinterpret_cast<plat::BrightnessLevelFn>(plat::GetProcAddress(Library(), name));
    if (!entry) throw iPAQUtilMissingMethodException("Missing method");
    return entry;
}

}  // namespace

uint32_t GetOnBatteryBrightness() {
    uint32_t level = 0;
    if (!Entry("iPAQGetOnBatteryBrightnessLevel")(&level))
        throw iPAQUtilException("Get Backlight::OnBattery::Brightness failed");
    return level;
}

void SetOnBatteryBrightness(uint32_t level) {
    if (!Entry("iPAQSetOnBatteryBrightnessLevel")(&level))
        throw iPAQUtilException("Get Backlight::OnBattery::Brightness failed");
}

void SetOnExternalBrightness(uint32_t level) {
    if (!Entry("iPAQSetOnPowerBrightnessLevel")(&level))
        throw iPAQUtilException("Get Backlight::OnExternal::Brightness failed");
}

}  // namespace Dizudo::iPAQ::Utility
