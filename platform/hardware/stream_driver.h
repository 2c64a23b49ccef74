// Stream drivers ("BKL1:", "UIO1:", ...) opened by name and spoken to with
// control codes, as the phone's device I/O does. A driver opens exactly when
// the device model carries it. A driver the simulated phone implements acts
// on the hardware (platform/hardware/backlight.h); one it does not refuses
// every control code. Every control code sent to an open driver is recorded
// in the device journal as "NAME control 0xCODE input N" (N: the first four
// input bytes as a number, when given).
#pragma once

#include <cstdint>
#include <string_view>

namespace plat {

// An open driver; 0 is none.
using DriverHandle = uint32_t;

// Access of CreateDriverFile.
enum : uint32_t { kGenericReadAccess = 0x80000000u, kGenericWriteAccess = 0x40000000u };

// The platform's errors for a driver that is not on the device and for a
// control code the driver does not know.
constexpr uint32_t kErrorDevNotExist = 55;
constexpr uint32_t kErrorNotSupported = 50;

// Opens a driver by its name ("BKL1:", matched without regard to case).
// 0 with kErrorDevNotExist when the device does not carry it.
DriverHandle CreateDriverFile(std::u16string_view name, uint32_t access);

// Sends a control code with its input (and room for output). False with the
// last error set: kErrorInvalidHandle for a handle that is not open,
// kErrorNotSupported for a code the driver does not know,
// kErrorInvalidParameter for input it cannot take.
bool DeviceIoControl(DriverHandle driver, uint32_t code, const void* input, uint32_t inputSize, void* output,
                     uint32_t outputSize, uint32_t* returned);

// Closes a driver; false for a handle that is not open.
bool CloseDriverFile(DriverHandle driver);

}  // namespace plat
