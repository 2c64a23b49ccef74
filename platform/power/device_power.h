// Power states of single devices (drivers) as the power manager sets them:
// D0 full on ... D4 off, or "unspecified" to hand the device back to the
// power manager's own policy. Each request is recorded in the device journal
// ("device power BKL1: D4") and the state of each device is kept with the
// device, so every program sees what was last asked.
#pragma once

#include <cstdint>
#include <string_view>

namespace plat {

// Device power states; kPwrDeviceUnspecified lets the system decide again.
enum DevicePowerState : int32_t {
    kPwrDeviceUnspecified = -1,
    kD0 = 0,  // full on
    kD1 = 1,
    kD2 = 2,
    kD3 = 3,
    kD4 = 4,  // off
};

// Requests a device's power state ("BKL1:" is the backlight). Returns an
// error code: kErrorInvalidParameter for a state outside -1 ... 4, file not
// found for a driver the device model does not carry.
uint32_t SetDevicePower(std::u16string_view device, int32_t state);

// The last state asked for the device; kPwrDeviceUnspecified when none was.
int32_t GetRequestedDevicePower(std::u16string_view device);

}  // namespace plat
