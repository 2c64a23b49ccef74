// Small system queries: the random number, whether the shell, graphics and
// window manager are ready, the system-parameter query and the system
// metrics. (The OEM string comes from the device model, platform/
// device_model.h; system colours and device capabilities from platform/
// gdi.h.)
#pragma once

#include <cstdint>

namespace plat {

// A 32-bit random number from the host's entropy source.
uint32_t Random();

// The subsystems a program may wait for at start-up.
inline constexpr uint32_t kShGdi = 16;    // graphics
inline constexpr uint32_t kShWmgr = 17;   // window manager
inline constexpr uint32_t kShShell = 21;  // shell
// True when the subsystem is ready: the device has booted. For now a device
// counts as booted as soon as its state folder "<root>/.device" exists (the
// device host will mark the boot itself later). False for other ids and
// when the process has no device.
bool IsApiReady(uint32_t api);

// System metrics: the screen from platform/gdi/gdi.h (width and height
// swapped while the display is turned by 90 or 270 degrees), icon sizes scaled to the
// screen's dots per inch (32 and 16 pixels at 96 dpi). 0 for other indexes.
inline constexpr int32_t kSmCxScreen = 0;
inline constexpr int32_t kSmCyScreen = 1;
inline constexpr int32_t kSmCxIcon = 11;
inline constexpr int32_t kSmCyIcon = 12;
inline constexpr int32_t kSmCxSmIcon = 49;
inline constexpr int32_t kSmCySmIcon = 50;
int32_t GetSystemMetrics(int32_t index);

// The system-parameter query. Supported actions:
//   kSpiGetPlatformType (257): "PocketPC" into a char16_t buffer of
//     sizeBytes bytes;
//   kSpiGetOemInfo (258, platform/hardware/device_model.h): the model's OEM
//     information string into a char16_t buffer of sizeBytes bytes, cut to
//     fit and terminated.
// False (last error kErrorInvalidParameter) for another action, a null
// buffer or a buffer too small for one character.
inline constexpr uint32_t kSpiGetPlatformType = 257;
bool SystemParametersInfo(uint32_t action, uint32_t sizeBytes, void* buffer, uint32_t winIni);

}  // namespace plat
