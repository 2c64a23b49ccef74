// The iPAQ utility library "iPAQUtil.dll": the brightness on battery and on
// external power, levels 0 ... 20. The library is loaded on first use and
// stays loaded; each entry is looked up by name at each call. Failures are
// thrown as the two exceptions below; the backlight operations catch them,
// so they never reach a caller of the device layer.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace Dizudo::iPAQ::Utility {

// The utility refused a call; what() is its message.
class iPAQUtilException : public std::runtime_error {
public:
    explicit iPAQUtilException(const std::string& message) : std::runtime_error(message) {}
};

// The library or one of its entries is not there; what() is its message.
class iPAQUtilMissingMethodException : public std::runtime_error {
public:
    explicit iPAQUtilMissingMethodException(const std::string& message) : std::runtime_error(message) {}
};

// The brightness level on battery.
uint32_t GetOnBatteryBrightness();
// Sets the brightness level on battery / on external power.
void SetOnBatteryBrightness(uint32_t level);
void SetOnExternalBrightness(uint32_t level);

}  // namespace Dizudo::iPAQ::Utility
