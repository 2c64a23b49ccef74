// The phone radio beyond the switch: the Talk key and the platform's call
// service of the wireless-device library. (`SetPhoneRadio` itself is one of
// the device operations, common/device/device_operations.h.)
#pragma once

#include <cstdint>

namespace tlw {

// `PressTalkKey`: waits the seconds, then presses and releases the Talk key
// (virtual key 0x72).
void PressTalkKey(uint32_t seconds);

// `CallOssvcs218`: loads ossvcs.dll, calls its ordinal 218 with 1 when the
// library has it, and frees the library.
void CallOssvcs218();

}  // namespace tlw
