// The Bluetooth utility library "bthutil.dll" of the platform's own
// Bluetooth stack: read and set the radio mode. Callers load the library and
// resolve the entries by ordinal (platform/hardware/library.h).
#pragma once

#include <cstdint>

namespace plat {

// Bluetooth modes.
enum : uint32_t {
    kBthPowerOff = 0,      // radio off
    kBthConnectable = 1,   // on, connectable
    kBthDiscoverable = 2,  // on, connectable and discoverable
};

inline constexpr uint32_t kBthutilSetMode = 1;
inline constexpr uint32_t kBthutilGetMode = 2;

// Ordinal 1: sets the mode. Returns 0 on success, non-zero for a mode above 2.
int32_t BthSetMode(uint32_t mode);
// Ordinal 2: reads the mode into *mode. Returns 0 on success.
int32_t BthGetMode(uint32_t* mode);

using BthSetModeFn = int32_t (*)(uint32_t mode);
using BthGetModeFn = int32_t (*)(uint32_t* mode);

}  // namespace plat
